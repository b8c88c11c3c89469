// The command line of vantorine-host: how the host should present itself, which plug-in to load, and
// the actions to run on it in the order given.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "host/MidiText.h"
#include "host/VstHost.h"

struct HostAction {
  enum class Kind {
    Program,
    SetParam,
    GetParam,
    Mains,
    Process,
    Midi,
    Sleep,
    PresetChunks,
    BankChunks,
    SaveChunk,
    LoadChunk,
    SaveFxp,
    LoadFxp,
    SaveFxb,
    LoadFxb,
    SaveText,
    LoadText,
    Resend,
    Close,
  };
  explicit HostAction(Kind what, VstInt32 number = 0) : kind(what), index(number) {}
  Kind kind;
  // Program (from 0, as effSetProgram counts), parameter, block count, mains state or milliseconds.
  VstInt32 index;
  float value = 0.0f;
  std::string file;
  std::vector<std::vector<uint8_t>> midi;
};

class CommandLine {
 public:
  // Fills the fields from argv. Returns the empty string on success, else a one-line reason.
  std::string parse(int argc, char** argv);
  static const char* usage();

  HostSettings settings;
  std::string pluginPath;
  bool realtime = false;
  bool quiet = false;
  // --list: the plug-in's identity, all its programs and parameters before anything else.
  bool list = false;
  bool help = false;
  // --editor: open the plug-in's editor in a window of ours for editorSeconds (0: until it is closed).
  bool editor = false;
  double editorSeconds = 0;
  // --editor-mode: pass our X display with effEditOpen and call the plug-in's "_XEventProc" (display),
  // or pass 0 and leave the plug-in to its own connection (nodisplay).
  bool editorPassesDisplay = true;
  std::vector<HostAction> actions;

  // --jack: run the plug-in inside a JACK client until --run's time is up, a signal or the editor closes.
  bool jack = false;
  std::string jackName = "vantorine";
  std::string jackServer;  // Empty: the server the JACK environment names.
  std::vector<std::pair<std::string, std::string>> connections;
  double runSeconds = -1;  // Negative: no time limit.
  std::string stateFile;
  // Resend the current preset when a port is newly connected to midi_out, as a module switched on late is.
  bool resendOnConnect = true;

 private:
  // Options that make sense with --jack only, or without it only; "" when the line is consistent.
  std::string checkJackOptions(const std::vector<std::string>& given) const;
};
