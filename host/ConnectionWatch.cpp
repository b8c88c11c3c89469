// New connections to our MIDI output, one burst at a time.
#include "host/ConnectionWatch.h"

#include <algorithm>

namespace {

// How long after JACK's word the connections are read: the server takes a new graph up within a cycle or
// two, far less than this even at the longest periods.
constexpr auto kLookTime = std::chrono::seconds(1);
// The quiet that ends a burst. A patchbay or a script makes its connections within a few milliseconds of
// each other; a module still needs them all before it takes a preset.
constexpr auto kSettleTime = std::chrono::milliseconds(300);

bool Has(const std::vector<std::string>& ports, const std::string& port) {
  return std::find(ports.begin(), ports.end(), port) != ports.end();
}

}  // namespace

void ConnectionWatch::start(std::vector<std::string> connected) { known = std::move(connected); }

void ConnectionWatch::noticed(Clock::time_point now) { lookUntil = now + kLookTime; }

bool ConnectionWatch::looking(Clock::time_point now) const { return now < lookUntil; }

void ConnectionWatch::seen(std::vector<std::string> connected, Clock::time_point now) {
  for (const std::string& port : connected)
    if (!Has(known, port) && !Has(fresh, port)) {
      fresh.push_back(port);
      lastFresh = now;
    }
  // A port connected and gone again within the burst has nothing left to send to.
  fresh.erase(std::remove_if(fresh.begin(), fresh.end(),
                             [&](const std::string& port) { return !Has(connected, port); }),
              fresh.end());
  known = std::move(connected);
}

std::vector<std::string> ConnectionWatch::takeSettled(Clock::time_point now) {
  if (fresh.empty() || now < lastFresh + kSettleTime) return {};
  std::vector<std::string> settled;
  settled.swap(fresh);
  return settled;
}
