// Presets and parameters: selection, names, copy and paste, and the
// parameter map through which host and editor read and change every value.
#include "plugin/VSTPlugin.h"

#include <sched.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "plugin/ParameterScale.h"
#include "preset/PresetBytes.h"

namespace {

uint8_t ScaleToByte(float value, float scale) { return static_cast<uint8_t>(ScaleToInt(value, scale)); }

// The strip values behind the parameter indexes 8 to 103, in blocks of 16 strips.
struct StripField {
  uint8_t VSTPluginStrip::*field;
  float scale;  // 0 for the swap flag, which is on or off
};
constexpr StripField kStripFields[] = {{&VSTPluginStrip::channel, 16},  {&VSTPluginStrip::program, 128},
                                       {&VSTPluginStrip::bankMsb, 128}, {&VSTPluginStrip::bankLsb, 128},
                                       {&VSTPluginStrip::swapBankOrder, 0}, {&VSTPluginStrip::volume, 128}};
constexpr int kFirstStripIndex = VSTPlugin::kStripChannel;
constexpr int kStripIndexEnd = kFirstStripIndex + kStripCount * 6;

}  // namespace

VSTPlugin::VSTPlugin(vantorine::PluginHost& pluginHost, int& status) : SPlugin(pluginHost, status) {
  InitProgram(copyBuffer, "(default)");
  InitProgramExtension(copyExtension);
  hostEvents.numEvents = 0;
  hostEvents.reserved = 0;
  for (uint32_t i = 0; i < MidiEventQueue::kCapacity; ++i)
    hostEvents.events[i] = reinterpret_cast<VstEvent*>(&hostEventStore[i]);
  sem_init(&timerWake, 0, 0);
  timerThread.Start(timerfunction, this);
  setProgram(0);
}

VSTPlugin::~VSTPlugin() {
  ShutdownTimer();
  sem_destroy(&timerWake);
}

void VSTPlugin::setProgram(VstInt32 program) {
  if (program < 0 || program >= kProgramCount) return;
  curProgram = program;
  NotifyEditor();
  SendDecision();
}

size_t VSTPlugin::SysexRoom(int preset) const {
  size_t others = 0;
  for (int n = 0; n < kProgramCount; ++n)
    if (n != preset) others += LoadShared(presets.Extension(n).sysexLength);
  const size_t bankRoom = others < vantorine::midi::kMaxBankSysexBytes ? vantorine::midi::kMaxBankSysexBytes - others : 0;
  return std::min(vantorine::midi::kMaxSysexListBytes, bankRoom);
}

void VSTPlugin::ReadPreset(int preset, VSTPluginProgram& record, VSTPluginProgramExtension& extension) const {
  while (!presets.Read(preset, record, extension)) sched_yield();
}

void VSTPlugin::getProgramName(char* name) {
  VSTPluginProgram record;
  VSTPluginProgramExtension extension;
  ReadPreset(curProgram, record, extension);
  std::strcpy(name, record.name);
}

void VSTPlugin::setProgramName(char* name) {
  // Only our copy is cut to 47 characters: the host's text stays as it was.
  EditCurrentPreset([name](VSTPluginProgram& record, VSTPluginProgramExtension&) {
    CopyText(record.name, sizeof(record.name), name);
  });
  NotifyEditor();
}

bool VSTPlugin::getProgramNameIndexed(VstInt32, VstInt32 index, char* text) {
  if (index < 0 || index >= kProgramCount) return false;
  VSTPluginProgram record;
  VSTPluginProgramExtension extension;
  ReadPreset(index, record, extension);
  std::strcpy(text, record.name);
  return true;
}

void VSTPlugin::copySelProgram() {
  VSTPluginProgram record;
  ReadPreset(curProgram, record, copyExtension);
  std::memcpy(reinterpret_cast<char*>(&copyBuffer) + kNameSize, reinterpret_cast<const char*>(&record) + kNameSize,
              sizeof(VSTPluginProgram) - kNameSize);
  copyBufferValid = true;
}

// The preset's own part goes into the current preset, the global options into all of them, in one edit.
void VSTPlugin::pasteSelProgram() {
  if (!copyBufferValid) return;
  const int current = curProgram;
  const VSTPluginProgram& from = copyBuffer;
  EditAllPresets([&](int preset, VSTPluginProgram& record, VSTPluginProgramExtension& extension) {
    if (preset == current) {
      std::memcpy(record.strips, from.strips, sizeof(record.strips));
      std::memcpy(record.stripOrder, from.stripOrder, sizeof(record.stripOrder));
      record.stripCount = from.stripCount;
      record.reserved = from.reserved;
      record.midiThru = from.midiThru;
      extension = copyExtension;
    }
    record.presetSwitching = from.presetSwitching;
    record.changeSend = from.changeSend;
    record.initSend = from.initSend;
    record.bankSelectFirst = from.bankSelectFirst;
    record.initDelay = from.initDelay;
    record.changeDelay = from.changeDelay;
    extension.resetControllersFirst = copyExtension.resetControllersFirst;
  });
  if (!from.initSend && timerKind == kTimerInit) startTimer(false);
  if (!from.changeSend && timerKind == kTimerChange) startTimer(false);
  if (!from.midiThru) notesOffPending = true;
  NotifyEditor();
}

