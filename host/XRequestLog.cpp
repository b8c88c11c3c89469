// The after-request hook and the registry that finds the log of a connection from inside it.
#include "host/XRequestLog.h"

#include <X11/Xlib.h>

#include <cassert>

namespace {

// Xlib's hook has no data pointer, so a process-wide table maps each watched connection to its log.
std::mutex registryLock;
std::map<Display*, XRequestLog*>& registry() {
  static std::map<Display*, XRequestLog*> logs;
  return logs;
}

}  // namespace

void XRequestLog::attach(Display* display) {
  assert(!watched && display);
  {
    std::lock_guard<std::mutex> guard(registryLock);
    assert(registry().count(display) == 0);
    registry()[display] = this;
  }
  watched = display;
  previous = XSetAfterFunction(display, &XRequestLog::afterRequest);
}

void XRequestLog::detach() {
  if (!watched) return;
  XSetAfterFunction(watched, previous);
  std::lock_guard<std::mutex> guard(registryLock);
  registry().erase(watched);
  watched = nullptr;
}

std::map<std::thread::id, long> XRequestLog::requestsByThread() const {
  std::lock_guard<std::mutex> guard(lock);
  return counts;
}

// Runs on the thread that made the request, after Xlib let go of the connection's lock. The registry
// stays locked while recording, so a log cannot be detached and destroyed under the hook's feet.
int XRequestLog::afterRequest(Display* display) {
  int (*chained)(Display*) = nullptr;
  {
    std::lock_guard<std::mutex> guard(registryLock);
    const auto found = registry().find(display);
    if (found == registry().end()) return 0;
    found->second->record();
    chained = found->second->previous;
  }
  return chained ? chained(display) : 0;
}

void XRequestLog::record() {
  std::lock_guard<std::mutex> guard(lock);
  ++counts[std::this_thread::get_id()];
}
