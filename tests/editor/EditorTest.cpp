// The test's own X connection and what it reads from the server, and the fixture's set-up.
#include "EditorTest.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <xcb/xcb.h>

#include "tests/support/ThreadCount.h"

namespace editortest {

Display* testDisplay() {
  static Display* const display = [] {
    XInitThreads();
    return XOpenDisplay(nullptr);
  }();
  return display;
}

namespace {

void countBelow(Display* display, Window window, std::map<unsigned long, int>& counts) {
  Window root = 0;
  Window parent = 0;
  Window* children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(display, window, &root, &parent, &children, &count)) return;
  for (unsigned i = 0; i < count; ++i) {
    ++counts[clientOf(children[i])];
    countBelow(display, children[i], counts);
  }
  if (children) XFree(children);
}

// The channel a mask selects, scaled to 8 bits.
int channel(unsigned long pixel, unsigned long mask) {
  if (!mask) return 0;
  int shift = 0;
  while (!((mask >> shift) & 1)) ++shift;
  const unsigned long top = mask >> shift;
  return static_cast<int>(((pixel & mask) >> shift) * 255 / top);
}

}  // namespace

WindowState windowState(unsigned long window) {
  WindowState state;
  Display* display = testDisplay();
  XSync(display, False);
  Window root = 0;
  Window parent = 0;
  Window* children = nullptr;
  unsigned count = 0;
  XWindowAttributes attributes{};
  // Asking the tree first keeps a missing window from reaching the process's error handler twice.
  if (!window || !XQueryTree(display, window, &root, &parent, &children, &count)) return state;
  if (children) XFree(children);
  if (!XGetWindowAttributes(display, window, &attributes)) return state;
  state.exists = true;
  state.mapped = attributes.map_state != IsUnmapped;
  state.viewable = attributes.map_state == IsViewable;
  state.x = attributes.x;
  state.y = attributes.y;
  state.width = attributes.width;
  state.height = attributes.height;
  state.parent = parent;
  return state;
}

unsigned long clientOf(unsigned long window) {
  // The server gives every client the same mask for its resource ids; what is left over names the
  // client. Xlib keeps the mask to itself, the connection set-up that xcb shows has it.
  static const unsigned long mask = [] {
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const unsigned long value =
        xcb_connection_has_error(connection) ? 0 : xcb_get_setup(connection)->resource_id_mask;
    xcb_disconnect(connection);
    return value;
  }();
  return window & ~mask;
}

std::map<unsigned long, int> windowsByClient() {
  Display* display = testDisplay();
  XSync(display, False);
  std::map<unsigned long, int> counts;
  countBelow(display, DefaultRootWindow(display), counts);
  return counts;
}

int threadCount() { return testsupport::ThreadCount(); }

bool isInside(unsigned long window, unsigned long ancestor) {
  Display* display = testDisplay();
  while (window && window != ancestor) {
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, window, &root, &parent, &children, &count)) return false;
    if (children) XFree(children);
    window = parent == root ? 0 : parent;
  }
  return window != 0;
}

int pixelsOfColour(unsigned long window, int red, int green, int blue) {
  const WindowState state = windowState(window);
  return pixelsOfColour(window, red, green, blue, 0, 0, state.width, state.height);
}

int pixelsOfColour(unsigned long window, int red, int green, int blue, int left, int top, int right, int bottom) {
  const std::vector<Rgb> pixels = windowPixels(window, left, top, right, bottom);
  if (pixels.empty()) return -1;
  int count = 0;
  for (const Rgb& pixel : pixels)
    if (pixel == Rgb{red, green, blue}) ++count;
  return count;
}