void VSTPlugin::SetGlobalOption(uint8_t VSTPluginProgram::*field, uint8_t value) {
  EditAllPresets([=](int, VSTPluginProgram& record, VSTPluginProgramExtension&) { record.*field = value; });
}

void VSTPlugin::SetResetControllersFirst(bool on) {
  EditAllPresets([=](int, VSTPluginProgram&, VSTPluginProgramExtension& extension) {
    extension.resetControllersFirst = on ? 1 : 0;
  });
}

void VSTPlugin::SetGlobalDelay(int32_t VSTPluginProgram::*field, int32_t value) {
  EditAllPresets([=](int, VSTPluginProgram& record, VSTPluginProgramExtension&) { record.*field = value; });
}

void VSTPlugin::setParameter(VstInt32 index, float value) {
  // Also refuses NaN, which a damaged automation lane can carry.
  if (!(value >= 0.f && value <= 1.f)) return;
  const VSTPluginProgram& current = CurrentProgram();
  const bool on = value > 0.5f;
  if (index == kResend) {
    if (!resendRequest.exchange(on) && on) sendPCData();
    return;
  }
  if (index == kMidiThru) {
    if (LoadShared(current.midiThru) == on) return;
    presets.SetThru(curProgram, on);
    if (!on) notesOffPending = true;
  } else if (index == kBankSelectFirst || index == kInitSend || index == kChangeSend ||
             index == kPresetSwitching) {
    uint8_t VSTPluginProgram::*field = index == kBankSelectFirst ? &VSTPluginProgram::bankSelectFirst
                                       : index == kInitSend      ? &VSTPluginProgram::initSend
                                       : index == kChangeSend    ? &VSTPluginProgram::changeSend
                                                                 : &VSTPluginProgram::presetSwitching;
    if (LoadShared(current.*field) == on) return;
    SetGlobalOption(field, on);
    if (!on && index == kInitSend && timerKind == kTimerInit) startTimer(false);
    if (!on && index == kChangeSend && timerKind == kTimerChange) startTimer(false);
  } else if (index == kInitDelay) {
    SetGlobalDelay(&VSTPluginProgram::initDelay, ScaleToInt(value, kMaxDelaySeconds));
  } else if (index == kChangeDelay) {
    SetGlobalDelay(&VSTPluginProgram::changeDelay, ScaleToInt(value, kMaxDelaySeconds));
  } else if (index >= kFirstStripIndex && index < kStripIndexEnd) {
    const StripField& field = kStripFields[(index - kFirstStripIndex) / kStripCount];
    const int strip = (index - kFirstStripIndex) % kStripCount;
    // Numeric values always store and notify, even when unchanged.
    if (field.scale == 0 && LoadShared(current.strips[strip].*field.field) == on) return;
    const uint8_t stored = field.scale == 0 ? on : ScaleToByte(value, field.scale);
    EditCurrentPreset([&](VSTPluginProgram& record, VSTPluginProgramExtension&) {
      record.strips[strip].*field.field = stored;
    });
  } else if (index < kEditorSignalFirst || index > kEditorSignalLast) {
    return;  // everything outside the map
  }
  NotifyEditor(index);
}

float VSTPlugin::getParameter(VstInt32 index) {
  const VSTPluginProgram& current = CurrentProgram();
  switch (index) {
    case kResend:
      return resendRequest ? 1.f : 0.f;
    case kMidiThru:
      return LoadShared(current.midiThru) ? 1.f : 0.f;
    case kBankSelectFirst:
      return LoadShared(current.bankSelectFirst) ? 1.f : 0.f;
    case kInitSend:
      return LoadShared(current.initSend) ? 1.f : 0.f;
    case kInitDelay:
      return static_cast<float>(LoadShared(current.initDelay)) / kMaxDelaySeconds;
    case kChangeSend:
      return LoadShared(current.changeSend) ? 1.f : 0.f;
    case kChangeDelay:
      return static_cast<float>(LoadShared(current.changeDelay)) / kMaxDelaySeconds;
    case kPresetSwitching:
      return LoadShared(current.presetSwitching) ? 1.f : 0.f;
    default:
      break;
  }
  if (index < kFirstStripIndex || index >= kStripIndexEnd) return 0.f;
  const StripField& field = kStripFields[(index - kFirstStripIndex) / kStripCount];
  const uint8_t stored = LoadShared(current.strips[(index - kFirstStripIndex) % kStripCount].*field.field);
  if (field.scale == 0) return stored ? 1.f : 0.f;
  return stored / field.scale;
}

void VSTPlugin::getParameterName(VstInt32 index, char* text) {
  std::strcpy(text, index == kResend ? "AC: Resend" : index == kMidiThru ? "OP: Thru" : "");
}

void VSTPlugin::getParameterLabel(VstInt32, char* text) { text[0] = 0; }

void VSTPlugin::getParameterDisplay(VstInt32 index, char* text) {
  if (index == kResend || index == kMidiThru)
    std::strcpy(text, getParameter(index) > 0.5f ? "On" : "Off");
  else
    text[0] = 0;
}
