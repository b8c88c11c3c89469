// A strip's messages, from the values a preset stores (0 for "send nothing", else the MIDI value plus one).
#include "plugin/StripMessages.h"

#include "midi/Controllers.h"

namespace {

constexpr uint8_t kControlChange = 0xB0;
constexpr uint8_t kProgramChange = 0xC0;

// Value bytes above 128 cannot come from the editor or a checked chunk; masking keeps it so.
uint8_t Value(uint8_t stored) {
  return static_cast<uint8_t>((stored - 1) & 0x7F);
}

}  // namespace

// Modules that take Bank Select as pending until the next Program Change need the banks first.
int SelectMessages(const VSTPluginStrip& strip, bool bankSelectFirst, ShortMessage* out) {
  using namespace vantorine::midi;
  const auto channel = static_cast<uint8_t>(strip.channel - 1);
  int count = 0;
  auto sendProgram = [&] {
    if (strip.program > 0)
      out[count++] = {static_cast<uint8_t>(kProgramChange + channel), Value(strip.program), 0};
  };
  auto sendBankSelect = [&] {
    const bool swapped = strip.swapBankOrder != 0;
    for (const uint8_t controller :
         {swapped ? kBankSelectLsb : kBankSelectMsb, swapped ? kBankSelectMsb : kBankSelectLsb}) {
      const uint8_t value = controller == kBankSelectMsb ? strip.bankMsb : strip.bankLsb;
      if (value > 0)
        out[count++] = {static_cast<uint8_t>(kControlChange + channel), controller, Value(value)};
    }
  };
  if (bankSelectFirst) {
    sendBankSelect();
    sendProgram();
  } else {
    sendProgram();
    sendBankSelect();
  }
  return count;
}

int StripMessages(const VSTPluginProgram& program, const VSTPluginProgramExtension& extension, int slot,
                  ShortMessage* out) {
  using namespace vantorine::midi;
  const VSTPluginStrip& strip = program.strips[slot];
  if (!strip.inUse || strip.channel < 1 || strip.channel > 16) return 0;
  const auto controlChange = static_cast<uint8_t>(kControlChange + strip.channel - 1);
  int count = 0;
  if (extension.resetControllersFirst) out[count++] = {controlChange, kResetAllControllers, 0};
  count += SelectMessages(strip, program.bankSelectFirst != 0, out + count);
  if (strip.volume > 0) out[count++] = {controlChange, kChannelVolume, Value(strip.volume)};
  for (int row = 0; row < kControllerRows; ++row) {
    const uint8_t controller = extension.rowControllers[row];
    const uint8_t value = extension.rowValues[slot][row];
    if (value > 0 && IsRowController(controller)) out[count++] = {controlChange, controller, Value(value)};
  }
  return count;
}
