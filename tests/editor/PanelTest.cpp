// The panel tests' input, handed on as the host loop hands on the server's events, and what they read back
// from the host and the server.
#include "PanelTest.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "../names/MidnamFixtures.h"
#include "preset/ProgramExtensionChunk.h"

namespace editortest {

namespace {

// Set before any test, so before the plug-in first looks for device files.
class DeviceFilesEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    ASSERT_FALSE(folder.path.empty());
    folder.write("testworks.midnam", namestest::TestworksMidnam());
    folder.write("testworks-card.midnam", namestest::CardMidnam());
    setenv("VANTORINE_MIDNAM_PATH", folder.path.c_str(), 1);
  }

 private:
  namestest::TempFolder folder;
};

[[maybe_unused]] ::testing::Environment* const deviceFiles =
    ::testing::AddGlobalTestEnvironment(new DeviceFilesEnvironment);

}  // namespace

PanelPoint stripPoint(int column, StripControl control) {
  const int x = 113 + 25 * column;
  switch (control) {
    case StripControl::Label:
      return {x, 52};
    case StripControl::Channel:
      return {x, 97};
    case StripControl::Program:
      return {x, 117};
    case StripControl::BankMsb:
      return {x, 137};
    case StripControl::Swap:
      return {x, 156};
    case StripControl::BankLsb:
      return {x, 177};
    case StripControl::Volume:
      return {x, 197};
    case StripControl::StripButton:
      break;
  }
  return {x - 1, 297};
}

PanelPoint controllerRowPoint(int column, int row) { return {113 + 25 * column, 217 + 20 * row}; }

PanelPoint controllerHeaderPoint(int row) { return {87, 217 + 20 * row}; }

void PanelTest::SetUp() {
  errorsBefore = EditorWindow::xErrorsReported();
  Display* display = testDisplay();
  ASSERT_NE(display, nullptr) << "the panel tests need an X server in DISPLAY";
  int event = 0, error = 0, major = 0, minor = 0;
  ASSERT_TRUE(XTestQueryExtension(display, &event, &error, &major, &minor)) << "the server has no XTEST";
  // The real pointer waits in the screen's far corner, where no window of the plug-in opens, so that the
  // plug-in, asking the server where it is, never finds it over a control.
  XTestFakeMotionEvent(display, DefaultScreen(display), 2559, 1023, CurrentTime);
  XSync(display, False);
  EditorWindow::Options options = defaultOptions();
  // Room for sixteen columns on the screen.
  options.x = 1000;
  options.y = 300;
  restart(HostSettings(), options);
  panel = openAndEmbed();
  ASSERT_NE(panel, 0u);
  ASSERT_TRUE(within(40, [&] { return sizedFor(1); }));
  pointer = Pointer{2559, 1023};
  waitForPaint();
}

void PanelTest::waitForPaint() {
  // The server's exposures of a new or resized panel come in their own time.
  XSync(testDisplay(), False);
  editor->waitForIdles(3);
}

void PanelTest::TearDown() {
  XSync(testDisplay(), False);
  EXPECT_EQ(EditorWindow::xErrorsReported(), errorsBefore) << "X errors while the panel was used";
  EditorTest::TearDown();
}

// --- Presets ---------------------------------------------------------------------------------------------

void PanelTest::loadPreset(const VSTPluginProgram& preset, const VSTPluginProgramExtension* extension) {
  std::vector<uint8_t> chunk(sizeof(preset));
  std::memcpy(chunk.data(), &preset, sizeof(preset));
  if (extension) vantorine::AppendProgramExtensions(extension, 1, chunk);
  ASSERT_EQ(host.setChunk(chunk, true), 1);
  ASSERT_TRUE(within(40, [&] { return sizedFor(preset.stripCount); }));
  waitForPaint();
}

VSTPluginProgram PanelTest::currentPreset() {
  VSTPluginProgram preset{};
  // The preset's image; its version 2 fields, when it has some, follow it.
  const std::vector<uint8_t> chunk = host.getChunk(true);
  EXPECT_GE(chunk.size(), sizeof(preset));
  if (chunk.size() >= sizeof(preset)) std::memcpy(&preset, chunk.data(), sizeof(preset));
  return preset;
}

VSTPluginProgramExtension PanelTest::currentExtension() {
  VSTPluginProgramExtension extension;
  InitProgramExtension(extension);
  const std::vector<uint8_t> chunk = host.getChunk(true);
  EXPECT_GE(chunk.size(), sizeof(VSTPluginProgram));
  if (chunk.size() > sizeof(VSTPluginProgram)) {
    EXPECT_EQ(vantorine::ReadProgramExtensions(chunk.data() + sizeof(VSTPluginProgram),
                                               chunk.size() - sizeof(VSTPluginProgram), 1, &extension),
              vantorine::ExtensionRead::kRead);
  }
  return extension;
}

