// The send of a preset: its SysEx list, the settle time, then each strip's messages. A request may come
// from any thread (a resend, the delay timer, a preset change); the processing call carries it out, so
// the settle time is counted in the host's audio frames and the strips go out at the frame where it ends,
// exact in every host and at every block size. A new send replaces strips that still wait.
#include <cmath>
#include <cstring>

#include "midi/SysexMessages.h"
#include "plugin/MidiEventMaking.h"
#include "plugin/VSTPlugin.h"
#include "preset/PresetBytes.h"

namespace {

constexpr uint8_t kControlChange = 0xB0;
constexpr uint8_t kProgramChange = 0xC0;

// Value bytes above 128 cannot come from the editor or a checked chunk; masking keeps it so.
uint8_t Value(uint8_t stored) {
  return static_cast<uint8_t>((stored - 1) & 0x7F);
}

// Calls emit(status, data1, data2) for the Bank Select and Program Change that select a strip's sound, in
// the order the options say; a value that is not set is not sent. Modules that take Bank Select as pending
// until the next Program Change need the banks first.
template <typename Emit>
void ForEachSelectMessage(const VSTPluginStrip& strip, bool bankSelectFirst, Emit emit) {
  using namespace vantorine::midi;
  const auto channel = static_cast<uint8_t>(strip.channel - 1);
  auto sendProgram = [&] {
    if (strip.program > 0) emit(static_cast<uint8_t>(kProgramChange + channel), Value(strip.program), 0);
  };
  auto sendBankSelect = [&] {
    const bool swapped = strip.swapBankOrder != 0;
    for (const uint8_t controller :
         {swapped ? kBankSelectLsb : kBankSelectMsb, swapped ? kBankSelectMsb : kBankSelectLsb}) {
      const uint8_t value = controller == kBankSelectMsb ? strip.bankMsb : strip.bankLsb;
      if (value > 0) emit(static_cast<uint8_t>(kControlChange + channel), controller, Value(value));
    }
  };
  if (bankSelectFirst) {
    sendBankSelect();
    sendProgram();
  } else {
    sendProgram();
    sendBankSelect();
  }
}

}  // namespace

void VSTPlugin::sendPCData() {
  VstMidiEvent request;
  std::memset(&request, 0, sizeof(request));
  request.type = kSendRequestType;
  request.midiData[0] = static_cast<char>(curProgram);
  generatedQueue.Push(request);
}

// Audio thread, from the generated queue. The preset is read whole once; its list goes now and its strips,
// from the same copy, when the settle time has passed.
void VSTPlugin::StartSend(int preset) {
  if (preset < 0 || preset >= kProgramCount) return;
  if (!presets.Read(preset, sendRecord, sendExtension)) {
    retrySend = preset;
    return;
  }
  const bool hasList = sendExtension.sysexLength > 0;
  QueueSysexList();
  const int settleMs = hasList ? sendExtension.settleMs : 0;
  waitingSend.active = false;
  if (settleMs <= 0) {
    PublishSettleLeft(0);
    QueueStrips(0);
    return;
  }
  waitingSend.framesLeft = static_cast<int64_t>(static_cast<double>(settleMs) * sampleRate / 1000.0 + 0.5);
  waitingSend.active = true;
  PublishSettleLeft(waitingSend.framesLeft);
}

// The editor's settle dial shows the wait in its own 10 ms steps: only a change of those is signalled, so
// small blocks do not flood the editor with updates. The signal only sets flags.
void VSTPlugin::PublishSettleLeft(int64_t framesLeft) {
  const double rate = sampleRate > 0 ? sampleRate : 44100.0;
  const double tens = framesLeft > 0 ? std::ceil(static_cast<double>(framesLeft) * 100.0 / rate) : 0.0;
  const int ms = static_cast<int>(tens) * 10;
  if (settleMsLeft.exchange(ms, std::memory_order_relaxed) != ms) Signal(kSignalSettle);
}

