// Another X client, written with plain Xlib on a connection of its own, as an editor or a terminal would
// be: it asks the owner of "CLIPBOARD" for a target and reads the answer, or it takes the selection itself
// and answers requests from a thread of its own with a text of a chosen type.
#pragma once

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace tovo::test {

class ForeignClient {
 public:
  struct Answer {
    bool notified = false;  // a SelectionNotify came
    Atom property = None;   // the property it names (None: refused)
    Atom type = None;
    int format = 0;
    std::string bytes;        // format 8
    std::vector<Atom> atoms;  // format 32
  };

  ForeignClient() : display(XOpenDisplay(nullptr)) {
    if (!display) return;
    window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    clipboard = Intern("CLIPBOARD");
  }
  ~ForeignClient() {
    StopServing();
    if (!display) return;
    XDestroyWindow(display, window);
    XCloseDisplay(display);
  }
  ForeignClient(const ForeignClient&) = delete;
  ForeignClient& operator=(const ForeignClient&) = delete;

  bool Valid() const { return display != nullptr; }
  Display* Connection() const { return display; }
  Window Id() const { return window; }
  Atom Intern(const char* name) { return XInternAtom(display, name, False); }
  Window SelectionOwner() { return XGetSelectionOwner(display, clipboard); }

  // Asks for the selection in target, delivered into property (None: the obsolete form without one), and
  // waits up to two seconds for the answer.
  Answer Request(const char* target, const char* property = "FOREIGN_PASTE") {
    const Atom targetAtom = Intern(target);
    const Atom propertyAtom = property ? Intern(property) : None;
    XConvertSelection(display, clipboard, targetAtom, propertyAtom, window, CurrentTime);
    XFlush(display);
    Answer answer;
    XEvent event;
    if (!WaitFor(SelectionNotify, event)) return answer;
    answer.notified = true;
    answer.property = event.xselection.property;
    if (answer.property == None) return answer;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(display, window, answer.property, 0, 1 << 20, True, AnyPropertyType, &answer.type,
                       &answer.format, &items, &after, &data);
    if (answer.format == 8) answer.bytes.assign(reinterpret_cast<char*>(data), items);
    if (answer.format == 32)
      for (unsigned long i = 0; i < items; ++i) answer.atoms.push_back(reinterpret_cast<Atom*>(data)[i]);
    if (data) XFree(data);
    return answer;
  }

  // Takes "CLIPBOARD" and answers every request from now on with text as type (refusing TARGETS and
  // anything else but the usual text targets), from a thread of its own, until StopServing.
  bool Own(const std::string& text, const char* type) {
    StopServing();
    served = text;
    servedType = Intern(type);
    XSetSelectionOwner(display, clipboard, window, CurrentTime);
    const bool owned = SelectionOwner() == window;
    stop.store(false);
    serving = true;
    server = std::thread([this] { ServeRequests(); });
    return owned;
  }
  void StopServing() {
    if (!server.joinable()) return;
    stop.store(true);
    server.join();
    serving = false;
  }
  // Gives the selection up: nobody owns it then.
  void Disown() {
    StopServing();
    XSetSelectionOwner(display, clipboard, None, CurrentTime);
    XSync(display, False);
  }
  int RequestsAnswered() const { return answered.load(); }
  // Whether a request is waiting that nobody answered (only while not serving).
  bool RequestPending() {
    XSync(display, False);
    XEvent event;
    return XCheckTypedWindowEvent(display, window, SelectionRequest, &event);
  }

 private:
  // Up to two seconds, or until a stop is requested while serving.
  bool WaitFor(int type, XEvent& event) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (std::chrono::steady_clock::now() < deadline && !(serving && stop.load())) {
      if (XCheckTypedWindowEvent(display, window, type, &event)) return true;
      pollfd wait = {ConnectionNumber(display), POLLIN, 0};
      poll(&wait, 1, 20);
    }
    return false;
  }

  void ServeRequests() {
    const Atom utf8 = Intern("UTF8_STRING"), textTarget = Intern("TEXT");
    while (!stop.load()) {
      XEvent event;
      if (!WaitFor(SelectionRequest, event)) continue;
      const XSelectionRequestEvent& request = event.xselectionrequest;
      XEvent reply{};
      reply.xselection.type = SelectionNotify;
      reply.xselection.requestor = request.requestor;
      reply.xselection.selection = request.selection;
      reply.xselection.target = request.target;
      reply.xselection.time = request.time;
      reply.xselection.property = None;
      if (request.target == XA_STRING || request.target == utf8 || request.target == textTarget) {
        XChangeProperty(display, request.requestor, request.property, servedType, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(served.data()),
                        static_cast<int>(served.size()));
        reply.xselection.property = request.property;
      }
      XSendEvent(display, request.requestor, False, 0, &reply);
      XSync(display, False);
      ++answered;
    }
  }

  Display* display;
  Window window = 0;
  Atom clipboard = None;
  std::string served;
  Atom servedType = None;
  std::thread server;
  std::atomic<bool> stop{false};
  // Set only while the server thread runs (it is the connection's only user then).
  bool serving = false;
  std::atomic<int> answered{0};
};

}  // namespace tovo::test
