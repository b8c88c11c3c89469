// Why the plug-in sends, as one line printed before the first message of each send: "send of preset 3
// (Song B): resend". The plug-in does not say, so the host goes by what it knows: what it asked for itself
// (a resend, for a cause of its own such as a new connection, and a preset), the banks it put in (whose
// Init-Send makes the start-up send, once per instance, after the init delay), and what it sees change
// without asking: the editor's resend button (an automation call of the resend parameter) and a preset
// that changed, through an incoming Program Change when one was passed to the plug-in since the last look,
// else from the editor. Each cause is expected to bring a send once the delay the bank's options give it
// has passed (none when its option is off); the first message the plug-in sends once a cause is due begins
// that cause's send, and the messages after it belong to it until the next cause is due. The options are
// read from the plug-in's bank through bank/: a plug-in whose bank it cannot read sends at once.
//
// Every call may call into the plug-in: they must take turns with the caller's other calls into it.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "host/VstHost.h"

class SendReasons {
 public:
  using Clock = std::chrono::steady_clock;

  explicit SendReasons(VstHost& plugin) : host(plugin) {}

  // Before the host asks for a resend; `why` is the cause its line gives, "resend" when it was asked for.
  void resendAsked(const std::string& why);
  // After the host selected a preset.
  void presetSelected();
  // After a bank went into the plug-in at `when`.
  void bankLoaded(Clock::time_point when = Clock::now());
  // Notices the causes the host did not ask for; `programChangesIn` counts the Program Changes passed to the
  // plug-in so far.
  void look(uint64_t programChangesIn);
  // The line to print before a message the plug-in sent: why its send happened when it is the first
  // message of a send that is due, else empty.
  std::string lineBefore(const uint8_t* bytes, size_t size);

 private:
  struct Cause {
    std::string why;
    Clock::time_point due;
    // The preset it sends; -1 for the one current when it does (the start-up send's).
    VstInt32 preset;
  };
  void presetChanged(const char* how);
  VstInt32 currentPreset();

  VstHost& host;
  std::vector<Cause> causes;
  VstInt32 knownPreset = -1;
  size_t automationSeen = 0;
  uint64_t programChangesSeen = 0;
  bool startUpExpected = false;
  // The plug-in takes a preset selected right after a bank went in as the end of a restore, as when a DAW
  // opens a project, not as a change to send.
  bool restoring = false;
};
