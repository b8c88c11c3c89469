// vantorine-host: loads a VST 2 plug-in, prints its bank's presets in use (or, asked to, all a host sees),
// runs the actions given on the command line and prints the MIDI the plug-in sends, each send after why it
// happened, with the plug-in's editor in a window meanwhile if asked;
// with --jack it runs the plug-in in a JACK client instead of driving the blocks itself. Every failure
// ends with one line on stderr and a non-zero exit.
#include <cstdio>
#include <memory>
#include <optional>

#include "host/ActionRunner.h"
#include "host/BankOverview.h"
#include "host/CommandLine.h"
#include "host/EditorWindow.h"
#include "host/JackClient.h"
#include "host/JackSession.h"
#include "host/PluginReport.h"
#include "host/StateFile.h"
#include "host/VstHost.h"

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

int fail(const std::string& reason) {
  std::fflush(stdout);
  std::fprintf(stderr, "vantorine-host: %s\n", reason.c_str());
  return kExitFailure;
}

// The server decides rate and block size, so the client is opened before loading; the bank of the state file
// goes in before the plug-in is resumed and processing starts, as when a DAW opens a project. `loaded` is set
// when it did.
std::string prepareJack(VstHost& host, StateFile* state, bool quiet,
                        std::optional<SendReasons::Clock::time_point>& loaded) {
  bool found = false;
  if (state) {
    const std::string reason = state->load(host, found);
    if (!reason.empty()) return reason;
    if (found) {
      loaded = SendReasons::Clock::now();
      std::printf("state loaded from %s (preset %ld)\n", state->path().c_str(),
                  static_cast<long>(host.dispatch(effGetProgram)) + 1);
    } else {
      std::printf("no state file %s yet: starting with the plug-in's own state\n", state->path().c_str());
    }
  }
  if (!quiet) BankOverview::print(host, found ? "bank " + state->path() : "the plug-in's own bank", stdout);
  host.mainsChanged(true);
  return {};
}

// Returns the empty string on success, else a one-line reason.
std::string openEditor(const CommandLine& line, VstHost& host, std::unique_ptr<EditorWindow>& editor) {
  EditorWindow::Options options;
  options.mode = line.editorPassesDisplay ? EditorWindow::Mode::HostDisplay : EditorWindow::Mode::NoDisplay;
  editor = std::make_unique<EditorWindow>(host, options);
  if (!editor->ready()) return editor->error();
  const VstIntPtr opened = editor->open(line.editorSeconds);
  std::printf("editor opened (%s mode, window 0x%lx): effEditOpen returned %ld\n",
              line.editorPassesDisplay ? "display" : "nodisplay", editor->hostWindow(),
              static_cast<long>(opened));
  if (!opened) return "the plug-in did not open its editor";
  return {};
}

}  // namespace

int main(int argc, char** argv) {
  CommandLine line;
  const std::string usageError = line.parse(argc, argv);
  if (line.help) {
    std::fputs(CommandLine::usage(), stdout);
    return 0;
  }
  if (!usageError.empty()) {
    std::fprintf(stderr, "vantorine-host: %s\n", usageError.c_str());
    return kExitUsage;
  }

  VstHost host(line.settings);
  std::unique_ptr<JackClient> jack;
  if (line.jack) {
    JackSession::catchSignals();
    jack = std::make_unique<JackClient>(host);
    const std::string reason = jack->open(line.jackName, line.jackServer);
    if (!reason.empty()) return fail(reason);
    host.settings().sampleRate = static_cast<float>(jack->sampleRate());
    host.settings().blockSize = static_cast<VstInt32>(jack->bufferSize());
  }
  if (!host.load(line.pluginPath)) return fail(host.error());
  std::printf("loaded %s (entry point %s)\n", line.pluginPath.c_str(), host.library().entryName().c_str());
  if (line.list) {
    PluginReport::printIdentity(host, stdout);
    PluginReport::printPrograms(host, stdout);
    PluginReport::printParameters(host, stdout);
  }
  std::unique_ptr<StateFile> state;
  if (!line.stateFile.empty()) state = std::make_unique<StateFile>(line.stateFile);
  std::optional<SendReasons::Clock::time_point> stateLoaded;
  if (jack) {
    const std::string reason = prepareJack(host, state.get(), line.quiet, stateLoaded);
    if (!reason.empty()) return fail(reason);
  } else if (!line.quiet) {
    BankOverview::print(host, "the plug-in's own bank", stdout);
  }
  std::fflush(stdout);

  // Declared after the host: it goes first, and takes the instance with it when it lent it our display.
  std::unique_ptr<EditorWindow> editor;
  if (line.editor) {
    const std::string reason = openEditor(line, host, editor);
    if (!reason.empty()) return fail(reason);
  }
  std::fflush(stdout);

  int exitCode = 0;
  if (jack) {
    JackSession session(line, host, *jack, state.get(), editor.get());
    if (stateLoaded) session.stateLoadedAt(*stateLoaded);
    exitCode = session.run();
  } else {
    ActionRunner actions(host, line.realtime, editor.get());
    actions.describeBanks = !line.quiet;
    if (line.actions.empty()) {
      actions.runDemo();
    } else {
      for (const HostAction& action : line.actions) {
        const std::string reason = actions.run(action);
        if (!reason.empty()) return fail(reason);
      }
    }
    if (editor) {
      editor->waitUntilClosed();
      std::printf("editor closed after %ld idle call(s)\n", editor->idleCount());
      actions.printEvents();
    }
  }
  // The JACK client's threads end with it: a buffer-size notice that came in as the session ended must
  // not still be calling into the plug-in while it is closed and unloaded.
  jack.reset();
  // Anything the plug-in sends while it is being closed is reported too.
  host.unload();
  ActionRunner(host, line.realtime, nullptr).printEvents();
  std::printf("unloaded\n");
  return exitCode;
}