VSTPluginProgram PanelTest::presetWithStrips(const std::vector<int>& order) {
  VSTPluginProgram preset{};
  std::snprintf(preset.name, sizeof(preset.name), "Test rig");
  for (int i = 0; i < kStripCount; ++i) {
    std::snprintf(preset.strips[i].label, sizeof(preset.strips[i].label), ".....");
    preset.stripOrder[i] = kEmptyRow;
  }
  for (size_t position = 0; position < order.size(); ++position) {
    const int r = order[position];
    VSTPluginStrip& strip = preset.strips[r];
    strip.inUse = 1;
    strip.channel = static_cast<uint8_t>(r + 1);
    strip.program = static_cast<uint8_t>(10 + r);
    strip.volume = static_cast<uint8_t>(100 + r);
    std::snprintf(strip.label, sizeof(strip.label), "Strip %d", r);
    preset.stripOrder[position] = r;
  }
  preset.stripCount = static_cast<int32_t>(order.size());
  preset.initDelay = 5;
  return preset;
}

// --- Input -----------------------------------------------------------------------------------------------

namespace {

// The deepest viewable window at a point of the screen, and the point in it: where the server sends the
// pointer's events.
unsigned long windowAt(int rootX, int rootY) {
  Display* display = testDisplay();
  const Window root = DefaultRootWindow(display);
  Window at = root, child = 0;
  int x = 0, y = 0;
  while (XTranslateCoordinates(display, root, at, rootX, rootY, &x, &y, &child) && child) at = child;
  return at == root ? 0 : at;
}

unsigned buttonMask(unsigned button) { return button >= 1 && button <= 5 ? Button1Mask << (button - 1) : 0; }

// Whether the window exists and is viewable, asked on a connection of its own that takes a missing window
// as an answer: on the test's connection it would be an X error.
bool viewable(unsigned long window) {
  static xcb_connection_t* const connection = xcb_connect(nullptr, nullptr);
  xcb_generic_error_t* error = nullptr;
  xcb_get_window_attributes_reply_t* reply = xcb_get_window_attributes_reply(
      connection, xcb_get_window_attributes(connection, static_cast<xcb_window_t>(window)), &error);
  const bool answer = reply && reply->map_state == XCB_MAP_STATE_VIEWABLE;
  std::free(reply);
  std::free(error);
  return answer;
}

}  // namespace

XEvent PanelTest::pointerEvent(int type, unsigned long window, unsigned state) const {
  Display* display = testDisplay();
  int x = 0, y = 0;
  Window child = 0;
  if (window) XTranslateCoordinates(display, DefaultRootWindow(display), window, pointer.rootX, pointer.rootY, &x, &y, &child);
  XEvent event{};
  event.type = type;
  // Set for every member of the union: the fields up to the point's coordinates are laid out alike.
  XButtonEvent& common = event.xbutton;
  common.display = reinterpret_cast<Display*>(editor->displayValue());
  common.window = window;
  common.root = DefaultRootWindow(display);
  common.time = time;
  common.x = x;
  common.y = y;
  common.x_root = pointer.rootX;
  common.y_root = pointer.rootY;
  if (type == EnterNotify || type == LeaveNotify) {
    event.xcrossing.mode = NotifyNormal;
    event.xcrossing.detail = NotifyAncestor;
    event.xcrossing.same_screen = True;
    event.xcrossing.state = state;
  } else if (type == MotionNotify) {
    event.xmotion.state = state;
    event.xmotion.same_screen = True;
  } else {
    common.state = state;
    common.same_screen = True;
  }
  return event;
}

XEvent PanelTest::keyEvent(int type, unsigned long keysym, unsigned state) const {
  Display* display = testDisplay();
  // The focus window has the keys, or the pointer's window when that lies inside it.
  Window focus = 0;
  int revert = 0;
  XGetInputFocus(display, &focus, &revert);
  const unsigned long target =
      focus == None || focus == PointerRoot || isInside(pointer.window, focus) ? pointer.window : focus;
  XEvent event = pointerEvent(type, target, state);
  event.xkey.keycode = XKeysymToKeycode(display, keysym);
  return event;
}

