// The editor thread: its connection, the host window, the X loop with its idle calls, and the tasks that
// callers hand it. Only this thread touches the connection while it runs.
#include "host/EditorWindow.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr auto kDisplayIdlePeriod = std::chrono::milliseconds(40);
constexpr auto kNoDisplayIdlePeriod = std::chrono::milliseconds(66);
// Used when neither the options nor the editor rectangle give a size.
constexpr int kFallbackWidth = 320;
constexpr int kFallbackHeight = 240;
// A waiter gives up this long after the last idle call it waited for would have been due: the loop
// has hung or the plug-in never returns.
constexpr auto kIdleWaitSlack = std::chrono::seconds(10);

// Xlib's own handler ends the process on the first error. A plug-in's requests on the host's
// connection can fail (a window that is gone), and a host must live on: say so and go on.
std::atomic<long> errorsReported{0};

int reportXError(Display* display, XErrorEvent* error) {
  errorsReported.fetch_add(1, std::memory_order_relaxed);
  char text[160] = {};
  XGetErrorText(display, error->error_code, text, sizeof text);
  std::fprintf(stderr, "vantorine-host: X error: %s (request %d.%d, resource 0x%lx)\n", text,
               error->request_code, error->minor_code, error->resourceid);
  return 0;
}

}  // namespace

long EditorWindow::xErrorsReported() { return errorsReported.load(std::memory_order_relaxed); }

EditorWindow::EditorWindow(VstHost& owner, Options options) : host(owner), settings(options) {
  // The plug-in calls into the connection we lend it from threads of its own, so it needs Xlib's
  // locks, which only connections opened after this call get.
  XInitThreads();
  static std::once_flag handlerInstalled;
  std::call_once(handlerInstalled, [] { XSetErrorHandler(&reportXError); });
  if (pipe2(wakePipe, O_CLOEXEC | O_NONBLOCK) != 0) {
    failure = "cannot make the editor thread's wake-up pipe";
    return;
  }
  host.setSizeWindowListener([this](VstInt32 width, VstInt32 height) { onSizeRequest(width, height); });
  std::unique_lock<std::mutex> guard(stateLock);
  loopThread = std::thread(&EditorWindow::threadMain, this);
  stateChanged.wait(guard, [this] { return started; });
}

EditorWindow::~EditorWindow() {
  {
    std::lock_guard<std::mutex> guard(stateLock);
    stopping = true;
  }
  wake();
  if (loopThread.joinable()) loopThread.join();
  host.setSizeWindowListener(nullptr);
  if (display) {
    if (displayLent) host.unload();
    XCloseDisplay(display);
  }
  for (int end : wakePipe)
    if (end >= 0) ::close(end);
}

VstIntPtr EditorWindow::displayValue() const {
  return settings.mode == Mode::HostDisplay ? reinterpret_cast<VstIntPtr>(display) : 0;
}

VstIntPtr EditorWindow::open(double seconds) {
  VstIntPtr result = 0;
  runOnEditorThread([&] { result = openEditor(seconds); });
  return result;
}

void EditorWindow::close() {
  runOnEditorThread([this] { closeEditor(false); });
}

bool EditorWindow::isOpen() const {
  std::lock_guard<std::mutex> guard(stateLock);
  return editorOpen;
}

void EditorWindow::waitUntilClosed() {
  std::unique_lock<std::mutex> guard(stateLock);
  stateChanged.wait(guard, [this] { return !editorOpen || loopEnded; });
}

void EditorWindow::unmapWindow() {
  runOnEditorThread([this] {
    if (!window) return;
    XUnmapWindow(display, window);
    XSync(display, False);
  });
}

void EditorWindow::mapWindow() {
  runOnEditorThread([this] {
    if (!window) return;
    XMapRaised(display, window);
    XSync(display, False);
  });
}

void EditorWindow::destroyWindow() {
  runOnEditorThread([this] { dropWindow(); });
}

