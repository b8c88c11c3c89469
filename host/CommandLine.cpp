// Parsing of vantorine-host's options; numbers are read strictly so that a typo is an error, not a 0.
#include "host/CommandLine.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

bool readInt(const std::string& text, long low, long high, VstInt32& out) {
  if (text.empty()) return false;
  errno = 0;
  char* rest = nullptr;
  const long value = std::strtol(text.c_str(), &rest, 10);
  if (errno != 0 || *rest != '\0' || value < low || value > high) return false;
  out = static_cast<VstInt32>(value);
  return true;
}

bool readFloat(const std::string& text, float& out) {
  if (text.empty()) return false;
  char* rest = nullptr;
  const float value = std::strtof(text.c_str(), &rest);
  if (*rest != '\0' || !std::isfinite(value)) return false;
  out = value;
  return true;
}

}  // namespace

const char* CommandLine::usage() {
  return "usage: vantorine-host [options] PLUGIN.so [actions...]\n"
         "\n"
         "Loads a VST 2 plug-in, prints its bank (its name and the presets in use) and runs the actions\n"
         "in order, printing the MIDI the plug-in sends, each send after a line saying why it happened.\n"
         "Without actions it runs a demo: mains on, a resend request, two blocks, close. Presets are\n"
         "counted from 1, as in the bank's text form and the editor.\n"
         "\n"
         "Host options (anywhere on the line, applied before loading):\n"
         "  --host-version N         answer N to the version request (0 makes a plug-in refuse)\n"
         "  --host-vendor TEXT       host vendor string (default velkaro)\n"
         "  --host-product TEXT      host product string (default vantorine-host)\n"
         "  --host-vendor-version N  host vendor version (default 106)\n"
         "  --host-no-strings        leave vendor and product requests unanswered\n"
         "  --host-can TEXT          answer 1 when asked canDo TEXT\n"
         "  --host-cannot TEXT       answer 0 when asked canDo TEXT (e.g. sizeWindow)\n"
         "  --block-size N           frames per processing block (default 512)\n"
         "  --sample-rate HZ         sample rate (default 44100)\n"
         "  --realtime               pace blocks at the wall-clock rate; events show seconds since start\n"
         "  --list                   print the plug-in's identity, all its presets and parameters\n"
         "  --quiet                  print neither those nor the bank's presets in use, only what the\n"
         "                           actions do and the MIDI sent\n"
         "  --help                   this text\n"
         "\n"
         "Editor (opened after loading, on a thread of its own, while the actions run):\n"
         "  --editor SECONDS         show the plug-in's editor in a window of ours for SECONDS\n"
         "                           (0: until the window is closed); unloading waits for it\n"
         "  --editor-mode MODE       display (default): pass our X display and call the editor's\n"
         "                           \"_XEventProc\"; nodisplay: pass 0, the plug-in reads its own\n"
         "  --no-size-window         answer 0 to canDo sizeWindow (as --host-cannot sizeWindow)\n"
         "\n"
         "JACK (vantorine-host --jack [options] PLUGIN.so [actions...]):\n"
         "  --jack                   run the plug-in in a JACK client with ports midi_in, midi_out,\n"
         "                           in_1, in_2, out_1, out_2; the server sets rate and block size,\n"
         "                           the actions run once it is active and MIDI sent is printed\n"
         "  --jack-name NAME         client name (default vantorine)\n"
         "  --jack-server NAME       server name (default: from the JACK environment)\n"
         "  --connect A=B            connect two ports once active, ours by their short names\n"
         "                           (--connect midi_out=system:midi_playback_1); repeatable\n"
         "  --run SECONDS            stop after SECONDS (default: at SIGINT, SIGTERM or when the\n"
         "                           editor window is closed)\n"
         "  --state FILE             load the bank in FILE (if it exists) before starting, and keep the\n"
         "                           bank and current preset saved in it while running, once after each\n"
         "                           burst of changes; FILE is the bank's text form (TOML) when its\n"
         "                           name ends in .toml, else a bank file (.fxb); either form loads\n"
         "  --no-resend-on-connect   do not resend the current preset when another port is connected\n"
         "                           to midi_out after the start (a module or an interface that came\n"
         "                           late, connected by a patchbay, jack_connect or the server)\n"
         "  SIGUSR1 resends the current preset, for scripts and udev rules.\n"
         "  With --jack, --sleep waits in real time while the client runs, and --process, --mains,\n"
         "  --close, --realtime, --block-size and --sample-rate do not apply.\n"
         "\n"
         "Actions:\n"
         "  --program N              select preset N, 1 for the first (effSetProgram N-1)\n"
         "  --param I=V              setParameter(I, V)\n"
         "  --get-param I            print getParameter(I) with its display and label\n"
         "  --mains 0|1              effMainsChanged: suspend or resume\n"
         "  --process N              run N processing blocks and print the MIDI the plug-in sends\n"
         "  --midi \"90 3C 64\"        queue MIDI bytes (hex) for the next block\n"
         "  --sleep MS               wait MS milliseconds, then print MIDI sent meanwhile\n"
         "  --preset                 following --save-chunk/--load-chunk use one preset (index 1)\n"
         "  --bank                   following --save-chunk/--load-chunk use the bank (index 0, default)\n"
         "  --save-chunk FILE        write the raw chunk (effGetChunk) to FILE\n"
         "  --load-chunk FILE        hand FILE's bytes to effSetChunk\n"
         "  --save-fxp FILE          write the current preset as a .fxp file\n"
         "  --load-fxp FILE          check and load a .fxp file\n"
         "  --save-fxb FILE          write the bank as a .fxb file\n"
         "  --load-fxb FILE          check and load a .fxb file\n"
         "  --save-text FILE         write the bank in its text form (TOML)\n"
         "  --load-text FILE         check a bank in text form and load it as the bank chunk\n"
         "  --resend                 setParameter(0, 1) then (0, 0): send the current preset now\n"
         "  --close                  effClose; no action may follow\n";
}

