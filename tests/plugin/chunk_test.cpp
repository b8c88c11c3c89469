// Stored chunks: the current and the older layouts are read, other sizes are
// refused without change, newer data is taken as far as it goes with a
// message, and whatever the bytes, every field comes out in range.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "PluginHarness.h"
#include "plugin/VSTPluginProgramBank.h"

namespace {

class Chunks : public ::testing::Test {
 protected:
  PluginHarness host;
  std::unique_ptr<VSTPlugin> plugin = MakePlugin();

  std::vector<uint8_t> GetChunk(bool preset) {
    void* data = nullptr;
    const VstIntPtr size = plugin->dispatcher(effGetChunk, preset ? 1 : 0, 0, &data, 0);
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    return std::vector<uint8_t>(bytes, bytes + size);
  }
  VstIntPtr SetChunk(std::vector<uint8_t> bytes, bool preset) {
    return plugin->dispatcher(effSetChunk, preset ? 1 : 0, static_cast<VstIntPtr>(bytes.size()), bytes.data(), 0);
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

TEST_F(Chunks, RefusedSizesChangeNothing) {
  const std::vector<uint8_t> bank = GetChunk(false);
  EXPECT_EQ(0, SetChunk(std::vector<uint8_t>(436, 0x55), false));
  EXPECT_EQ(0, SetChunk(std::vector<uint8_t>(100, 0x55), true));
  EXPECT_EQ(0, SetChunk(std::vector<uint8_t>(54287, 0x55), false));
  EXPECT_EQ(0, plugin->dispatcher(effSetChunk, 0, -1, const_cast<uint8_t*>(bank.data()), 0));
  EXPECT_EQ(0, plugin->dispatcher(effSetChunk, 0, 55808, nullptr, 0));
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
    const VSTPluginProgram& p = plugin->Bank()[n];
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
  const VstIntPtr size = plugin->dispatcher(effGetChunk, 0, 0, &data, 0);
  std::vector<uint8_t> bank(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
  EXPECT_EQ(1, plugin->dispatcher(effSetChunk, 0, size, bank.data(), 0));
  EXPECT_EQ(127, plugin->getProgram());
  plugin->setProgram(5);
  EXPECT_EQ(1, plugin->dispatcher(effSetChunk, 0, size, bank.data(), 0));
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
  for (int round = 0; round < 3000; ++round) {
    const int32_t size = sizes[round % 7];
    bytes.resize(size);
    for (uint8_t& b : bytes) b = static_cast<uint8_t>(random());
    const bool preset = size < 1000;
    testing::internal::CaptureStderr();  // newer-version messages
    ASSERT_EQ(1, plugin->dispatcher(effSetChunk, preset ? 1 : 0, size, bytes.data(), 0));
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
    const VSTPluginProgram& p = plugin->CurrentProgram();
    ASSERT_GE(p.stripCount, 1);
    ASSERT_LE(p.stripCount, 16);
  }
  EXPECT_GT(checked, 1000u) << "the fuzz must actually exercise the sending path";
}

}  // namespace