// Only a list of whole messages goes out: a module would take the rest of a broken one as other messages.
void VSTPlugin::QueueSysexList() {
  const size_t length = sendExtension.sysexLength;
  if (length == 0 || length > vantorine::midi::kMaxSysexListBytes || length > kSysexOutBytes - sysexOutUsed)
    return;
  uint8_t* list = sysexOut + sysexOutUsed;
  std::memcpy(list, sendExtension.sysex, length);
  if (!vantorine::midi::IsSysexList(list, length)) return;
  vantorine::midi::ForEachSysex(list, length, [&](const uint8_t* message, size_t size) {
    VstMidiEvent reference;
    std::memset(&reference, 0, sizeof(reference));
    reference.type = kVstSysExType;
    reference.noteLength = static_cast<VstInt32>(message - sysexOut);  // where its bytes are
    reference.noteOffset = static_cast<VstInt32>(size);
    outputQueue.Push(reference);
  });
  sysexOutUsed += length;
}

void VSTPlugin::AdvanceWaitingSend(VstInt32 sampleFrames) {
  if (!waitingSend.active || sampleFrames <= 0) return;
  if (waitingSend.framesLeft < sampleFrames) {
    waitingSend.active = false;
    PublishSettleLeft(0);
    QueueStrips(static_cast<VstInt32>(waitingSend.framesLeft));
    return;
  }
  waitingSend.framesLeft -= sampleFrames;
  PublishSettleLeft(waitingSend.framesLeft);
}

void VSTPlugin::PushOutput(uint8_t status, uint8_t data1, uint8_t data2, VstInt32 frame) {
  outputQueue.Push(MakeMidiEvent(status, data1, data2, frame));
}

// Strip by strip in strip-number order: Reset All Controllers (when that option is on), Bank Select and
// Program Change (in the order the options say), volume, then the controller rows in row order; a value
// that is not set is not sent.
void VSTPlugin::QueueStrips(VstInt32 frame) {
  using namespace vantorine::midi;
  const VSTPluginProgram& program = sendRecord;
  const VSTPluginProgramExtension& extension = sendExtension;
  const bool bankSelectFirst = program.bankSelectFirst != 0;
  const bool resetFirst = extension.resetControllersFirst != 0;
  for (int slot = 0; slot < kStripCount; ++slot) {
    const VSTPluginStrip& strip = program.strips[slot];
    if (!strip.inUse) continue;
    const uint8_t stripChannel = strip.channel;
    if (stripChannel < 1 || stripChannel > 16) continue;
    const auto channel = static_cast<uint8_t>(stripChannel - 1);
    const auto controlChange = static_cast<uint8_t>(kControlChange + channel);
    if (resetFirst) PushOutput(controlChange, kResetAllControllers, 0, frame);
    ForEachSelectMessage(strip, bankSelectFirst, [&](uint8_t status, uint8_t data1, uint8_t data2) {
      PushOutput(status, data1, data2, frame);
    });
    const uint8_t volume = strip.volume;
    if (volume > 0) PushOutput(controlChange, kChannelVolume, Value(volume), frame);
    for (int row = 0; row < kControllerRows; ++row) {
      const uint8_t controller = extension.rowControllers[row];
      const uint8_t value = extension.rowValues[slot][row];
      if (value > 0 && IsRowController(controller))
        PushOutput(controlChange, controller, Value(value), frame);
    }
  }
}

// The messages go through the generated queue, as a send request does, so the audio thread hands them to
// the host in its next block, in the order pushed.
void VSTPlugin::AuditionStrip(const VSTPluginStrip& values) {
  if (values.channel < 1 || values.channel > 16) return;
  const bool bankSelectFirst = LoadShared(CurrentProgram().bankSelectFirst) != 0;
  ForEachSelectMessage(values, bankSelectFirst, [&](uint8_t status, uint8_t data1, uint8_t data2) {
    generatedQueue.Push(MakeMidiEvent(status, data1, data2, 0));
  });
}