std::string CommandLine::parse(int argc, char** argv) {
  std::vector<std::string> given;
  for (int i = 1; i < argc; ++i) {
    const std::string option = argv[i];
    given.push_back(option);
    // Options that take a value read it from the next word.
    auto value = [&](std::string& out) {
      if (i + 1 >= argc) return false;
      out = argv[++i];
      return true;
    };
    auto action = [&](HostAction::Kind kind) -> HostAction& {
      actions.emplace_back(kind);
      return actions.back();
    };
    std::string arg;
    const bool takesValue =
        option == "--host-version" || option == "--host-vendor" || option == "--host-product" ||
        option == "--host-vendor-version" || option == "--host-can" || option == "--host-cannot" ||
        option == "--block-size" || option == "--sample-rate" || option == "--program" ||
        option == "--param" || option == "--get-param" || option == "--mains" || option == "--process" ||
        option == "--midi" || option == "--sleep" || option == "--save-chunk" || option == "--load-chunk" ||
        option == "--save-fxp" || option == "--load-fxp" || option == "--save-fxb" ||
        option == "--load-fxb" || option == "--editor" || option == "--editor-mode" ||
        option == "--save-text" || option == "--load-text" || option == "--jack-name" || option == "--jack-server" ||
        option == "--connect" || option == "--run" || option == "--state";
    if (takesValue && !value(arg)) return option + " needs a value";
    const std::string bad = "bad value for " + option + ": '" + arg + "'";

    VstInt32 number = 0;
    if (option == "--help" || option == "-h") {
      help = true;
    } else if (option == "--host-version") {
      if (!readInt(arg, 0, 1000000, number)) return bad;
      settings.version = number;
    } else if (option == "--host-vendor") {
      settings.vendor = arg;
    } else if (option == "--host-product") {
      settings.product = arg;
    } else if (option == "--host-vendor-version") {
      if (!readInt(arg, 0, INT32_MAX, number)) return bad;
      settings.vendorVersion = number;
    } else if (option == "--host-no-strings") {
      settings.answerStrings = false;
    } else if (option == "--host-can") {
      settings.canDo.insert(arg);
    } else if (option == "--host-cannot") {
      settings.canDo.erase(arg);
    } else if (option == "--no-size-window") {
      settings.canDo.erase("sizeWindow");
    } else if (option == "--editor") {
      float seconds = 0.0f;
      if (!readFloat(arg, seconds) || seconds < 0.0f || seconds > 86400.0f) return bad;
      editor = true;
      editorSeconds = seconds;
    } else if (option == "--editor-mode") {
      if (arg != "display" && arg != "nodisplay") return bad + " (expected display or nodisplay)";
      editorPassesDisplay = arg == "display";
    } else if (option == "--jack") {
      jack = true;
    } else if (option == "--jack-name") {
      if (arg.empty() || arg.find(':') != std::string::npos) return bad + " (a client name has no ':')";
      jackName = arg;
    } else if (option == "--jack-server") {
      if (arg.empty()) return bad;
      jackServer = arg;
    } else if (option == "--connect") {
      const size_t equals = arg.find('=');
      if (equals == 0 || equals == std::string::npos || equals + 1 == arg.size())
        return bad + " (expected PORT=PORT)";
      connections.emplace_back(arg.substr(0, equals), arg.substr(equals + 1));
    } else if (option == "--run") {
      float seconds = 0.0f;
      if (!readFloat(arg, seconds) || seconds < 0.0f || seconds > 31.0e6f) return bad;
      runSeconds = seconds;
    } else if (option == "--no-resend-on-connect") {
      resendOnConnect = false;
    } else if (option == "--state") {
      if (arg.empty()) return bad;
      stateFile = arg;
    } else if (option == "--block-size") {
      if (!readInt(arg, 1, 65536, settings.blockSize)) return bad;
    } else if (option == "--sample-rate") {
      if (!readFloat(arg, settings.sampleRate) || settings.sampleRate < 1000.0f ||
          settings.sampleRate > 768000.0f)
        return bad;
    } else if (option == "--realtime") {
      realtime = true;
    } else if (option == "--quiet") {
      quiet = true;
    } else if (option == "--list") {
      list = true;
    } else if (option == "--program") {
      VstInt32& program = action(HostAction::Kind::Program).index;
      if (!readInt(arg, 1, INT32_MAX, program)) return bad + " (presets are counted from 1)";
      program -= 1;
    } else if (option == "--param") {
      const size_t equals = arg.find('=');
      HostAction& set = action(HostAction::Kind::SetParam);
      if (equals == std::string::npos || !readInt(arg.substr(0, equals), 0, INT32_MAX, set.index) ||
          !readFloat(arg.substr(equals + 1), set.value))
        return bad + " (expected INDEX=VALUE)";
    } else if (option == "--get-param") {
      if (!readInt(arg, 0, INT32_MAX, action(HostAction::Kind::GetParam).index)) return bad;
    } else if (option == "--mains") {
      if (!readInt(arg, 0, 1, action(HostAction::Kind::Mains).index)) return bad;
    } else if (option == "--process") {
      if (!readInt(arg, 0, 10000000, action(HostAction::Kind::Process).index)) return bad;
    } else if (option == "--midi") {
      const std::string reason = MidiText::parse(arg, action(HostAction::Kind::Midi).midi);
      if (!reason.empty()) return bad + ": " + reason;
    } else if (option == "--sleep") {
      if (!readInt(arg, 0, 3600000, action(HostAction::Kind::Sleep).index)) return bad;
    } else if (option == "--preset") {
      action(HostAction::Kind::PresetChunks);
    } else if (option == "--bank") {
      action(HostAction::Kind::BankChunks);
    } else if (option == "--save-chunk") {
      action(HostAction::Kind::SaveChunk).file = arg;
    } else if (option == "--load-chunk") {
      action(HostAction::Kind::LoadChunk).file = arg;
    } else if (option == "--save-fxp") {
      action(HostAction::Kind::SaveFxp).file = arg;
    } else if (option == "--load-fxp") {
      action(HostAction::Kind::LoadFxp).file = arg;
    } else if (option == "--save-fxb") {
      action(HostAction::Kind::SaveFxb).file = arg;
    } else if (option == "--load-fxb") {
      action(HostAction::Kind::LoadFxb).file = arg;
    } else if (option == "--save-text") {
      action(HostAction::Kind::SaveText).file = arg;
    } else if (option == "--load-text") {
      action(HostAction::Kind::LoadText).file = arg;
    } else if (option == "--resend") {
      action(HostAction::Kind::Resend);
    } else if (option == "--close") {
      action(HostAction::Kind::Close);
    } else if (option.size() > 1 && option[0] == '-') {
      return "unknown option " + option + " (see --help)";
    } else if (pluginPath.empty()) {
      pluginPath = option;
    } else {
      return "more than one plug-in file given: " + pluginPath + " and " + option;
    }
  }
  if (help) return {};
  if (pluginPath.empty()) return "no plug-in file given (see --help)";
  for (size_t i = 0; i + 1 < actions.size(); ++i)
    if (actions[i].kind == HostAction::Kind::Close) return "--close must be the last action";
  return checkJackOptions(given);
}

std::string CommandLine::checkJackOptions(const std::vector<std::string>& given) const {
  static const char* const jackOnly[] = {"--jack-name", "--jack-server", "--connect", "--run", "--state",
                                         "--no-resend-on-connect"};
  // JACK runs the cycles at the server's rate and size, and the plug-in stays open until the end.
  static const char* const withoutJack[] = {"--process", "--mains", "--close", "--realtime", "--block-size",
                                            "--sample-rate"};
  for (const std::string& option : given) {
    if (!jack)
      for (const char* name : jackOnly)
        if (option == name) return option + " needs --jack";
    if (jack)
      for (const char* name : withoutJack)
        if (option == name) return option + " does not apply with --jack: the JACK server runs the cycles";
  }
  return {};
}