void PanelTest::deliver(const std::vector<XEvent>& events) {
  ASSERT_EQ(editor->mode(), EditorWindow::Mode::HostDisplay) << "only a host loop hands the plug-in events";
  const auto procedure = reinterpret_cast<int (*)(XEvent*)>(static_cast<intptr_t>(editor->eventProcValue()));
  ASSERT_NE(procedure, nullptr);
  Display* display = reinterpret_cast<Display*>(editor->displayValue());
  editor->runOnEditorThread([&] {
    for (XEvent event : events) procedure(&event);
    XSync(display, False);
  });
}

void PanelTest::settle() {
  editor->runOnEditorThread([&] {
    host.dispatch(effEditIdle);
    if (Display* display = reinterpret_cast<Display*>(editor->displayValue())) XSync(display, False);
  });
  // A window that opened or closed under the pointer (a tip, a dialog) puts it in another window: the
  // server tells both, and the plug-in may open or close more in turn.
  for (int round = 0; round < 4 && !pointer.buttons; ++round) {
    std::vector<XEvent> crossing;
    cross(windowAt(pointer.rootX, pointer.rootY), crossing);
    if (crossing.empty()) break;
    deliver(crossing);
  }
}

void PanelTest::cross(unsigned long to, std::vector<XEvent>& events) {
  if (to == pointer.window) return;
  // A window that went from under the pointer (a dialog closed) was left when it went.
  if (pointer.window && viewable(pointer.window)) events.push_back(pointerEvent(LeaveNotify, pointer.window, 0));
  pointer.window = to;
  if (to) events.push_back(pointerEvent(EnterNotify, to, 0));
}

void PanelTest::pointerTo(int rootX, int rootY) {
  pointer.rootX = rootX;
  pointer.rootY = rootY;
  std::vector<XEvent> events;
  if (!pointer.buttons) cross(windowAt(rootX, rootY), events);
  const unsigned long receiver = pointer.buttons ? pointer.pressWindow : pointer.window;
  if (receiver) events.push_back(pointerEvent(MotionNotify, receiver, pointer.buttons));
  deliver(events);
}

void PanelTest::moveTo(unsigned long window, int x, int y) {
  Display* display = testDisplay();
  int rootX = 0, rootY = 0;
  Window child = 0;
  XTranslateCoordinates(display, window, DefaultRootWindow(display), x, y, &rootX, &rootY, &child);
  pointerTo(rootX, rootY);
  settle();
}

void PanelTest::moveTo(PanelPoint point) { moveTo(panel, point.x, point.y); }

void PanelTest::pressButton(unsigned button, unsigned state) {
  time += 1000;
  if (!pointer.buttons) pointer.pressWindow = pointer.window;
  XEvent press = pointerEvent(ButtonPress, pointer.pressWindow, state | pointer.buttons);
  press.xbutton.button = button;
  deliver({press});
  pointer.buttons |= buttonMask(button);
}

void PanelTest::releaseButton(unsigned button, unsigned state) {
  // The grab ends with its window: a press that closed a dialog leaves the release to what lies beneath.
  if (!viewable(pointer.pressWindow)) pointer.pressWindow = windowAt(pointer.rootX, pointer.rootY);
  std::vector<XEvent> events = {pointerEvent(ButtonRelease, pointer.pressWindow, state | pointer.buttons)};
  events.front().xbutton.button = button;
  pointer.buttons &= ~buttonMask(button);
  // The grab ends: the window now under the pointer gets it back.
  if (!pointer.buttons) cross(windowAt(pointer.rootX, pointer.rootY), events);
  deliver(events);
}

void PanelTest::click(PanelPoint point, unsigned button) {
  moveTo(point);
  pressButton(button);
  releaseButton(button);
  settle();
}

void PanelTest::clickIn(unsigned long window, int x, int y) {
  moveTo(window, x, y);
  pressButton(1);
  releaseButton(1);
  settle();
}

void PanelTest::clickHolding(PanelPoint point, unsigned long modifierKeysym, unsigned modifierMask) {
  moveTo(point);
  deliver({keyEvent(KeyPress, modifierKeysym, 0)});
  pressButton(1, modifierMask);
  releaseButton(1, modifierMask);
  deliver({keyEvent(KeyRelease, modifierKeysym, modifierMask)});
  settle();
}

void PanelTest::controlClick(PanelPoint point) { clickHolding(point, XK_Control_L, ControlMask); }

void PanelTest::shiftClick(PanelPoint point) { clickHolding(point, XK_Shift_L, ShiftMask); }

void PanelTest::turn(PanelPoint point, int notches) {
  moveTo(point);
  const unsigned button = notches > 0 ? 4 : 5;
  for (int n = 0; n < std::abs(notches); ++n) {
    pressButton(button);
    releaseButton(button);
  }
  settle();
}