void EditorWindow::runOnEditorThread(const std::function<void()>& task) {
  if (std::this_thread::get_id() == loopThread.get_id()) {
    task();
    return;
  }
  if (!ready()) return;
  bool done = false;
  post([&] {
    task();
    std::lock_guard<std::mutex> guard(stateLock);
    done = true;
    stateChanged.notify_all();
  });
  std::unique_lock<std::mutex> guard(stateLock);
  stateChanged.wait(guard, [&] { return done || loopEnded; });
}

bool EditorWindow::waitForIdles(long count) {
  const auto period = settings.mode == Mode::HostDisplay ? kDisplayIdlePeriod : kNoDisplayIdlePeriod;
  std::unique_lock<std::mutex> guard(stateLock);
  const long target = idles + count;
  stateChanged.wait_for(guard, period * count + kIdleWaitSlack,
                        [&] { return idles >= target || !editorOpen || loopEnded; });
  return idles >= target;
}

long EditorWindow::idleCount() const {
  std::lock_guard<std::mutex> guard(stateLock);
  return idles;
}

unsigned long EditorWindow::hostWindow() const {
  std::lock_guard<std::mutex> guard(stateLock);
  return window;
}

unsigned long EditorWindow::pluginWindow() const {
  std::lock_guard<std::mutex> guard(stateLock);
  return child;
}

int EditorWindow::arrivals() const {
  std::lock_guard<std::mutex> guard(stateLock);
  return arrived;
}

long EditorWindow::eventProcValue() const {
  std::lock_guard<std::mutex> guard(stateLock);
  return procValue;
}

int EditorWindow::eventProcReads() const {
  std::lock_guard<std::mutex> guard(stateLock);
  return procReads;
}

long EditorWindow::eventsPassedOn(unsigned long forWindow, int type, bool sentOnly) const {
  std::lock_guard<std::mutex> guard(stateLock);
  long total = 0;
  for (const auto& [key, count] : passedOn) {
    const auto& [eventWindow, eventType, sent] = key;
    if ((forWindow == 0 || eventWindow == forWindow) && (type == 0 || eventType == type) &&
        (!sentOnly || sent))
      total += count;
  }
  return total;
}

std::set<unsigned long> EditorWindow::windowsPassedOn() const {
  std::lock_guard<std::mutex> guard(stateLock);
  std::set<unsigned long> windows;
  for (const auto& entry : passedOn) windows.insert(std::get<0>(entry.first));
  return windows;
}

void EditorWindow::post(std::function<void()> task) {
  {
    std::lock_guard<std::mutex> guard(stateLock);
    tasks.push_back(std::move(task));
  }
  wake();
}

void EditorWindow::wake() {
  if (wakePipe[1] < 0) return;
  const char byte = 1;
  // A full pipe already holds a wake-up, so a failed write loses nothing.
  const ssize_t written = ::write(wakePipe[1], &byte, 1);
  static_cast<void>(written);
}

// Any thread: the plug-in sizes its window from inside effEditOpen and the event calls (our thread), but
// may do so from a thread of its own, whose request is then carried over to ours.
void EditorWindow::onSizeRequest(VstInt32 width, VstInt32 height) {
  if (!settings.followSizeRequests) return;
  if (std::this_thread::get_id() == loopThread.get_id())
    resizeWindow(width, height);
  else
    post([this, width, height] { resizeWindow(width, height); });
}

void EditorWindow::threadMain() {
  const bool connected = connect();
  {
    std::lock_guard<std::mutex> guard(stateLock);
    started = true;
    stateChanged.notify_all();
  }
  if (connected) {
    loop();
    closeEditor(true);
    XSync(display, False);
    requests.detach();
  }
  std::lock_guard<std::mutex> guard(stateLock);
  loopEnded = true;
  stateChanged.notify_all();
}

bool EditorWindow::connect() {
  Display* opened = XOpenDisplay(nullptr);
  if (!opened) {
    const char* name = std::getenv("DISPLAY");
    failure = std::string("cannot open the X display ") + (name ? name : "(DISPLAY is not set)");
    return false;
  }
  requests.attach(opened);
  deleteAtom = XInternAtom(opened, "WM_DELETE_WINDOW", False);
  eventProcAtom = XInternAtom(opened, "_XEventProc", False);
  display = opened;
  return true;
}

