// Runs the host program's actions on a loaded plug-in, one at a time and in the order given, printing
// what each did and the MIDI the plug-in sent meanwhile. Without a JACK client the runner also drives
// processing; with one, queued MIDI goes to the client's next cycle instead.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "host/CommandLine.h"
#include "host/ProgramChangeNames.h"
#include "host/SendReasons.h"
#include "host/VstHost.h"
#include "vst/FxFile.h"

class EditorWindow;

class ActionRunner {
 public:
  ActionRunner(VstHost& plugin, bool paced, EditorWindow* window);

  // Returns the empty string on success, else a one-line reason.
  std::string run(const HostAction& action);
  // Asks the plug-in to send its current preset now, as --resend does; `why` is the cause printed before the
  // send.
  void resend(const std::string& why);
  // Identity, mains on, a resend request, two blocks, close (unless an editor is open).
  void runDemo();
  // Prints the events the host collected (those sent outside a JACK cycle), each send after the line that
  // says why it happened; returns how many.
  size_t printEvents();
  SendReasons& sendReasons() { return reasons; }

  // When set, --midi messages go here instead of the next block; false means no room for one.
  std::function<bool(const std::vector<uint8_t>&)> midiRoute;
  // How many Program Changes reached the plug-in so far; by default those the --midi actions queued.
  std::function<uint64_t()> programChangesIn;
  // Whether a bank that an action loads is described (BankOverview).
  bool describeBanks = false;

 private:
  void processBlocks(VstInt32 count);
  std::string saveFx(const std::string& path, FxKind kind);
  std::string loadFx(const std::string& path, FxKind kind);
  std::string saveText(const std::string& path);
  std::string loadText(const std::string& path);
  // After the plug-in took a bank or preset from `path`.
  void loaded(const std::string& path, bool bank);

  VstHost& host;
  bool realtime;
  EditorWindow* editor;
  ProgramChangeNames soundNames;
  SendReasons reasons;
  uint64_t programChangesQueued = 0;
  bool presetChunks = false;
  // With --realtime, when the next block is due; pacing restarts after a pause such as --sleep.
  std::chrono::steady_clock::time_point nextBlock = std::chrono::steady_clock::now();
};
