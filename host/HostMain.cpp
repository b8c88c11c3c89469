// vantorine-host: loads a VST 2 plug-in, prints what a host sees, runs the actions given on the command
// line and prints the MIDI the plug-in sends, with the plug-in's editor in a window meanwhile if asked.
// Every failure ends with one line on stderr and a non-zero exit.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>

#include "bank/BankFile.h"
#include "bank/BankTextReader.h"
#include "host/CommandLine.h"
#include "host/EditorWindow.h"
#include "host/FxFile.h"
#include "host/PluginReport.h"
#include "host/VstHost.h"

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

struct Session {
  VstHost& host;
  bool realtime;
  EditorWindow* editor = nullptr;
  bool presetChunks = false;
  // With --realtime, when the next block is due; pacing restarts after a pause such as --sleep.
  std::chrono::steady_clock::time_point nextBlock = std::chrono::steady_clock::now();
};

// Returns how many events were printed.
size_t printEvents(Session& session) {
  const std::vector<ReceivedEvent> events = session.host.takeEvents();
  for (const ReceivedEvent& event : events)
    std::printf("%s\n", PluginReport::eventLine(event, session.realtime).c_str());
  std::fflush(stdout);
  return events.size();
}

void processBlocks(Session& session, VstInt32 count) {
  const HostSettings& settings = session.host.settings();
  const auto blockTime = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
      std::chrono::duration<double>(settings.blockSize / static_cast<double>(settings.sampleRate)));
  size_t sent = 0;
  for (VstInt32 i = 0; i < count; ++i) {
    if (session.realtime) {
      session.nextBlock = std::max(session.nextBlock, std::chrono::steady_clock::now());
      std::this_thread::sleep_until(session.nextBlock);
      session.nextBlock += blockTime;
    }
    session.host.processBlock();
    sent += printEvents(session);
  }
  // A quiet plug-in should still show that processing ran.
  if (sent == 0) std::printf("processed %d block(s): no MIDI sent\n", count);
}

// Returns the empty string on success, else a one-line reason.
std::string saveFx(VstHost& host, const std::string& path, FxKind kind) {
  FxContent content;
  content.kind = kind;
  content.fxId = host.effect()->uniqueID;
  content.fxVersion = host.effect()->version;
  content.numPrograms = kind == FxKind::Bank ? host.effect()->numPrograms : 1;
  content.currentProgram = static_cast<VstInt32>(host.dispatch(effGetProgram));
  content.programName = host.dispatchText(effGetProgramName);
  content.chunk = host.getChunk(kind == FxKind::Program);
  if (content.chunk.empty()) return "the plug-in gave no chunk to save";
  const std::string reason = FxFile::writeFile(path, FxFile::encode(content));
  if (reason.empty()) std::printf("saved %zu-byte chunk to %s\n", content.chunk.size(), path.c_str());
  return reason;
}

std::string loadFx(VstHost& host, const std::string& path, FxKind kind) {
  std::vector<uint8_t> bytes;
  std::string reason = FxFile::readFile(path, bytes);
  if (!reason.empty()) return reason;
  FxContent content;
  reason = FxFile::decode(bytes, kind, host.effect()->uniqueID, content);
  if (!reason.empty()) return path + ": " + reason;
  const VstIntPtr result = host.setChunk(content.chunk, kind == FxKind::Program);
  std::printf("loaded %zu-byte chunk from %s: effSetChunk returned %ld\n", content.chunk.size(), path.c_str(),
              static_cast<long>(result));
  return {};
}

// The bank in text form, to and from the plug-in's bank chunk.
std::string saveText(VstHost& host, const std::string& path) {
  using namespace vantorine::bank;
  auto bank = std::make_unique<PresetBank>();
  std::vector<std::string> errors;
  if (!BankFile::fromBytes(host.getChunk(false), "the plug-in's bank", *bank, errors)) return errors.front();
  const std::string reason = BankFile::save(path, *bank, BankFile::Form::Text);
  if (reason.empty()) std::printf("saved the bank as text to %s\n", path.c_str());
  return reason;
}

std::string loadText(VstHost& host, const std::string& path) {
  using namespace vantorine::bank;
  std::vector<uint8_t> bytes;
  std::string reason = FxFile::readFile(path, bytes);
  if (!reason.empty()) return reason;
  auto bank = std::make_unique<PresetBank>();
  std::vector<std::string> errors;
  if (!BankTextReader::read(std::string(bytes.begin(), bytes.end()), path, *bank, errors)) {
    for (size_t i = 1; i < errors.size(); ++i) errors[0] += "\n" + errors[i];
    return errors[0];
  }
  std::printf("loaded the bank from %s: effSetChunk returned %ld\n", path.c_str(),
              static_cast<long>(host.setChunk(BankBytes(*bank), false)));
  return {};
}