void PanelTest::drag(PanelPoint point, int dy, unsigned button) {
  moveTo(point);
  pressButton(button);
  settle();
  const int step = dy < 0 ? -2 : 2;
  for (int moved = 0; moved != dy; moved += step) moveTo({point.x, point.y + moved + step});
  releaseButton(button);
  settle();
}

void PanelTest::dragInPasses(PanelPoint point, int dy, unsigned button, int perPass) {
  moveTo(point);
  pressButton(button);
  settle();
  const int startY = pointer.rootY;
  const int step = dy < 0 ? -1 : 1;
  for (int moved = 0; moved != dy;) {
    std::vector<XEvent> pass;
    for (int n = 0; n < perPass && moved != dy; ++n) {
      moved += step;
      pointer.rootY = startY + moved;
      pass.push_back(pointerEvent(MotionNotify, pointer.pressWindow, pointer.buttons));
    }
    deliver(pass);
    settle();
  }
  releaseButton(button);
  settle();
}

void PanelTest::pressKey(unsigned long keysym, bool control) {
  Display* display = testDisplay();
  const KeyCode code = XKeysymToKeycode(display, keysym);
  // A character that sits on the shifted level of its key needs Shift.
  const bool shifted = XkbKeycodeToKeysym(display, code, 0, 0) != keysym;
  const unsigned modifiers = (control ? ControlMask : 0) | (shifted ? ShiftMask : 0);
  std::vector<XEvent> events;
  if (control) events.push_back(keyEvent(KeyPress, XK_Control_L, 0));
  if (shifted) events.push_back(keyEvent(KeyPress, XK_Shift_L, control ? ControlMask : 0));
  events.push_back(keyEvent(KeyPress, keysym, modifiers));
  events.push_back(keyEvent(KeyRelease, keysym, modifiers));
  if (shifted) events.push_back(keyEvent(KeyRelease, XK_Shift_L, modifiers));
  if (control) events.push_back(keyEvent(KeyRelease, XK_Control_L, ControlMask));
  deliver(events);
  settle();
}

void PanelTest::typeText(const std::string& text) {
  for (char c : text) pressKey(c == ' ' ? XK_space : static_cast<unsigned long>(static_cast<unsigned char>(c)));
}

// --- Reading back ----------------------------------------------------------------------------------------

int PanelTest::panelWidth() const { return windowState(panel).width; }

bool PanelTest::sizedFor(int strips) {
  const int width = 25 * strips + 120;
  ERect* rect = nullptr;
  editor->runOnEditorThread([&] { host.dispatch(effEditGetRect, 0, 0, &rect); });
  if (!rect || rect->right - rect->left != width || rect->bottom - rect->top != kEditorHeight) return false;
  const WindowState child = windowState(panel);
  const WindowState window = windowState(editor->hostWindow());
  return child.width == width && child.height == kEditorHeight && window.width == width &&
         window.height == kEditorHeight;
}

unsigned long PanelTest::pluginTopLevel(int width, int height) const {
  Display* display = testDisplay();
  XSync(display, False);
  Window root = 0, parent = 0;
  Window* children = nullptr;
  unsigned count = 0;
  unsigned long found = 0;
  if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) return 0;
  for (unsigned i = 0; i < count && !found; ++i) {
    const Window window = children[i];
    if (window == editor->hostWindow() || clientOf(window) != clientOf(panel)) continue;
    const WindowState state = windowState(window);
    if (state.viewable && (!width || state.width == width) && (!height || state.height == height)) found = window;
  }
  if (children) XFree(children);
  return found;
}

std::string PanelTest::tooltipText() const {
  const unsigned long tip = pluginTopLevel(0, 0);
  char* name = nullptr;
  if (!tip || !XFetchName(testDisplay(), tip, &name) || !name) return {};
  const std::string text = name;
  XFree(name);
  return text;
}

unsigned long PanelTest::childAt(int x, int y, int width, int height) const {
  Display* display = testDisplay();
  Window root = 0, parent = 0;
  Window* children = nullptr;
  unsigned count = 0;
  unsigned long found = 0;
  if (!XQueryTree(display, panel, &root, &parent, &children, &count)) return 0;
  for (unsigned i = 0; i < count && !found; ++i) {
    const WindowState state = windowState(children[i]);
    if (state.x == x && state.y == y && state.width == width && state.height == height) found = children[i];
  }
  if (children) XFree(children);
  return found;
}

int PanelTest::pixelsIn(const Rgb& colour, int left, int top, int right, int bottom) const {
  return pixelsOfColour(panel, colour.red, colour.green, colour.blue, left, top, right, bottom);
}

}  // namespace editortest
