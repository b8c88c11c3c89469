// The toolkit lock, and the record of the host-connection requests made under it.
#include "gui/SToolkitLock.h"

#include <X11/Xlib.h>

#include <array>

#include "gui/XDisplay.h"

namespace tovo::gui {

namespace {

std::recursive_mutex toolkitMutex;
thread_local int depth = 0;

// The serials [first, last] that recent toolkit sections used on the host's connection. Errors come back
// asynchronously, a few requests late at most, so a short history is enough.
struct SerialRange {
  unsigned long first;
  unsigned long last;
};
constexpr size_t kRanges = 32;
std::mutex rangeMutex;
std::array<SerialRange, kRanges> ranges{};
size_t nextRange = 0;
thread_local unsigned long sectionStart = 0;
thread_local Display* sectionDisplay = nullptr;

// The serial the next request on the connection will get. Read on the thread that makes the requests.
unsigned long NextSerial(Display* display) { return NextRequest(display); }

}  // namespace

SToolkitLock::SToolkitLock() {
  toolkitMutex.lock();
  owns = true;
  Entered();
}

SToolkitLock::SToolkitLock(std::try_to_lock_t) {
  owns = toolkitMutex.try_lock();
  if (owns) Entered();
}

SToolkitLock::~SToolkitLock() {
  if (!owns) return;
  Leaving();
  toolkitMutex.unlock();
}

bool SToolkitLock::HeldHere() { return depth > 0; }

void SToolkitLock::Entered() {
  if (depth++ > 0) return;
  sectionDisplay = dp;
  if (sectionDisplay) sectionStart = NextSerial(sectionDisplay);
}

void SToolkitLock::Leaving() {
  if (--depth > 0 || !sectionDisplay) return;
  const unsigned long end = NextSerial(sectionDisplay);
  if (end > sectionStart) {
    std::lock_guard<std::mutex> guard(rangeMutex);
    ranges[nextRange] = {sectionStart, end - 1};
    nextRange = (nextRange + 1) % kRanges;
  }
  sectionDisplay = nullptr;
}

bool SToolkitLock::MadeByToolkit(Display* display, unsigned long serial) {
  if (!display || display != dp) return false;
  // A request of the section still running on this thread (the handler runs on the thread that reads the
  // error, which for a reply is the thread that made the request).
  if (depth > 0 && sectionDisplay == display && serial >= sectionStart) return true;
  std::lock_guard<std::mutex> guard(rangeMutex);
  for (const SerialRange& range : ranges)
    if (range.last != 0 && serial >= range.first && serial <= range.last) return true;
  return false;
}

}  // namespace tovo::gui
