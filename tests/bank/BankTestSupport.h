// Banks for the tests: random banks of the two kinds the plug-in can hold (made in its panel, or loaded
// from any chunk it accepts), and file helpers.
#pragma once

#include <algorithm>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "bank/BankFormat.h"
#include "midi/SysexMessages.h"
#include "tests/names/HostileMidnam.h"
#include "tests/names/MidnamFixtures.h"

namespace banktest {

using vantorine::bank::PresetBank;

// The folder of the test devices (General MIDI, Testworks' Alpha 1 and 2, Odd, whose names hold control
// characters and run long, and Same, whose 8 banks share 128 sounds all called "Same"), which every bank
// test process and the programs it runs read instead of the machine's files: VANTORINE_MIDNAM_PATH names it
// before anything starts, since the shared catalog is made once per process.
inline const std::string& TestDevicesFolder() {
  static const namestest::TempFolder folder;
  static const bool written = [] {
    folder.write("testworks.midnam", namestest::TestworksMidnam());
    folder.write("testworks-card.midnam", namestest::CardMidnam());
    const std::string longName = std::string(36, 'A') + "\xC3\xA9" + std::string(30, 'B');
    folder.write("odd.midnam", namestest::SimpleMidnam("Oddco", "Odd",
                                                       "<Patch Number=\"1\" Name=\"Bell&#x7F;Tree&#x85;!\" "
                                                       "ProgramChange=\"3\"/><Patch Number=\"2\" Name=\"" +
                                                           longName + "\" ProgramChange=\"4\"/>"));
    folder.write("same.midnam", namestest::SameNameEverywhere(8));
    return setenv("VANTORINE_MIDNAM_PATH", folder.path.c_str(), 1) == 0;
  }();
  (void)written;
  return folder.path;
}
inline const std::string kTestDevicesFolder = TestDevicesFolder();

// Devices a strip may name: installed (in any spelling the catalog takes), not installed here, and names
// with every character the text form must escape.
inline const std::vector<std::string> kDeviceNames = {"General MIDI",           "Alpha 1",
                                                      "testworks alpha 2",      "JV-1080",
                                                      "Quote \" back \\ # = [x]", std::string(47, '~')};

inline std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

inline void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

inline std::string ExamplePath(const std::string& name) {
  return std::string(VANTORINE_TEST_DIR) + "/../../examples/" + name;
}

// Every bank in examples/.
inline const std::vector<std::string> kExamples = {"four-module-studio.toml", "live-keyboard.toml",
                                                   "gs-module-with-reset.toml"};

inline void NewBank(PresetBank& bank) {
  for (int n = 0; n < kProgramCount; ++n) {
    InitNumberedProgram(bank[n], n);
    InitProgramExtension(bank.extensions[n]);
  }
}

// The version 2 fields of a preset that readies a GS module: GS Reset and one more message, CC 74 on the
// last controller row, and on strip 1 pan 64 and CC 74 at 40 (stored values, each one more).
inline void UseGsInitAndRows(VSTPluginProgramExtension& extension) {
  const uint8_t init[] = {0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7,
                          0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x1A, 0x15, 0x02, 0x0F, 0xF7};
  std::memcpy(extension.sysex, init, sizeof init);
  extension.sysexLength = sizeof init;
  extension.rowControllers[3] = 74;
  extension.rowValues[0][0] = 65, extension.rowValues[0][3] = 41;
}

class RandomBanks {
 public:
  explicit RandomBanks(unsigned seed) : random(seed) {}

  int below(int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); }

  // Text a user could type in the panel: printable ASCII with quotes and backslashes, sometimes UTF-8.
  std::string text(size_t most) {
    static const std::string pieces[] = {"a", "Z", " ", "\"", "\\", "'", "#", "=", "[", "7", "\xC3\xA9", "~"};
    std::string result;
    const size_t length = below(static_cast<int>(most) + 1);
    while (result.size() < length) {
      const std::string& piece = pieces[below(12)];
      if (result.size() + piece.size() <= length) result += piece;
      else result += 'x';
    }
    return result;
  }

  // Presets as the panel leaves them: strip 0 first, added strips in some order, removed strips keeping
  // their labels, global options equal everywhere.
  void panelBank(PresetBank& bank) {
    NewBank(bank);
    vantorine::bank::BankOptions options;
    options.initSend = below(2), options.initDelay = below(1000);
    options.changeSend = below(2), options.changeDelay = below(1000), options.presetSwitching = below(2);
    options.bankFirst = below(2);
    for (int n = 0; n < kProgramCount; ++n) {
      VSTPluginProgram& preset = bank[n];
      options.applyTo(preset, bank.extensions[n]);
      if (below(3) == 0) continue;
      CopyText(preset.name, kNameSize, text(47).c_str());
      preset.midiThru = below(2);
      const int count = 1 + below(kStripCount);
      int slots[kStripCount - 1];
      for (int s = 0; s < kStripCount - 1; ++s) slots[s] = s + 1;
      std::shuffle(slots, slots + kStripCount - 1, random);
      for (int row = 1; row < kStripCount; ++row) preset.stripOrder[row] = row < count ? slots[row - 1] : kEmptyRow;
      preset.stripCount = count;
      for (int row = 0; row < count; ++row) fillStrip(preset.strips[preset.stripOrder[row]], true);
      for (int s = count - 1; s < kStripCount - 1; ++s)
        if (below(4) == 0) CopyText(preset.strips[slots[s]].label, kLabelSize, text(11).c_str());
    }
  }

