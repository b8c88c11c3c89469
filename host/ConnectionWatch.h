// The ports newly connected to our MIDI output, so that a sound module switched on late, or an interface
// plugged in after the start, gets the preset it missed. JACK says only that some connection was made
// or undone somewhere, and the graph it is in may not be the one a client reads yet: once told, the watch
// compares the output's connections with those it knew for a while, so that a port unplugged and plugged
// in again is new again. A burst of connections, as a patchbay restoring its patches makes, is taken as one
// once it has been quiet for a moment.
#pragma once

#include <chrono>
#include <string>
#include <vector>

class ConnectionWatch {
 public:
  using Clock = std::chrono::steady_clock;

  // The connections there at the start are not new: the start-up send is theirs.
  void start(std::vector<std::string> connected);
  // A connection was made or undone somewhere in the graph at `now`.
  void noticed(Clock::time_point now);
  // Whether the output's connections are worth reading at `now`.
  bool looking(Clock::time_point now) const;
  // The output's connections at `now`.
  void seen(std::vector<std::string> connected, Clock::time_point now);
  // The ports newly connected and still there, once their burst has settled; empty until then, and after.
  std::vector<std::string> takeSettled(Clock::time_point now);

 private:
  std::vector<std::string> known;
  std::vector<std::string> fresh;
  Clock::time_point lookUntil;
  Clock::time_point lastFresh;
};
