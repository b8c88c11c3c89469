// The rules of the record's fields, for checking and for bringing into range alike.
#include "preset/PresetRules.h"

#include <algorithm>
#include <cstring>

namespace vantorine::preset {

namespace {

bool IsFlag(uint8_t value) {
  return value <= 1;
}
bool IsChannelByte(uint8_t value) {
  return value <= kHighestChannelByte;
}
bool IsValueByte(uint8_t value) {
  return value <= kHighestValueByte;
}
bool IsStripRow(int32_t row) {
  return row >= 0 && row <= kEmptyRow;
}
bool IsStripCount(int32_t count) {
  return count >= 1 && count <= kStripCount;
}
bool IsDelay(int32_t seconds) {
  return seconds >= 0 && seconds <= kMaxDelaySeconds;
}

uint8_t Flag(uint8_t value) {
  return value ? 1 : 0;
}

Refusal At(Fault fault, int64_t value = 0, int strip = -1) {
  Refusal refusal;
  refusal.fault = fault;
  refusal.value = value;
  refusal.strip = strip;
  return refusal;
}

// Printable ASCII up to the terminator and zeros after it: the field holds its name and nothing else.
bool IsDeviceField(const char (&field)[kDeviceNameSize]) {
  const size_t length = strnlen(field, kDeviceNameSize);
  if (length == kDeviceNameSize) return false;
  return std::all_of(field, field + length, IsDeviceNameCharacter) &&
         std::all_of(field + length, field + kDeviceNameSize, [](char c) { return c == 0; });
}

}  // namespace

Refusal CheckProgram(const VSTPluginProgram& program) {
  if (program.name[kNameSize - 1] != 0) return At(Fault::kNameNotTerminated);
  for (int s = 0; s < kStripCount; ++s) {
    const VSTPluginStrip& strip = program.strips[s];
    if (!IsFlag(strip.inUse) || !IsFlag(strip.swapBankOrder)) return At(Fault::kStripFlag, 0, s);
    if (!IsChannelByte(strip.channel)) return At(Fault::kChannel, strip.channel, s);
    for (uint8_t value : {strip.program, strip.bankMsb, strip.bankLsb, strip.volume})
      if (!IsValueByte(value)) return At(Fault::kValue, value, s);
    if (strip.label[kLabelSize - 1] != 0) return At(Fault::kLabelNotTerminated, 0, s);
  }
  for (int32_t row : program.stripOrder)
    if (!IsStripRow(row)) return At(Fault::kStripOrderEntry, row);
  if (!IsStripCount(program.stripCount)) return At(Fault::kStripCount, program.stripCount);
  for (uint8_t flag : {program.midiThru, program.presetSwitching, program.changeSend, program.initSend,
                       program.bankSelectFirst})
    if (!IsFlag(flag)) return At(Fault::kOptionFlag, flag);
  for (int32_t delay : {program.initDelay, program.changeDelay})
    if (!IsDelay(delay)) return At(Fault::kDelay, delay);
  return {};
}

Refusal CheckExtension(const VSTPluginProgramExtension& extension) {
  const size_t length = extension.sysexLength;
  if (length > midi::kMaxSysexListBytes || !midi::IsSysexList(extension.sysex, length))
    return At(Fault::kSysexList, static_cast<int64_t>(length));
  static constexpr uint8_t kZeros[midi::kMaxSysexListBytes] = {};
  if (std::memcmp(extension.sysex + length, kZeros, midi::kMaxSysexListBytes - length) != 0)
    return At(Fault::kBytesAfterSysexList);
  if (extension.settleMs > kMaxSettleMs) return At(Fault::kSettle, extension.settleMs);
  for (int row = 0; row < kControllerRows; ++row) {
    const int controller = extension.rowControllers[row];
    Refusal refusal = At(Fault::kRowController, controller);
    refusal.row = row;
    if (!midi::IsRowController(controller)) return refusal;
    // A strip's value is known by its row's controller (the text form names it so): rows are distinct.
    for (int other = 0; other < row; ++other) {
      if (extension.rowControllers[other] != controller) continue;
      refusal.fault = Fault::kRowTwice;
      refusal.otherRow = other;
      return refusal;
    }
  }
  for (int s = 0; s < kStripCount; ++s)
    for (uint8_t value : extension.rowValues[s])
      if (!IsValueByte(value)) return At(Fault::kRowValue, value, s);
  if (!IsFlag(extension.resetControllersFirst) || extension.padding[0])
    return At(Fault::kResetFlagOrPadding, extension.resetControllersFirst);
  for (int s = 0; s < kStripCount; ++s)
    if (!IsDeviceField(extension.devices[s])) return At(Fault::kDevice, 0, s);
  return {};
}

void SanitizeProgram(VSTPluginProgram& program) {
  program.name[kNameSize - 1] = 0;
  for (VSTPluginStrip& strip : program.strips) {
    strip.inUse = Flag(strip.inUse);
    strip.swapBankOrder = Flag(strip.swapBankOrder);
    if (!IsChannelByte(strip.channel)) strip.channel = 0;
    for (uint8_t* value : {&strip.program, &strip.bankMsb, &strip.bankLsb, &strip.volume})
      if (!IsValueByte(*value)) *value = 0;
    strip.label[kLabelSize - 1] = 0;
  }
  for (int32_t& row : program.stripOrder)
    if (!IsStripRow(row)) row = kEmptyRow;
  program.stripCount = std::clamp(program.stripCount, 1, kStripCount);
  for (uint8_t* flag : {&program.midiThru, &program.presetSwitching, &program.changeSend, &program.initSend,
                        &program.bankSelectFirst})
    *flag = Flag(*flag);
  program.initDelay = std::clamp(program.initDelay, 0, kMaxDelaySeconds);
  program.changeDelay = std::clamp(program.changeDelay, 0, kMaxDelaySeconds);
}

}  // namespace vantorine::preset