  // Presets as a loaded chunk may leave them: any byte that the chunk reader lets through.
  // Only some presets are filled, which keeps the text small enough to parse quickly in a debug build.
  void loadedBank(PresetBank& bank) {
    NewBank(bank);
    for (VSTPluginProgram& preset : bank) {
      if (below(6) != 0) continue;
      auto* bytes = reinterpret_cast<uint8_t*>(&preset);
      for (size_t i = 0; i < sizeof preset; ++i) bytes[i] = static_cast<uint8_t>(below(256));
      preset.name[kNameSize - 1] = 0;
      for (VSTPluginStrip& strip : preset.strips) {
        strip.inUse = below(2), strip.swapBankOrder = below(2), strip.channel = below(17);
        strip.program = below(129), strip.bankMsb = below(129), strip.bankLsb = below(129);
        strip.volume = below(129);
        strip.label[kLabelSize - 1] = 0;
      }
      for (int32_t& row : preset.stripOrder) row = below(17);
      preset.stripCount = 1 + below(16);
      preset.midiThru = below(2), preset.presetSwitching = below(2);
      preset.changeSend = below(2), preset.initSend = below(2), preset.bankSelectFirst = below(2);
      preset.initDelay = below(1000), preset.changeDelay = below(1000);
    }
  }

  // The version 2 fields on top of a bank: in some presets a SysEx list of named and other messages, a
  // settle time, other controllers for the rows, values for them and devices, on the strips in use (as the
  // panel sets them) or on any strip (as a loaded chunk may hold them); Reset All Controllers first in
  // every preset or, loaded, in some.
  void addVersion2Fields(PresetBank& bank, bool panel) {
    const bool reset = below(2);
    for (int n = 0; n < kProgramCount; ++n) {
      VSTPluginProgramExtension& extension = bank.extensions[n];
      extension.resetControllersFirst = panel ? reset : below(2);
      if (below(2) == 0) continue;
      for (int messages = below(4); messages > 0; --messages) {
        std::vector<uint8_t> message = vantorine::midi::NamedSysexMessages()[below(4)].bytes;
        if (below(2) == 0) message.assign(1, 0xF0);
        while (message.back() != 0xF7) message.push_back(below(8) == 0 ? 0xF7 : below(128));
        // Now and then a module's dump: lists beyond the older field's 256 bytes, some in several pieces.
        if (below(16) == 0) {
          message.assign(2 + below(34000), 0x11);
          message.front() = 0xF0;
          message.back() = 0xF7;
        }
        if (extension.sysexLength + message.size() > vantorine::midi::kMaxSysexListBytes) break;
        std::copy(message.begin(), message.end(), extension.sysex + extension.sysexLength);
        extension.sysexLength += message.size();
      }
      if (below(2) == 0) extension.settleMs = below(kMaxSettleMs + 1);
      if (below(2) == 0) {
        std::vector<uint8_t> controllers;
        for (int number = 0; number < 128; ++number)
          if (vantorine::midi::IsRowController(number)) controllers.push_back(number);
        std::shuffle(controllers.begin(), controllers.end(), random);
        std::copy(controllers.begin(), controllers.begin() + kControllerRows, extension.rowControllers);
      }
      for (int slot = 0; slot < kStripCount; ++slot) {
        const bool valued = bank[n].strips[slot].inUse || !panel;
        for (uint8_t& value : extension.rowValues[slot]) value = valued && below(3) == 0 ? 1 + below(128) : 0;
        const std::string& device = kDeviceNames[below(static_cast<int>(kDeviceNames.size()))];
        if (valued && below(3) == 0) CopyText(extension.devices[slot], kDeviceNameSize, device.c_str());
      }
    }
  }

 private:
  void fillStrip(VSTPluginStrip& strip, bool inUse) {
    strip.inUse = inUse;
    strip.swapBankOrder = below(2);
    strip.channel = below(17);
    for (uint8_t* value : {&strip.program, &strip.bankMsb, &strip.bankLsb, &strip.volume})
      *value = below(3) == 0 ? 0 : 1 + below(128);
    CopyText(strip.label, kLabelSize, below(3) == 0 ? kNewLabel : text(11).c_str());
  }

  std::mt19937 random;
};

}  // namespace banktest
