// Stored chunks: the current and the older layouts are read, other sizes are
// refused without change, newer data is taken as far as it goes with a
// message, and whatever the bytes, every field comes out in range.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "PluginHarness.h"
#include "plugin/VSTPluginProgramBank.h"
#include "preset/PresetBytes.h"
#include "tests/support/FuzzRounds.h"

namespace {

// GS Reset with a gap of 20 ms, custom controllers, a pan value and Reset All Controllers first in the
// current preset.
void UseVersionTwoFields(VSTPlugin& plugin) {
  plugin.EditCurrentPreset([](VSTPluginProgram&, VSTPluginProgramExtension& extension) {
    const uint8_t gsReset[] = {0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7};
    std::memcpy(extension.sysex, gsReset, sizeof(gsReset));
    extension.sysexLength = sizeof(gsReset);
    extension.sysexGapMs = 20;
    extension.rowControllers[3] = 74;
    extension.rowValues[0][0] = 65;
    std::strcpy(extension.devices[2], "General MIDI");
  });
  plugin.SetResetControllersFirst(true);
}

class Chunks : public ::testing::Test {
 protected:
  PluginHarness host;
  HostedPlugin<> plugin = MakePlugin();

  std::vector<uint8_t> GetChunk(bool preset) {
    void* data = nullptr;
    const VstIntPtr size = plugin.dispatcher(effGetChunk, preset ? 1 : 0, 0, &data, 0);
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    return std::vector<uint8_t>(bytes, bytes + size);
  }
  VstIntPtr SetChunk(std::vector<uint8_t> bytes, bool preset) {
    return plugin.dispatcher(effSetChunk, preset ? 1 : 0, static_cast<VstIntPtr>(bytes.size()), bytes.data(), 0);
  }
};

TEST_F(Chunks, PresetAndBankRoundTripByteForByte) {
  plugin->setParameter(VSTPlugin::kStripVolume + 2, 0.5f);
  plugin->setProgramName(const_cast<char*>("kept"));
  const std::vector<uint8_t> preset = GetChunk(true);
  const std::vector<uint8_t> bank = GetChunk(false);
  ASSERT_EQ(436u, preset.size());
  ASSERT_EQ(55808u, bank.size());

  plugin->setParameter(VSTPlugin::kStripVolume + 2, 0.f);
  plugin->setProgramName(const_cast<char*>("changed"));
  EXPECT_EQ(1, SetChunk(preset, true));
  EXPECT_EQ(preset, GetChunk(true));
  plugin->setParameter(VSTPlugin::kStripVolume + 2, 0.f);
  EXPECT_EQ(1, SetChunk(bank, false));
  EXPECT_EQ(bank, GetChunk(false));
}

// A preset that uses the version 2 fields stores them after its image; loading an image without them
// brings every preset back to the defaults.
TEST_F(Chunks, VersionTwoFieldsTravelAfterTheImageAndOnlyWhenUsed) {
  const std::vector<uint8_t> plain = GetChunk(false);
  UseVersionTwoFields(*plugin);
  const std::vector<uint8_t> preset = GetChunk(true);
  const std::vector<uint8_t> bank = GetChunk(false);
  ASSERT_GT(preset.size(), 436u);
  ASSERT_GT(bank.size(), 55808u);
  EXPECT_EQ(0, std::memcmp(plain.data(), bank.data(), 55808)) << "the image is as before";

  EXPECT_EQ(1, SetChunk(plain, false));
  EXPECT_EQ(plain, GetChunk(false));
  EXPECT_TRUE(IsDefaultExtension(plugin->CurrentExtension()));
  EXPECT_EQ(1, SetChunk(bank, false));
  EXPECT_EQ(bank, GetChunk(false));
  EXPECT_EQ(1, SetChunk(std::vector<uint8_t>(preset.begin(), preset.begin() + 436), true));
  EXPECT_TRUE(IsDefaultExtension(plugin->CurrentExtension()));
  EXPECT_EQ(1, SetChunk(preset, true));
  EXPECT_EQ(preset, GetChunk(true));
}

// A list longer than the 256 bytes earlier versions held travels in pieces, up to 64 KiB a preset; the
// lists of a bank hold 1 MiB at most, whether they come in a bank or preset by preset.
TEST_F(Chunks, LongSysexListsTravelInPiecesUpToTheBanksRoom) {
  auto dump = [](size_t size, uint8_t fill) {
    std::vector<uint8_t> list(size, fill);
    list.front() = 0xF0;
    list.back() = 0xF7;
    return list;
  };
  auto store = [&](int preset, const std::vector<uint8_t>& list) {
    plugin->EditPreset(preset, [&](VSTPluginProgram&, VSTPluginProgramExtension& extension) {
      StoreSysexList(extension, list.data(), list.size());
    });
  };
  const std::vector<uint8_t> longest = dump(vantorine::midi::kMaxSysexListBytes, 0x33);
  for (int preset = 0; preset < 15; ++preset) store(preset, longest);
  store(15, dump(257, 0x44));
  plugin->setProgram(15);
  const std::vector<uint8_t> preset = GetChunk(true);
  // The image, the header, then one piece: tag 7, the preset, the length and the bytes.
  ASSERT_EQ(436u + 8 + 4 + 257, preset.size());
  EXPECT_EQ(7, preset[444]);
  const std::vector<uint8_t> bank = GetChunk(false);
  plugin->setProgram(3);
  EXPECT_EQ(1, SetChunk(bank, false));
  EXPECT_EQ(bank, GetChunk(false));
  EXPECT_EQ(longest, LoadSysexList(plugin->Extension(14)));

  // 15 full lists and 257 bytes leave the bank room for 65279 bytes more.
  plugin->setProgram(16);
  EXPECT_EQ(65279u, plugin->SysexRoom(16));
  store(20, dump(65279, 0x55));
  plugin->setProgram(20);
  const std::vector<uint8_t> fullBank = GetChunk(false);
  const std::vector<uint8_t> lastRoom = GetChunk(true);
  plugin->setProgram(16);
  EXPECT_EQ(0, SetChunk(lastRoom, true)) << "one byte beyond the bank's room";
  EXPECT_EQ(fullBank, GetChunk(false));
  // A bank chunk beyond 1 MiB: a 16th full list, made by hand.
  std::vector<uint8_t> overfull = fullBank;
  std::vector<uint8_t> fields(overfull.begin() + 55808 + 8, overfull.end());
  for (size_t at = 0; at < longest.size(); at += 32768) {
    const uint8_t head[] = {7, 30, 0x00, 0x80};
    fields.insert(fields.end(), head, head + 4);
    fields.insert(fields.end(), longest.begin() + at, longest.begin() + at + 32768);
  }
  overfull.resize(55808 + 4);
  for (int shift = 0; shift < 32; shift += 8) overfull.push_back(static_cast<uint8_t>(fields.size() >> shift));
  overfull.insert(overfull.end(), fields.begin(), fields.end());
  EXPECT_EQ(0, SetChunk(overfull, false));
  EXPECT_EQ(fullBank, GetChunk(false));
}

// The version 2 fields are read as hostile input: any fault refuses the whole chunk and changes nothing.
TEST_F(Chunks, ABrokenVersionTwoFieldRefusesTheWholeChunk) {
  UseVersionTwoFields(*plugin);
  const std::vector<uint8_t> preset = GetChunk(true);
  // The preset's fields as written: the tag and size (8 bytes), then SysEx, controllers, values, option,
  // strip 2's device, the gap (6 bytes).
  const size_t fields = 436 + 8;
  ASSERT_EQ(preset[fields], 1) << "the SysEx list comes first";
  const size_t sysex = fields + 4;
  const size_t gap = preset.size() - 6;
  ASSERT_EQ(preset[gap], 8) << "the gap comes last";
  auto broken = [&](auto change) {
    std::vector<uint8_t> bytes = preset;
    change(bytes);
    return bytes;
  };
  const std::vector<std::vector<uint8_t>> refused = {
      broken([](auto& b) { b.pop_back(); }),                      // shorter than it says
      broken([](auto& b) { b.push_back(0); }),                    // longer than it says
      broken([&](auto& b) { b[sysex + 10] = 0x7F; }),             // a message without its F7
      broken([&](auto& b) { b[sysex + 3] = 0x80; }),              // a data byte of 0x80
      broken([&](auto& b) { b[fields + 1] = 1; }),                // a preset the chunk does not hold
      broken([&](auto& b) { b[fields] = 0; }),                    // no such field
      broken([&](auto& b) { b[gap - 1] = '\n'; }),                 // a device name with a control character
      broken([&](auto& b) { b[gap - 13] = 16; }),                 // a device for a strip no preset has
      broken([&](auto& b) { b[gap - 18] = 2; }),                  // an option that is neither 0 nor 1
      broken([&](auto& b) { b[gap + 4] = 0xF5, b[gap + 5] = 1; }),  // a gap of 501 ms
      broken([&](auto& b) { b[sysex + 11 + 4 + 1] = 7; }),        // volume as a row's controller
      broken([&](auto& b) { b[sysex + 11 + 4 + 1] = 10; }),        // two rows on pan
      broken([&](auto& b) { b[sysex + 11 + 4 + 4 + 4] = 200; }),  // a value above 128
      broken([&](auto& b) {                                       // a field twice
        const std::vector<uint8_t> last(b.begin() + gap, b.end());
        b.insert(b.end(), last.begin(), last.end());
        b[436 + 4] += 6;
      }),
  };
  plugin->setProgram(3);
  const std::vector<uint8_t> before = GetChunk(false);
  for (size_t i = 0; i < refused.size(); ++i) {
    EXPECT_EQ(0, SetChunk(refused[i], true)) << "case " << i;
    EXPECT_EQ(before, GetChunk(false)) << "case " << i;
  }
  // A list of more than 256 bytes is stored in pieces, never in the field earlier versions read.
  std::vector<uint8_t> longList = preset;
  longList[fields + 2] = 0x01;
  longList[fields + 3] = 0x01;
  EXPECT_EQ(0, SetChunk(longList, true));
  EXPECT_EQ(before, GetChunk(false));
}

TEST_F(Chunks, RefusedSizesChangeNothing) {
  const std::vector<uint8_t> bank = GetChunk(false);
  EXPECT_EQ(0, SetChunk(std::vector<uint8_t>(436, 0x55), false));
  EXPECT_EQ(0, SetChunk(std::vector<uint8_t>(100, 0x55), true));
  EXPECT_EQ(0, SetChunk(std::vector<uint8_t>(54287, 0x55), false));
  EXPECT_EQ(0, plugin.dispatcher(effSetChunk, 0, -1, const_cast<uint8_t*>(bank.data()), 0));
  EXPECT_EQ(0, plugin.dispatcher(effSetChunk, 0, 55808, nullptr, 0));
  EXPECT_EQ(bank, GetChunk(false));
}

TEST_F(Chunks, OlderPresetKeepsTheNewerOptions) {
  plugin->setParameter(VSTPlugin::kInitSend, 1.f);
  plugin->setParameter(VSTPlugin::kInitDelay, 3 / 999.f);
  std::vector<uint8_t> old = GetChunk(true);
  old.resize(424);
  old[421] = 1;  // thru
  EXPECT_EQ(1, SetChunk(old, true));
  EXPECT_EQ(1, plugin->CurrentProgram().midiThru);
  EXPECT_EQ(1, plugin->CurrentProgram().initSend);
  EXPECT_EQ(3, plugin->CurrentProgram().initDelay);
}

TEST_F(Chunks, OlderBankTakesItsTrailer) {
  plugin->setParameter(VSTPlugin::kBankSelectFirst, 1.f);
  std::vector<uint8_t> old(54288, 0);
  for (int n = 0; n < kProgramCount; ++n) {
    VSTPluginProgram program;
    InitProgram(program, "old");
    program.strips[0].channel = 9;
    std::memcpy(old.data() + 424 * n, &program, 424);
  }
  old[54276] = 1;  // preset switching
  old[54277] = 1;  // change send
  old[54278] = 0;  // init send
  const int32_t changeDelay = 7, initDelay = 3;
  std::memcpy(old.data() + 54280, &changeDelay, 4);
  std::memcpy(old.data() + 54284, &initDelay, 4);
  EXPECT_EQ(1, SetChunk(old, false));
  for (int n = 0; n < kProgramCount; ++n) {
    const VSTPluginProgram& p = plugin->Program(n);
    EXPECT_EQ(9, p.strips[0].channel);
    EXPECT_EQ(7, p.changeDelay);
    EXPECT_EQ(3, p.initDelay);
    EXPECT_EQ(1, p.presetSwitching);
    EXPECT_EQ(1, p.changeSend);
    EXPECT_EQ(0, p.initSend);
    EXPECT_EQ(0, p.bankSelectFirst) << "the layout predates the option";
  }
}

TEST_F(Chunks, BankSavedBeforeBankSelectFirstKeepsTheProgramChangeFirst) {
  plugin->setParameter(VSTPlugin::kStripBankLsb, 9 / 128.f);  // strip 0 on channel 1: program 0, bank LSB 8
  plugin->setParameter(VSTPlugin::kBankSelectFirst, 1.f);
  std::vector<uint8_t> bank = GetChunk(false);
  for (int n = 0; n < kProgramCount; ++n) {
    ASSERT_EQ(1, bank[436 * n + 425]) << "the option is stored in every preset";
    bank[436 * n + 425] = 0;  // as every bank saved before the option has it
  }
  EXPECT_EQ(1, SetChunk(bank, false));
  EXPECT_EQ(0.f, plugin->getParameter(VSTPlugin::kBankSelectFirst));
  plugin->setParameter(VSTPlugin::kResend, 1.f);
  EXPECT_EQ((std::vector<MidiBytes>{{0xC0, 0, 0}, {0xB0, 32, 8}}), host.Process(*plugin));
}

TEST_F(Chunks, NewerDataIsTakenWithAMessage) {
  std::vector<uint8_t> newer = GetChunk(true);
  std::strcpy(reinterpret_cast<char*>(newer.data()), "from the future");
  newer.resize(500, 0xEE);
  testing::internal::CaptureStderr();
  EXPECT_EQ(1, SetChunk(newer, true));
  const std::string shown = testing::internal::GetCapturedStderr();
  EXPECT_NE(std::string::npos, shown.find("Failed to load program\n(Reason: Saved with newer version\n"
                                          "This version = 1.06\nSome settings will be lost !)"))
      << shown;
  EXPECT_STREQ("from the future", plugin->CurrentProgram().name);

  std::vector<uint8_t> bank = GetChunk(false);
  bank.resize(60000, 0);
  testing::internal::CaptureStderr();
  EXPECT_EQ(1, SetChunk(bank, false));
  EXPECT_NE(std::string::npos, testing::internal::GetCapturedStderr().find("Failed to load bank\n"));

  // A field this version does not know is a newer version's too: the rest is taken.
  UseVersionTwoFields(*plugin);
  std::vector<uint8_t> unknown = GetChunk(true);
  const std::vector<uint8_t> field = {9, 0, 1, 0, 0x55};
  unknown.insert(unknown.end(), field.begin(), field.end());
  unknown[436 + 4] += field.size();
  plugin->EditCurrentPreset([](VSTPluginProgram&, VSTPluginProgramExtension& extension) {
    InitProgramExtension(extension);
  });
  testing::internal::CaptureStderr();
  EXPECT_EQ(1, SetChunk(unknown, true));
  EXPECT_NE(std::string::npos, testing::internal::GetCapturedStderr().find("Saved with newer version"));
  EXPECT_EQ(20, plugin->CurrentExtension().sysexGapMs) << "the fields it knows are taken";
}

TEST_F(Chunks, HostileFieldsAreBroughtIntoRange) {
  std::vector<uint8_t> hostile(436, 0xFF);
  EXPECT_EQ(1, SetChunk(hostile, true));
  const VSTPluginProgram& p = plugin->CurrentProgram();
  EXPECT_EQ(47u, std::strlen(p.name));
  EXPECT_EQ(1, p.stripCount) << "0xFFFFFFFF is -1, clamped to 1..16";
  for (const VSTPluginStrip& strip : p.strips) {
    EXPECT_EQ(1, strip.inUse);
    EXPECT_EQ(0, strip.channel);
    EXPECT_EQ(0, strip.program);
    EXPECT_EQ(11u, std::strlen(strip.label));
  }
  for (int32_t row : p.stripOrder) EXPECT_EQ(16, row);
  EXPECT_EQ(0, p.initDelay);
  EXPECT_EQ(1, p.midiThru);
  EXPECT_EQ(1, p.bankSelectFirst);

  std::vector<uint8_t> delays = GetChunk(true);
  const int32_t huge = 5000, negative = -3, count = 40;
  std::memcpy(delays.data() + 428, &huge, 4);
  std::memcpy(delays.data() + 432, &negative, 4);
  std::memcpy(delays.data() + 416, &count, 4);
  EXPECT_EQ(1, SetChunk(delays, true));
  EXPECT_EQ(999, plugin->CurrentProgram().initDelay);
  EXPECT_EQ(0, plugin->CurrentProgram().changeDelay);
  EXPECT_EQ(16, plugin->CurrentProgram().stripCount);
}

TEST(ChunkHosts, BiduleSelectsTheLastPresetWhenAtTheFirst) {
  PluginHarness host("Bidule 0.9");
  auto plugin = MakePlugin();
  void* data = nullptr;
  const VstIntPtr size = plugin.dispatcher(effGetChunk, 0, 0, &data, 0);
  std::vector<uint8_t> bank(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
  EXPECT_EQ(1, plugin.dispatcher(effSetChunk, 0, size, bank.data(), 0));
  EXPECT_EQ(127, plugin->getProgram());
  plugin->setProgram(5);
  EXPECT_EQ(1, plugin.dispatcher(effSetChunk, 0, size, bank.data(), 0));
  EXPECT_EQ(5, plugin->getProgram()) << "only a host at the first preset is moved";
}

// Random chunks of every accepted size, then random incoming streams: the
// plug-in must neither crash nor let an out-of-range MIDI byte leave.
TEST(ChunkFuzz, RandomChunksAndStreamsOnlyEverSendValidMidi) {
  PluginHarness host;
  auto plugin = MakePlugin();
  std::mt19937 random(20261208);
  const int32_t sizes[] = {424, 436, 437, 600, 54288, 55808, 56000};
  std::vector<uint8_t> bytes;
  size_t checked = 0;
  for (int round = 0; round < FuzzRounds(3000); ++round) {
    const int32_t size = sizes[round % 7];
    bytes.resize(size);
    for (uint8_t& b : bytes) b = static_cast<uint8_t>(random());
    const bool preset = size < 1000;
    testing::internal::CaptureStderr();  // newer-version messages
    ASSERT_EQ(1, plugin.dispatcher(effSetChunk, preset ? 1 : 0, size, bytes.data(), 0));
    testing::internal::GetCapturedStderr();
    plugin->setProgram(static_cast<VstInt32>(random() % 128));
    plugin->setParameter(VSTPlugin::kResend, 1.f);
    plugin->setParameter(VSTPlugin::kResend, 0.f);
    std::vector<MidiBytes> incoming(random() % 40);
    for (MidiBytes& e : incoming) e = {uint8_t(random()), uint8_t(random()), uint8_t(random())};
    host.Incoming(*plugin, incoming);
    for (int block = 0; block < 3; ++block) {
      for (const MidiBytes& e : host.Process(*plugin, 16)) {
        ASSERT_TRUE(e.status & 0x80) << int(e.status);
        ASSERT_LT(e.data1, 0x80);
        ASSERT_LT(e.data2, 0x80);
        ++checked;
      }
    }
    // Version 2 fields of a good chunk, mutated: refused whole, or taken and sent as valid MIDI.
    if (round % 10 == 0) {
      plugin->EditCurrentPreset(
          [](VSTPluginProgram&, VSTPluginProgramExtension& extension) { InitProgramExtension(extension); });
      UseVersionTwoFields(*plugin);
      // Every other time behind a dump long enough to be stored in two pieces.
      if (round % 20 == 0)
        plugin->EditCurrentPreset([&](VSTPluginProgram&, VSTPluginProgramExtension& extension) {
          std::vector<uint8_t> list(extension.sysex, extension.sysex + extension.sysexLength);
          list.push_back(0xF0);
          list.resize(list.size() + 33000 + random() % 1000, 0x22);
          list.push_back(0xF7);
          StoreSysexList(extension, list.data(), list.size());
        });
      void* data = nullptr;
      const VstIntPtr goodSize = plugin.dispatcher(effGetChunk, 1, 0, &data, 0);
      std::vector<uint8_t> good(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + goodSize);
      for (int flips = 1 + random() % 3; flips > 0; --flips)
        good[436 + random() % (good.size() - 436)] = static_cast<uint8_t>(random());
      testing::internal::CaptureStderr();
      plugin.dispatcher(effSetChunk, 1, static_cast<VstIntPtr>(good.size()), good.data(), 0);
      testing::internal::GetCapturedStderr();
      plugin->setParameter(VSTPlugin::kResend, 1.f);
      plugin->setParameter(VSTPlugin::kResend, 0.f);
      for (int block = 0; block < 4; ++block) {
        host.Process(*plugin, 4096);
        for (const SentMessage& message : host.TakeMessages()) {
          ASSERT_TRUE(message.bytes[0] & 0x80);
          if (message.bytes[0] == 0xF0) {
            ASSERT_EQ(0xF7, message.bytes.back());
            for (size_t i = 1; i + 1 < message.bytes.size(); ++i) ASSERT_LT(message.bytes[i], 0x80);
          } else {
            for (size_t i = 1; i < message.bytes.size(); ++i) ASSERT_LT(message.bytes[i], 0x80);
          }
          ++checked;
        }
      }
    }
    const VSTPluginProgram& p = plugin->CurrentProgram();
    ASSERT_GE(p.stripCount, 1);
    ASSERT_LE(p.stripCount, 16);
  }
  EXPECT_GT(checked, 1000u) << "the fuzz must actually exercise the sending path";
}

}  // namespace
