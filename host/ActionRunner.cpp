// The host program's actions, and the blocks and files they drive.
#include "host/ActionRunner.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <thread>

#include "bank/BankFile.h"
#include "bank/BankTextReader.h"
#include "host/BankOverview.h"
#include "host/EditorWindow.h"
#include "host/FxCapture.h"
#include "host/PluginReport.h"

ActionRunner::ActionRunner(VstHost& plugin, bool paced, EditorWindow* window)
    : host(plugin),
      realtime(paced),
      editor(window),
      soundNames([this] {
        return ProgramChangeNames::PluginBank{host.getChunk(false),
                                              static_cast<int>(host.dispatch(effGetProgram))};
      }),
      reasons(plugin) {
  programChangesIn = [this] { return programChangesQueued; };
}

// Returns how many events were printed.
size_t ActionRunner::printEvents() {
  const std::vector<ReceivedEvent> events = host.takeEvents();
  if (!events.empty()) reasons.look(programChangesIn());
  for (const ReceivedEvent& event : events) {
    const bool midi = event.event.type == kVstMidiType;
    // A System Exclusive the host refused was still the plug-in's, and may begin a send.
    static const uint8_t kSysexStart = 0xF0;
    const std::string why = midi                                ? reasons.lineBefore(event.bytes(), 3)
                            : event.event.type == kVstSysExType ? reasons.lineBefore(&kSysexStart, 1)
                                                                : std::string();
    if (!why.empty()) std::printf("%s\n", why.c_str());
    const std::string names = midi ? soundNames.of(event.bytes(), 2) : "";
    std::printf("%s%s\n", PluginReport::eventLine(event, realtime).c_str(), names.c_str());
  }
  std::fflush(stdout);
  return events.size();
}

void ActionRunner::processBlocks(VstInt32 count) {
  const HostSettings& settings = host.settings();
  const auto blockTime = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
      std::chrono::duration<double>(settings.blockSize / static_cast<double>(settings.sampleRate)));
  size_t sent = 0;
  for (VstInt32 i = 0; i < count; ++i) {
    if (realtime) {
      nextBlock = std::max(nextBlock, std::chrono::steady_clock::now());
      std::this_thread::sleep_until(nextBlock);
      nextBlock += blockTime;
    }
    host.processBlock();
    sent += printEvents();
  }
  // A quiet plug-in should still show that processing ran.
  if (sent == 0) std::printf("processed %d block(s): no MIDI sent\n", count);
}

std::string ActionRunner::saveFx(const std::string& path, FxKind kind) {
  const FxContent content = CaptureFx(host, kind);
  if (content.chunk.empty()) return "the plug-in gave no chunk to save";
  const std::string reason = FxFile::writeFile(path, FxFile::encode(content));
  if (reason.empty()) std::printf("saved %zu-byte chunk to %s\n", content.chunk.size(), path.c_str());
  return reason;
}

std::string ActionRunner::loadFx(const std::string& path, FxKind kind) {
  std::vector<uint8_t> bytes;
  std::string reason = FxFile::readFile(path, bytes);
  if (!reason.empty()) return reason;
  FxContent content;
  reason = FxFile::decode(bytes, kind, host.effect()->uniqueID, content);
  if (!reason.empty()) return path + ": " + reason;
  const VstIntPtr result = host.setChunk(content.chunk, kind == FxKind::Program);
  std::printf("loaded %zu-byte chunk from %s: effSetChunk returned %ld\n", content.chunk.size(), path.c_str(),
              static_cast<long>(result));
  if (result == 1) loaded(path, kind == FxKind::Bank);
  return {};
}

void ActionRunner::loaded(const std::string& path, bool bank) {
  reasons.bankLoaded();
  if (bank && describeBanks) BankOverview::print(host, "bank " + path, stdout);
}

// The bank in text form, to and from the plug-in's bank chunk.
std::string ActionRunner::saveText(const std::string& path) {
  using namespace vantorine::bank;
  auto bank = std::make_unique<PresetBank>();
  std::vector<std::string> errors;
  if (!BankFile::fromChunk(host.getChunk(false), "the plug-in's bank", *bank, errors)) return errors.front();
  const auto current = static_cast<int32_t>(host.dispatch(effGetProgram));
  const std::string reason = BankFile::save(path, *bank, BankFile::Form::Text, current);
  if (reason.empty()) std::printf("saved the bank as text to %s\n", path.c_str());
  return reason;
}

