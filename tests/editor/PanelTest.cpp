// Real input for the panel's tests and what they read back from the host and the server.
#include "PanelTest.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

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
  EditorTest::SetUp();
  int event = 0, error = 0, major = 0, minor = 0;
  ASSERT_TRUE(XTestQueryExtension(testDisplay(), &event, &error, &major, &minor)) << "the server has no XTEST";
  EditorWindow::Options options = defaultOptions();
  // Room for sixteen columns on the screen, away from where other programs open windows.
  options.x = 1000;
  options.y = 300;
  restart(HostSettings(), options);
  panel = openAndEmbed();
  ASSERT_NE(panel, 0u);
  ASSERT_TRUE(within(40, [&] { return sizedFor(1); }));
  // The pointer starts away from every control.
  moveTo(editor->hostWindow(), 300, 300);
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
  settle();
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

void PanelTest::settle() {
  XSync(testDisplay(), False);
  editor->waitForIdles(3);
}

void PanelTest::moveTo(unsigned long window, int x, int y) {
  Display* display = testDisplay();
  int rootX = 0, rootY = 0;
  Window child = 0;
  XTranslateCoordinates(display, window, DefaultRootWindow(display), x, y, &rootX, &rootY, &child);
  XTestFakeMotionEvent(display, DefaultScreen(display), rootX, rootY, CurrentTime);
  settle();
}

void PanelTest::moveTo(PanelPoint point) { moveTo(panel, point.x, point.y); }

void PanelTest::click(PanelPoint point, unsigned button) {
  moveTo(point);
  Display* display = testDisplay();
  XTestFakeButtonEvent(display, button, True, CurrentTime);
  XTestFakeButtonEvent(display, button, False, CurrentTime);
  settle();
}

void PanelTest::clickIn(unsigned long window, int x, int y) {
  moveTo(window, x, y);
  Display* display = testDisplay();
  XTestFakeButtonEvent(display, 1, True, CurrentTime);
  XTestFakeButtonEvent(display, 1, False, CurrentTime);
  settle();
}

void PanelTest::clickHolding(PanelPoint point, unsigned long modifierKeysym) {
  Display* display = testDisplay();
  const KeyCode modifier = XKeysymToKeycode(display, modifierKeysym);
  moveTo(point);
  XTestFakeKeyEvent(display, modifier, True, CurrentTime);
  XTestFakeButtonEvent(display, 1, True, CurrentTime);
  XTestFakeButtonEvent(display, 1, False, CurrentTime);
  XTestFakeKeyEvent(display, modifier, False, CurrentTime);
  settle();
}

void PanelTest::controlClick(PanelPoint point) { clickHolding(point, XK_Control_L); }

void PanelTest::shiftClick(PanelPoint point) { clickHolding(point, XK_Shift_L); }

void PanelTest::turn(PanelPoint point, int notches) {
  moveTo(point);
  Display* display = testDisplay();
  const unsigned button = notches > 0 ? 4 : 5;
  for (int n = 0; n < std::abs(notches); ++n) {
    XTestFakeButtonEvent(display, button, True, CurrentTime);
    XTestFakeButtonEvent(display, button, False, CurrentTime);
  }
  settle();
}

void PanelTest::drag(PanelPoint point, int dy, unsigned button) {
  moveTo(point);
  Display* display = testDisplay();
  XTestFakeButtonEvent(display, button, True, CurrentTime);
  settle();
  const int step = dy < 0 ? -2 : 2;
  for (int moved = 0; moved != dy; moved += step) moveTo({point.x, point.y + moved + step});
  XTestFakeButtonEvent(display, button, False, CurrentTime);
  settle();
}

void PanelTest::dragInPasses(PanelPoint point, int dy, unsigned button, int perPass) {
  moveTo(point);
  Display* display = testDisplay();
  XTestFakeButtonEvent(display, button, True, CurrentTime);
  settle();
  int rootX = 0, rootY = 0;
  Window child = 0;
  XTranslateCoordinates(display, panel, DefaultRootWindow(display), point.x, point.y, &rootX, &rootY, &child);
  const int step = dy < 0 ? -1 : 1;
  for (int moved = 0; moved != dy;) {
    // The editor thread is busy with this, so neither it nor the plug-in reads any of these motions
    // before the pointer has made all of them.
    editor->runOnEditorThread([&] {
      for (int n = 0; n < perPass && moved != dy; ++n) {
        moved += step;
        XTestFakeMotionEvent(display, DefaultScreen(display), rootX, rootY + moved, CurrentTime);
        XSync(display, False);
      }
    });
    editor->waitForIdles(1);
  }
  XTestFakeButtonEvent(display, button, False, CurrentTime);
  settle();
}

void PanelTest::pressKey(unsigned long keysym, bool control) {
  Display* display = testDisplay();
  const KeyCode controlKey = XKeysymToKeycode(display, XK_Control_L);
  const KeyCode shift = XKeysymToKeycode(display, XK_Shift_L);
  const KeyCode code = XKeysymToKeycode(display, keysym);
  // A character that sits on the shifted level of its key needs Shift.
  const bool shifted = XkbKeycodeToKeysym(display, code, 0, 0) != keysym;
  if (control) XTestFakeKeyEvent(display, controlKey, True, CurrentTime);
  if (shifted) XTestFakeKeyEvent(display, shift, True, CurrentTime);
  XTestFakeKeyEvent(display, code, True, CurrentTime);
  XTestFakeKeyEvent(display, code, False, CurrentTime);
  if (shifted) XTestFakeKeyEvent(display, shift, False, CurrentTime);
  if (control) XTestFakeKeyEvent(display, controlKey, False, CurrentTime);
  XSync(display, False);
}

void PanelTest::typeText(const std::string& text) {
  for (char c : text) pressKey(c == ' ' ? XK_space : static_cast<unsigned long>(static_cast<unsigned char>(c)));
  settle();
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