void EditorWindow::loop() {
  for (;;) {
    runQueuedTasks();
    {
      std::lock_guard<std::mutex> guard(stateLock);
      if (stopping) return;
    }
    while (XPending(display) > 0) {
      XEvent event;
      XNextEvent(display, &event);
      dispatchEvent(event);
    }
    const Clock::time_point now = Clock::now();
    if (closeAtDeadline && now >= closeAt) closeEditor(true);
    idleIfDue(now);

    // Requests made meanwhile may have read events into Xlib's queue, where poll cannot see them.
    const int timeout = XEventsQueued(display, QueuedAfterFlush) > 0 ? 0 : waitMilliseconds(Clock::now());
    pollfd watched[2] = {{ConnectionNumber(display), POLLIN, 0}, {wakePipe[0], POLLIN, 0}};
    poll(watched, 2, timeout);
    if (watched[1].revents & POLLIN) {
      char drained[64];
      while (::read(wakePipe[0], drained, sizeof drained) > 0) {
      }
    }
  }
}

void EditorWindow::runQueuedTasks() {
  std::deque<std::function<void()>> due;
  {
    std::lock_guard<std::mutex> guard(stateLock);
    due.swap(tasks);
  }
  for (const auto& task : due) task();
}

void EditorWindow::dispatchEvent(XEvent& event) {
  // Events of a host window already destroyed still arrive (the children's destruction among them);
  // they are ours as much as those of the live one.
  if (ownWindows.count(event.xany.window)) {
    handleOwnWindowEvent(event);
    return;
  }
  if (settings.mode != Mode::HostDisplay || !eventProc) return;
  {
    std::lock_guard<std::mutex> guard(stateLock);
    ++passedOn[{event.xany.window, event.type, event.xany.send_event != 0}];
  }
  eventProc(&event);
}

void EditorWindow::handleOwnWindowEvent(XEvent& event) {
  switch (event.type) {
    case ReparentNotify:
      // What one well-known host does: the window that arrives in ours is the plug-in's, and only then
      // is its event procedure looked up.
      if (window && event.xreparent.parent == window) {
        if (settings.mode == Mode::HostDisplay) readEventProc(event.xreparent.window);
        // Counted last, so that whoever sees the arrival sees its procedure read too.
        std::lock_guard<std::mutex> guard(stateLock);
        child = event.xreparent.window;
        ++arrived;
      }
      break;
    case ClientMessage:
      if (event.xclient.format == 32 && static_cast<Atom>(event.xclient.data.l[0]) == deleteAtom &&
          event.xclient.window == window)
        closeEditor(true);
      break;
    default:
      break;
  }
}

// One format-32 item, as 64-bit hosts read it: Xlib keeps its low 32 bits and hands them back
// sign-extended in a long, and that value is what gets called.
void EditorWindow::readEventProc(unsigned long from) {
  Atom type = 0;
  int format = 0;
  unsigned long items = 0;
  unsigned long remaining = 0;
  unsigned char* data = nullptr;
  long value = 0;
  if (XGetWindowProperty(display, from, eventProcAtom, 0, 1, False, AnyPropertyType, &type, &format, &items,
                         &remaining, &data) == Success &&
      data && format == 32 && items == 1)
    value = *reinterpret_cast<const long*>(data);
  if (data) XFree(data);
  eventProc = value ? reinterpret_cast<EventProc>(static_cast<intptr_t>(value)) : nullptr;
  std::lock_guard<std::mutex> guard(stateLock);
  procValue = value;
  ++procReads;
}