std::string runAction(Session& session, const HostAction& action) {
  VstHost& host = session.host;
  using Kind = HostAction::Kind;
  switch (action.kind) {
    case Kind::Program:
      host.setProgram(action.index);
      std::printf("program %d selected; current program %ld\n", action.index,
                  static_cast<long>(host.dispatch(effGetProgram)));
      break;
    case Kind::SetParam:
      host.setParameter(action.index, action.value);
      std::printf("parameter %d set to %g\n", action.index, action.value);
      break;
    case Kind::GetParam:
      std::printf("parameter %d = %g (%s)\n", action.index, host.getParameter(action.index),
                  PluginReport::shownValue(host, action.index).c_str());
      break;
    case Kind::Mains:
      host.mainsChanged(action.index != 0);
      std::printf("mains %s\n", action.index ? "on" : "off");
      break;
    case Kind::Process:
      processBlocks(session, action.index);
      break;
    case Kind::Midi:
      for (const auto& message : action.midi) host.queueMidi(message);
      std::printf("queued %zu MIDI message(s) for the next block\n", action.midi.size());
      break;
    case Kind::Sleep:
      std::this_thread::sleep_for(std::chrono::milliseconds(action.index));
      break;
    case Kind::PresetChunks:
      session.presetChunks = true;
      break;
    case Kind::BankChunks:
      session.presetChunks = false;
      break;
    case Kind::SaveChunk: {
      const std::vector<uint8_t> chunk = host.getChunk(session.presetChunks);
      if (chunk.empty()) return "the plug-in gave no chunk to save";
      const std::string reason = FxFile::writeFile(action.file, chunk);
      if (!reason.empty()) return reason;
      std::printf("saved %zu-byte %s chunk to %s\n", chunk.size(), session.presetChunks ? "preset" : "bank",
                  action.file.c_str());
      break;
    }
    case Kind::LoadChunk: {
      std::vector<uint8_t> chunk;
      const std::string reason = FxFile::readFile(action.file, chunk);
      if (!reason.empty()) return reason;
      std::printf("effSetChunk (%s, %zu bytes) returned %ld\n", session.presetChunks ? "preset" : "bank",
                  chunk.size(), static_cast<long>(host.setChunk(chunk, session.presetChunks)));
      break;
    }
    case Kind::SaveFxp:
      return saveFx(host, action.file, FxKind::Program);
    case Kind::LoadFxp:
      return loadFx(host, action.file, FxKind::Program);
    case Kind::SaveFxb:
      return saveFx(host, action.file, FxKind::Bank);
    case Kind::LoadFxb:
      return loadFx(host, action.file, FxKind::Bank);
    case Kind::SaveText:
      return saveText(host, action.file);
    case Kind::LoadText:
      return loadText(host, action.file);
    case Kind::Resend:
      host.resend();
      std::printf("resend requested\n");
      break;
    case Kind::Close:
      // The editor thread must be done with the instance before it goes.
      if (session.editor) session.editor->close();
      std::printf("effClose returned %ld\n", static_cast<long>(host.close()));
      break;
  }
  // Events sent from the plug-in's own threads in the meantime.
  printEvents(session);
  return {};
}

void runDemo(Session& session) {
  runAction(session, HostAction(HostAction::Kind::Mains, 1));
  runAction(session, HostAction(HostAction::Kind::Resend));
  runAction(session, HostAction(HostAction::Kind::Process, 2));
  // With an editor on screen the instance stays until the editor's time is up.
  if (!session.editor) runAction(session, HostAction(HostAction::Kind::Close));
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
  if (!host.load(line.pluginPath)) {
    std::fprintf(stderr, "vantorine-host: %s\n", host.error().c_str());
    return kExitFailure;
  }
  std::printf("loaded %s (entry point %s)\n", line.pluginPath.c_str(), host.library().entryName().c_str());
  if (!line.quiet) {
    PluginReport::printIdentity(host, stdout);
    PluginReport::printPrograms(host, stdout);
    PluginReport::printParameters(host, stdout);
  }
  std::fflush(stdout);

  // Declared after the host: it goes first, and takes the instance with it when it lent it our display.
  std::unique_ptr<EditorWindow> editor;
  if (line.editor) {
    const std::string reason = openEditor(line, host, editor);
    if (!reason.empty()) {
      std::fflush(stdout);
      std::fprintf(stderr, "vantorine-host: %s\n", reason.c_str());
      return kExitFailure;
    }
  }
  std::fflush(stdout);

  Session session{host, line.realtime, editor.get()};
  if (line.actions.empty()) {
    runDemo(session);
  } else {
    for (const HostAction& action : line.actions) {
      const std::string reason = runAction(session, action);
      if (!reason.empty()) {
        std::fflush(stdout);
        std::fprintf(stderr, "vantorine-host: %s\n", reason.c_str());
        return kExitFailure;
      }
    }
  }
  if (editor) {
    editor->waitUntilClosed();
    std::printf("editor closed after %ld idle call(s)\n", editor->idleCount());
    printEvents(session);
  }
  // Anything the plug-in sends while it is being closed is reported too.
  host.unload();
  printEvents(session);
  std::printf("unloaded\n");
  return 0;
}