std::string ActionRunner::loadText(const std::string& path) {
  using namespace vantorine::bank;
  std::vector<uint8_t> bytes;
  std::string reason = FxFile::readFile(path, bytes, BankTextReader::kMaxBytes + 1);
  if (!reason.empty()) return reason;
  auto bank = std::make_unique<PresetBank>();
  std::vector<std::string> errors;
  if (!BankTextReader::read(std::string(bytes.begin(), bytes.end()), path, *bank, errors, nullptr, nullptr,
                            BankTextReader::SyxNames::BesideFile)) {
    for (size_t i = 1; i < errors.size(); ++i) errors[0] += "\n" + errors[i];
    return errors[0];
  }
  const VstIntPtr result = host.setChunk(BankBytes(*bank), false);
  std::printf("loaded the bank from %s: effSetChunk returned %ld\n", path.c_str(), static_cast<long>(result));
  if (result == 1) loaded(path, true);
  return {};
}

std::string ActionRunner::run(const HostAction& action) {
  using Kind = HostAction::Kind;
  switch (action.kind) {
    case Kind::Program:
      host.setProgram(action.index);
      reasons.presetSelected();
      std::printf("preset %ld selected; current preset %ld\n", static_cast<long>(action.index) + 1,
                  static_cast<long>(host.dispatch(effGetProgram)) + 1);
      break;
    case Kind::SetParam:
      host.setParameter(action.index, action.value);
      // A plug-in may take indices it does not announce; the line says so rather than pass it over.
      std::printf("parameter %d set to %g%s\n", action.index, action.value,
                  action.index < host.effect()->numParams ? ""
                                                         : " (not one of the parameters the plug-in announces)");
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
      processBlocks(action.index);
      break;
    case Kind::Midi:
      for (const auto& message : action.midi) {
        if (!midiRoute) {
          host.queueMidi(message);
          programChangesQueued += (message[0] & 0xF0) == 0xC0;
        } else if (!midiRoute(message)) {
          return "the MIDI queue is full";
        }
      }
      std::printf("queued %zu MIDI message(s) for the next %s\n", action.midi.size(),
                  midiRoute ? "cycle" : "block");
      break;
    case Kind::Sleep:
      std::this_thread::sleep_for(std::chrono::milliseconds(action.index));
      break;
    case Kind::PresetChunks:
      presetChunks = true;
      break;
    case Kind::BankChunks:
      presetChunks = false;
      break;
    case Kind::SaveChunk: {
      const std::vector<uint8_t> chunk = host.getChunk(presetChunks);
      if (chunk.empty()) return "the plug-in gave no chunk to save";
      const std::string reason = FxFile::writeFile(action.file, chunk);
      if (!reason.empty()) return reason;
      std::printf("saved %zu-byte %s chunk to %s\n", chunk.size(), presetChunks ? "preset" : "bank",
                  action.file.c_str());
      break;
    }
    case Kind::LoadChunk: {
      std::vector<uint8_t> chunk;
      const std::string reason = FxFile::readFile(action.file, chunk);
      if (!reason.empty()) return reason;
      const VstIntPtr result = host.setChunk(chunk, presetChunks);
      std::printf("effSetChunk (%s, %zu bytes) returned %ld\n", presetChunks ? "preset" : "bank",
                  chunk.size(), static_cast<long>(result));
      if (result == 1) loaded(action.file, !presetChunks);
      break;
    }
    case Kind::SaveFxp:
      return saveFx(action.file, FxKind::Program);
    case Kind::LoadFxp:
      return loadFx(action.file, FxKind::Program);
    case Kind::SaveFxb:
      return saveFx(action.file, FxKind::Bank);
    case Kind::LoadFxb:
      return loadFx(action.file, FxKind::Bank);
    case Kind::SaveText:
      return saveText(action.file);
    case Kind::LoadText:
      return loadText(action.file);
    case Kind::Resend:
      resend("resend");
      std::printf("resend requested\n");
      break;
    case Kind::Close:
      // The editor thread must be done with the instance before it goes.
      if (editor) editor->close();
      std::printf("effClose returned %ld\n", static_cast<long>(host.close()));
      break;
  }
  // Events sent from the plug-in's own threads in the meantime.
  printEvents();
  return {};
}

void ActionRunner::resend(const std::string& why) {
  reasons.resendAsked(why);
  host.resend();
}

void ActionRunner::runDemo() {
  run(HostAction(HostAction::Kind::Mains, 1));
  run(HostAction(HostAction::Kind::Resend));
  run(HostAction(HostAction::Kind::Process, 2));
  // With an editor on screen the instance stays until the editor's time is up.
  if (!editor) run(HostAction(HostAction::Kind::Close));
}
