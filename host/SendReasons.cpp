// The causes of the plug-in's sends and the line each send is printed after.
#include "host/SendReasons.h"

#include <algorithm>
#include <memory>

#include "bank/BankFile.h"

namespace {

using vantorine::bank::BankOptions;

// A send's message may reach the printing a little before the moment its cause was noted plus its delay:
// a cause the host only notices by looking is noted up to a look's interval late.
constexpr auto kEarliness = std::chrono::milliseconds(250);

// What a send is made of: System Exclusive, Control Change (Bank Select, volume, the rows) and Program
// Change. Notes never are, so notes passed through are never taken for one.
bool MaySend(const uint8_t* bytes, size_t size) {
  if (size == 0) return false;
  const uint8_t kind = bytes[0] & 0xF0;
  return bytes[0] == 0xF0 || kind == 0xB0 || kind == 0xC0;
}

// The options of the plug-in's current preset, which decide its sends; false when bank/ cannot read its bank.
bool CurrentOptions(VstHost& host, VstInt32 preset, BankOptions& options) {
  auto bank = std::make_unique<vantorine::bank::PresetBank>();
  std::vector<std::string> errors;
  if (preset < 0 || preset >= static_cast<VstInt32>(bank->presets.size()) ||
      !vantorine::bank::BankFile::fromChunk(host.getChunk(false), "the plug-in's bank", *bank, errors))
    return false;
  options = BankOptions::of((*bank)[preset], bank->extensions[preset]);
  return true;
}

std::string AfterDelay(const char* which, int seconds) {
  return seconds > 0 ? std::string(", after the ") + which + " delay of " + std::to_string(seconds) + " s"
                     : "";
}

}  // namespace

VstInt32 SendReasons::currentPreset() {
  return static_cast<VstInt32>(host.dispatch(effGetProgram));
}

void SendReasons::resendAsked(const std::string& why) {
  causes.push_back({why, Clock::now(), currentPreset()});
}

void SendReasons::presetSelected() {
  knownPreset = currentPreset();
  presetChanged("preset change");
}

void SendReasons::presetChanged(const char* how) {
  if (restoring) {
    restoring = false;
    return;
  }
  const VstInt32 preset = currentPreset();
  BankOptions options;
  if (!CurrentOptions(host, preset, options)) {
    causes.push_back({how, Clock::now(), preset});
    return;
  }
  if (!options.changeSend) return;
  causes.push_back({how + AfterDelay("change", options.changeDelay),
                    Clock::now() + std::chrono::seconds(options.changeDelay), preset});
}

void SendReasons::bankLoaded(Clock::time_point when) {
  restoring = true;
  knownPreset = currentPreset();
  BankOptions options;
  if (startUpExpected || !CurrentOptions(host, knownPreset, options) || !options.initSend) return;
  startUpExpected = true;
  causes.push_back({"start-up" + AfterDelay("init", options.initDelay),
                    when + std::chrono::seconds(options.initDelay), -1});
}

void SendReasons::look(uint64_t programChangesIn) {
  const std::vector<AutomationCall> calls = host.automationCalls();
  for (size_t i = automationSeen; i < calls.size(); ++i)
    if (calls[i].index == VstHost::kResendParameter && calls[i].value > 0.5f) resendAsked("resend");
  automationSeen = calls.size();
  const bool passedOne = programChangesIn != programChangesSeen;
  programChangesSeen = programChangesIn;
  const VstInt32 preset = currentPreset();
  if (preset == knownPreset) return;
  const bool first = knownPreset < 0;
  knownPreset = preset;
  if (!first) presetChanged(passedOne ? "incoming Program Change" : "preset change");
}

// The cause due last is the one whose send this is: a start-up send that comes after a preset selection
// the plug-in did not send for is the start-up's. The others due are gone with it.
std::string SendReasons::lineBefore(const uint8_t* bytes, size_t size) {
  if (!MaySend(bytes, size)) return {};
  const Clock::time_point now = Clock::now();
  const Cause* chosen = nullptr;
  for (const Cause& cause : causes)
    if (cause.due <= now + kEarliness && (!chosen || cause.due >= chosen->due)) chosen = &cause;
  if (!chosen) return {};
  const VstInt32 preset = chosen->preset >= 0 ? chosen->preset : currentPreset();
  const std::string name = host.programName(preset);
  std::string line = "send of preset " + std::to_string(preset + 1) +
                     (name.empty() ? "" : " (" + name + ")") + ": " + chosen->why;
  causes.erase(std::remove_if(causes.begin(), causes.end(),
                              [&](const Cause& cause) { return cause.due <= now + kEarliness; }),
               causes.end());
  return line;
}
