// The X clipboard: claiming and serving the "CLIPBOARD" selection from a thread of our own, and asking its
// owner for text.
#include "file/SClipboard.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <string>

#include "file/Latin1Text.h"
#include "gui/XErrorTrap.h"
#include "gui/context/SData.h"
#include "threading/SThread.h"

namespace tovo::file {

using tovo::gui::context::SData;

namespace {

// Shared by every clipboard of the process: one copy or paste at a time.
std::atomic<bool> clipboardopen{false};

// How long the server waits for a request before it looks at the stop flag by itself.
constexpr int kServeWaitMs = 250;
// How long a paste waits for the owner's answer.
constexpr std::chrono::milliseconds kAnswerTimeout{1000};
// Property reads go in chunks of this many 32-bit units.
constexpr long kChunkUnits = 1024;

// The largest property one request can carry on this connection, with room for the request's header.
size_t MaxPropertyBytes(Display* display) {
  long units = XExtendedMaxRequestSize(display);
  if (units == 0) units = XMaxRequestSize(display);
  return static_cast<size_t>(units) * 4 - 64;
}

Window MakeWindow(Display* display) {
  return XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
}

}  // namespace

// --- Life ------------------------------------------------------------------------------------------------

SClipboard::SClipboard() : serverThread(new tovo::threading::SThread(0)) {
  readDisplay = XOpenDisplay(nullptr);
  serveDisplay = XOpenDisplay(nullptr);
  if (!readDisplay || !serveDisplay) {
    if (readDisplay) XCloseDisplay(readDisplay);
    if (serveDisplay) XCloseDisplay(serveDisplay);
    readDisplay = serveDisplay = nullptr;
    return;
  }
  readClipboardAtom = XInternAtom(readDisplay, "CLIPBOARD", False);
  deliveryAtom = XInternAtom(readDisplay, "TOVO_CLIPBOARD", False);
  readUtf8Atom = XInternAtom(readDisplay, "UTF8_STRING", False);
  serveClipboardAtom = XInternAtom(serveDisplay, "CLIPBOARD", False);
  targetsAtom = XInternAtom(serveDisplay, "TARGETS", False);
  utf8Atom = XInternAtom(serveDisplay, "UTF8_STRING", False);
  textAtom = XInternAtom(serveDisplay, "TEXT", False);
  readWindow = MakeWindow(readDisplay);
  serveWindow = MakeWindow(serveDisplay);
  XFlush(readDisplay);
  XFlush(serveDisplay);

  wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  serverStarted = wakeFd >= 0 && serverThread->Start(&SClipboard::DataServer, this) == 0;
}

SClipboard::~SClipboard() {
  clipboardopen.store(false, std::memory_order_release);
  stopping.store(true, std::memory_order_release);
  Wake();
  // Joined here, before the connection it serves goes away.
  delete serverThread;
  if (readDisplay) {
    XDestroyWindow(readDisplay, readWindow);
    XCloseDisplay(readDisplay);
  }
  if (serveDisplay) {
    XDestroyWindow(serveDisplay, serveWindow);
    XCloseDisplay(serveDisplay);
  }
  if (wakeFd >= 0) close(wakeFd);
}

// --- Opening ---------------------------------------------------------------------------------------------

bool SClipboard::IsOpen() {
  return clipboardopen.load(std::memory_order_acquire);
}

// Without windows of its own this object can do nothing, whichever other clipboard is open.
bool SClipboard::Open(tovo::gui::SControl* control) {
  if (!control || !readWindow || !serveWindow) return false;
  if (clipboardopen.load(std::memory_order_acquire)) {
    // Another clipboard holds it open: this one still needs to know whom it works for.
    if (!owner) owner = control;
    return true;
  }
  owner = control;
  clipboardopen.store(true, std::memory_order_release);
  return true;
}

void SClipboard::Close() {
  clipboardopen.store(false, std::memory_order_release);
}

bool SClipboard::OpenImplicitly() {
  if (!readWindow || !serveWindow) return false;
  clipboardopen.store(true, std::memory_order_release);
  return true;
}

bool SClipboard::Empty() {
  if (!clipboardopen.load(std::memory_order_acquire)) return false;
  std::lock_guard<std::mutex> hold(textLock);
  servedText.Clear(false);
  return true;
}

void SClipboard::GetRegisteredFormats(tovo::gui::SControl*) {
  formats.clear();
  formats.reserve(64);
}

// --- Copy ------------------------------------------------------------------------------------------------

bool SClipboard::SetData(const SData& data) {
  if (!owner || !OpenImplicitly()) return false;
  Text fresh;
  const bool isText = data.GetFormat() == SData::kText;
  if (isText) fresh.Append(data.GetTextData());
  {
    // Replaced in one step: a request served meanwhile gets the old text or the new, never a mixture.
    std::lock_guard<std::mutex> hold(textLock);
    servedText = fresh;
  }
  if (!isText) return false;

  bool owned;
  {
    std::lock_guard<std::mutex> hold(servingLock);
    XSetSelectionOwner(serveDisplay, serveClipboardAtom, serveWindow, CurrentTime);
    XFlush(serveDisplay);
    owned = XGetSelectionOwner(serveDisplay, serveClipboardAtom) == serveWindow;
    owning.store(owned, std::memory_order_release);
  }
  // The round trip may have read requests into the queue, where the server's wait on the socket cannot
  // see them.
  Wake();
  return owned;
}

// --- Serving ---------------------------------------------------------------------------------------------

void* SClipboard::DataServer(void* self) {
  static_cast<SClipboard*>(self)->Serve();
  return nullptr;
}

void SClipboard::Serve() {
  const int connection = ConnectionNumber(serveDisplay);
  while (!stopping.load(std::memory_order_acquire)) {
    {
      std::lock_guard<std::mutex> hold(servingLock);
      DrainRequests();
    }
    pollfd waits[2] = {{connection, POLLIN, 0}, {wakeFd, POLLIN, 0}};
    if (poll(waits, 2, kServeWaitMs) > 0 && (waits[1].revents & POLLIN)) {
      uint64_t count;
      [[maybe_unused]] ssize_t got = read(wakeFd, &count, sizeof count);
    }
  }
}

int SClipboard::DrainRequests() {
  int result = 0;
  while (XPending(serveDisplay) > 0) {
    XEvent event;
    XNextEvent(serveDisplay, &event);
    result = AnswerRequest(&event);
  }
  return result;
}

int SClipboard::ServeEvent(XEvent* event) {
  if (!event || !serveDisplay) return 0;
  std::lock_guard<std::mutex> hold(servingLock);
  return AnswerRequest(event);
}

int SClipboard::CheckEvent() {
  if (!serveDisplay) return 0;
  std::lock_guard<std::mutex> hold(servingLock);
  return DrainRequests();
}

int SClipboard::AnswerRequest(XEvent* event) {
  if (event->type == SelectionClear) {
    // A clear that was queued before our own latest claim must not end that claim: ask the server.
    if (event->xselectionclear.selection == serveClipboardAtom)
      owning.store(XGetSelectionOwner(serveDisplay, serveClipboardAtom) == serveWindow,
                   std::memory_order_release);
    return 0;
  }
  if (event->type != SelectionRequest) return 0;

  const XSelectionRequestEvent& request = event->xselectionrequest;
  // Obsolete clients name no property: the target doubles as the property then.
  const Atom property = request.property == None ? request.target : request.property;
  // The requestor may be gone by the time we write to it: that error is expected, not fatal.
  tovo::gui::XErrorTrap trap;
  bool served = false;
  if (request.selection == serveClipboardAtom && owning.load(std::memory_order_acquire)) {
    if (request.target == targetsAtom) {
      const Atom offered[4] = {targetsAtom, utf8Atom, XA_STRING, textAtom};
      XChangeProperty(serveDisplay, request.requestor, property, XA_ATOM, 32, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(offered), 4);
      served = true;
    } else if (request.target == utf8Atom || request.target == XA_STRING || request.target == textAtom) {
      std::string bytes;
      {
        std::lock_guard<std::mutex> hold(textLock);
        if (request.target == utf8Atom)
          bytes = Latin1ToUtf8(servedText.Get(), servedText.Length());
        else
          bytes.assign(servedText.Get(), servedText.Length());
      }
      // Text too long for one request is refused rather than sent cut.
      if (bytes.size() <= MaxPropertyBytes(serveDisplay)) {
        const Atom type = request.target == utf8Atom ? utf8Atom : XA_STRING;
        XChangeProperty(serveDisplay, request.requestor, property, type, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<int>(bytes.size()));
        served = true;
      }
    }
  }

  XEvent reply{};
  reply.xselection.type = SelectionNotify;
  reply.xselection.display = request.display;
  reply.xselection.requestor = request.requestor;
  reply.xselection.selection = request.selection;
  reply.xselection.target = request.target;
  reply.xselection.property = served ? property : None;
  reply.xselection.time = request.time;
  XSendEvent(serveDisplay, request.requestor, False, 0, &reply);
  // Synchronous, so that an error of this answer arrives while the trap is set.
  return XSync(serveDisplay, False);
}

void SClipboard::Wake() {
  if (wakeFd < 0) return;
  const uint64_t one = 1;
  [[maybe_unused]] ssize_t written = write(wakeFd, &one, sizeof one);
}

// --- Paste -----------------------------------------------------------------------------------------------

bool SClipboard::GetData(SData& data, int kind) {
  if (kind != SData::kText || !owner || !OpenImplicitly()) return false;
  if (XGetSelectionOwner(readDisplay, readClipboardAtom) == None) return false;

  // Nothing left from an earlier request that timed out may pass for this one's answer.
  XDeleteProperty(readDisplay, readWindow, deliveryAtom);
  XSync(readDisplay, False);
  XEvent stale;
  while (XCheckTypedWindowEvent(readDisplay, readWindow, SelectionNotify, &stale)) {
  }
  XConvertSelection(readDisplay, readClipboardAtom, XA_STRING, deliveryAtom, readWindow, CurrentTime);
  XFlush(readDisplay);

  const auto deadline = std::chrono::steady_clock::now() + kAnswerTimeout;
  XEvent answer;
  for (;;) {
    if (XCheckTypedWindowEvent(readDisplay, readWindow, SelectionNotify, &answer)) break;
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    pollfd wait = {ConnectionNumber(readDisplay), POLLIN, 0};
    poll(&wait, 1, static_cast<int>(left.count()) + 1);
  }
  if (answer.xselection.property == None) return false;

  Text text;
  const bool isText = ReadProperty(text);
  clipboardopen.store(false, std::memory_order_release);
  if (!isText || text.Length() == 0) return false;
  data.SetTextData(text.Get());
  return true;
}

bool SClipboard::ReadProperty(Text& text) {
  std::string collected;
  bool utf8 = false, isText = true;
  long offset = 0;
  for (;;) {
    Atom type = None;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* chunk = nullptr;
    // Deleting on read removes the property only with its last chunk.
    const int status = XGetWindowProperty(readDisplay, readWindow, deliveryAtom, offset, kChunkUnits, True,
                                          AnyPropertyType, &type, &format, &items, &after, &chunk);
    if (status != Success) {
      isText = false;
      break;
    }
    const bool textChunk = format == 8 && (type == XA_STRING || type == readUtf8Atom);
    if (textChunk) {
      collected.append(reinterpret_cast<const char*>(chunk), items);
      utf8 = type == readUtf8Atom;
    }
    if (chunk) XFree(chunk);
    if (!textChunk) {
      // A reply we cannot read (another type, or a transfer in increments) must not stay behind.
      XDeleteProperty(readDisplay, readWindow, deliveryAtom);
      isText = false;
      break;
    }
    offset += static_cast<long>(items / 4);
    if (after == 0) break;
  }
  // The text type ends at the first zero byte, as the toolkit's strings do.
  text.Append((utf8 ? Utf8ToLatin1(collected) : collected).c_str());
  return isText;
}

}  // namespace tovo::file