std::vector<Rgb> windowPixels(unsigned long window, int left, int top, int right, int bottom) {
  const WindowState state = windowState(window);
  if (!state.viewable || right <= left || bottom <= top) return {};
  Display* display = testDisplay();
  XImage* image = XGetImage(display, window, left, top, static_cast<unsigned>(right - left),
                            static_cast<unsigned>(bottom - top), AllPlanes, ZPixmap);
  if (!image) return {};
  std::vector<Rgb> pixels;
  for (int y = 0; y < bottom - top; ++y)
    for (int x = 0; x < right - left; ++x) {
      const unsigned long pixel = XGetPixel(image, x, y);
      pixels.push_back({channel(pixel, image->red_mask), channel(pixel, image->green_mask),
                        channel(pixel, image->blue_mask)});
    }
  XDestroyImage(image);
  return pixels;
}

Rgb pixelAt(unsigned long window, int x, int y) {
  const std::vector<Rgb> pixels = windowPixels(window, x, y, x + 1, y + 1);
  return pixels.empty() ? Rgb{-1, -1, -1} : pixels.front();
}

void scribble(unsigned long window, int red, int green, int blue) {
  Display* display = testDisplay();
  const WindowState state = windowState(window);
  XColor colour{};
  colour.red = static_cast<unsigned short>(red * 257);
  colour.green = static_cast<unsigned short>(green * 257);
  colour.blue = static_cast<unsigned short>(blue * 257);
  XAllocColor(display, DefaultColormap(display, DefaultScreen(display)), &colour);
  XGCValues values{};
  values.foreground = colour.pixel;
  values.subwindow_mode = IncludeInferiors;
  GC gc = XCreateGC(display, window, GCForeground | GCSubwindowMode, &values);
  XFillRectangle(display, window, gc, 0, 0, static_cast<unsigned>(state.width),
                 static_cast<unsigned>(state.height));
  XFreeGC(display, gc);
  XSync(display, False);
}

long sentExposesInside(const EditorWindow& editor, unsigned long child) {
  long count = 0;
  for (unsigned long window : editor.windowsPassedOn())
    if (isInside(window, child)) count += editor.eventsPassedOn(window, Expose, true);
  return count;
}

void sendDeleteRequest(unsigned long window) {
  Display* display = testDisplay();
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  // No event mask: the event goes to the client that made the window.
  XSendEvent(display, window, False, NoEventMask, &event);
  XSync(display, False);
}

std::string modeName(const testing::TestParamInfo<EditorWindow::Mode>& info) {
  return info.param == EditorWindow::Mode::HostDisplay ? "Display" : "NoDisplay";
}

void EditorTest::SetUp() {
  ASSERT_NE(testDisplay(), nullptr) << "the editor tests need an X server in DISPLAY";
  restart(HostSettings(), defaultOptions());
}

void EditorTest::TearDown() {
  editor.reset();
  host.unload();
}

void EditorTest::restart(const HostSettings& settings, EditorWindow::Options options) {
  editor.reset();
  host.unload();
  host.settings() = settings;
  ASSERT_TRUE(host.load(VANTORINE_PLUGIN_PATH)) << host.error();
  options.mode = GetParam();
  editor = std::make_unique<EditorWindow>(host, options);
  ASSERT_TRUE(editor->ready()) << editor->error();
  ASSERT_NE(editor->editorThreadId(), std::this_thread::get_id());
}

EditorWindow::Options EditorTest::defaultOptions() const {
  EditorWindow::Options options;
  options.mode = GetParam();
  // Clear of the screen's corner, where windows open that nobody places (the host program's among them),
  // which would hide ours from pixel reads.
  options.x = 2200;
  options.y = 540;
  return options;
}

bool EditorTest::within(int idles, const std::function<bool()>& condition) {
  for (int i = 0; i < idles; ++i) {
    if (condition()) return true;
    if (!editor->waitForIdles(1)) break;
  }
  return condition();
}

unsigned long EditorTest::openAndEmbed() {
  const int before = editor->arrivals();
  EXPECT_EQ(editor->open(), 1);
  const bool embedded = within(50, [&] {
    const unsigned long child = editor->pluginWindow();
    return editor->arrivals() > before && child && windowState(child).parent == editor->hostWindow();
  });
  EXPECT_TRUE(embedded) << "no window of the plug-in arrived in the host window";
  return editor->pluginWindow();
}

}  // namespace editortest