void EditorWindow::makeWindow(int width, int height) {
  Display* const d = display;
  XSetWindowAttributes attributes{};
  attributes.background_pixel = BlackPixel(d, DefaultScreen(d));
  // Substructure: the plug-in's window arriving in ours (ReparentNotify) is how we find it.
  attributes.event_mask = SubstructureNotifyMask;
  const Window made =
      XCreateWindow(d, DefaultRootWindow(d), settings.x, settings.y, static_cast<unsigned>(width),
                    static_cast<unsigned>(height), 0, CopyFromParent, InputOutput, CopyFromParent,
                    CWBackPixel | CWEventMask, &attributes);
  XStoreName(d, made, "vantorine-host editor");
  Atom protocols[] = {deleteAtom};
  XSetWMProtocols(d, made, protocols, 1);
  XMapRaised(d, made);
  // The plug-in may reparent into the window from a connection of its own, so the server must know the
  // window before effEditOpen.
  XSync(d, False);
  ownWindows.insert(made);
  std::lock_guard<std::mutex> guard(stateLock);
  window = made;
  child = 0;
}

VstIntPtr EditorWindow::openEditor(double seconds) {
  if (isOpen()) return 0;
  ERect* rect = nullptr;
  host.dispatch(effEditGetRect, 0, 0, &rect);
  int width = settings.width;
  int height = settings.height;
  if ((width <= 0 || height <= 0) && rect) {
    width = rect->right - rect->left;
    height = rect->bottom - rect->top;
  }
  if (width <= 0 || height <= 0) {
    width = kFallbackWidth;
    height = kFallbackHeight;
  }
  if (!hostWindow()) makeWindow(width, height);
  if (settings.mode == Mode::HostDisplay) displayLent = true;
  const VstIntPtr result =
      host.dispatch(effEditOpen, 0, displayValue(), reinterpret_cast<void*>(static_cast<uintptr_t>(window)));
  if (!result) return result;
  const Clock::time_point now = Clock::now();
  nextIdle = now + (settings.mode == Mode::HostDisplay ? kDisplayIdlePeriod : kNoDisplayIdlePeriod);
  closeAtDeadline = seconds > 0;
  if (closeAtDeadline)
    closeAt = now + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
  std::lock_guard<std::mutex> guard(stateLock);
  editorOpen = true;
  stateChanged.notify_all();
  return result;
}

void EditorWindow::closeEditor(bool withWindow) {
  closeAtDeadline = false;
  if (isOpen()) {
    host.dispatch(effEditClose);
    // The editor is the plug-in's no more, and the plug-in may be unloaded before the next open reads
    // the procedure again: from now on its windows' events go nowhere.
    eventProc = nullptr;
  }
  // After effEditClose, which took the plug-in's window out of ours, and before waiters learn that the
  // editor is closed.
  if (withWindow) dropWindow();
  std::lock_guard<std::mutex> guard(stateLock);
  editorOpen = false;
  stateChanged.notify_all();
}

void EditorWindow::dropWindow() {
  if (!window) return;
  XDestroyWindow(display, window);
  XSync(display, False);
  std::lock_guard<std::mutex> guard(stateLock);
  window = 0;
  child = 0;
}

void EditorWindow::idleIfDue(Clock::time_point now) {
  if (!isOpen() || now < nextIdle) return;
  host.dispatch(effEditIdle);
  const auto period = settings.mode == Mode::HostDisplay ? kDisplayIdlePeriod : kNoDisplayIdlePeriod;
  nextIdle += period;
  // After a stall the next call is one period away, not a burst of calls to catch up.
  if (nextIdle < now) nextIdle = now + period;
  std::lock_guard<std::mutex> guard(stateLock);
  ++idles;
  stateChanged.notify_all();
}

int EditorWindow::waitMilliseconds(Clock::time_point now) const {
  Clock::time_point until = Clock::time_point::max();
  if (isOpen()) until = nextIdle;
  if (closeAtDeadline && closeAt < until) until = closeAt;
  if (until == Clock::time_point::max()) return -1;
  if (until <= now) return 0;
  return static_cast<int>(std::ceil(std::chrono::duration<double, std::milli>(until - now).count()));
}

void EditorWindow::resizeWindow(int width, int height) {
  if (!window || width <= 0 || height <= 0) return;
  XResizeWindow(display, window, static_cast<unsigned>(width), static_cast<unsigned>(height));
}
