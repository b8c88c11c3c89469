// The LV2 plug-in as hosts drive it through lilv: ports act on a change of their value, MIDI keeps its
// frames and its real length, the bank is the same bytes as the VST 2 bank chunk and goes through the
// same checks, a restore is a start-up, the bank tool reads and writes the state hosts keep, and a cycle
// neither allocates nor locks.
#include <gtest/gtest.h>
#include <lv2/atom/atom.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <limits>
#include <thread>

#include "CallCounter.h"
#include "bank/BankFile.h"
#include "host/VstHost.h"
#include "preset/ProgramExtensionChunk.h"
#include "preset/VSTPluginProgram.h"
#include "tests/lv2/LV2TestHost.h"
#include "tests/support/LargestSendPreset.h"

namespace {

using lv2test::Bytes;
using lv2test::LV2Instance;
using lv2test::LV2World;
using lv2test::TimedMidi;
using namespace vantorine::lv2;

LV2World* world = nullptr;

class LV2Plugin : public testing::Test {
 protected:
  static void SetUpTestSuite() { world = new LV2World(); }
  static void TearDownTestSuite() {
    delete world;
    world = nullptr;
  }
  void SetUp() override { ASSERT_NE(nullptr, world->plugin()) << "the bundle was not found"; }
};

// A bank whose preset n sends Program Change n on channel 1, with the given global options.
Bytes BankImage(uint8_t initSend, int32_t initDelay, uint8_t changeSend) {
  VSTPluginProgram bank[kProgramCount];
  for (int n = 0; n < kProgramCount; ++n) {
    InitNumberedProgram(bank[n], n);
    bank[n].strips[0].program = static_cast<uint8_t>(n + 1);
    bank[n].initSend = initSend;
    bank[n].initDelay = initDelay;
    bank[n].changeSend = changeSend;
  }
  const auto* bytes = reinterpret_cast<const uint8_t*>(bank);
  return Bytes(bytes, bytes + sizeof(bank));
}

TimedMidi At(uint32_t frame, Bytes bytes) {
  return {frame, std::move(bytes)};
}

// Runs cycles for about `seconds`, at the pace of real cycles, and returns when each message came out.
// Runs the instances' cycles for `seconds`, at the pace of real cycles: what each sent, and when.
using Sent = std::vector<std::pair<double, TimedMidi>>;
std::vector<Sent> RunFor(const std::vector<LV2Instance*>& instances, double seconds) {
  const auto start = std::chrono::steady_clock::now();
  std::vector<Sent> sent(instances.size());
  for (double now = 0; now <= seconds;
       now = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count()) {
    for (size_t i = 0; i < instances.size(); ++i)
      for (TimedMidi& message : instances[i]->run()) sent[i].push_back({now, message});
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return sent;
}

TEST_F(LV2Plugin, ResendSendsOnceOnTheChangeToOneWithTheProgramChangeInTwoBytes) {
  LV2Instance plugin(*world);
  ASSERT_TRUE(plugin.ok());
  EXPECT_TRUE(plugin.run().empty());
  plugin.setControl(kResendPort, 1);
  EXPECT_EQ((std::vector<TimedMidi>{At(0, {0xC0, 0x00})}), plugin.run());
  // A host that writes the same value every cycle (and one that never resets a trigger) changes nothing.
  EXPECT_TRUE(plugin.run().empty());
  EXPECT_TRUE(plugin.run().empty());
  plugin.setControl(kResendPort, 0);
  EXPECT_TRUE(plugin.run().empty());
  plugin.setControl(kResendPort, 1);
  EXPECT_EQ((std::vector<TimedMidi>{At(0, {0xC0, 0x00})}), plugin.run());
  // The audio passes through.
  plugin.audioIn(0)[7] = 0.25f;
  plugin.audioIn(1)[9] = -0.5f;
  plugin.run();
  EXPECT_EQ(0.25f, plugin.audioOut(0)[7]);
  EXPECT_EQ(-0.5f, plugin.audioOut(1)[9]);
}

TEST_F(LV2Plugin, PresetPortSelectsWithTheChangeSendButTheFirstRunAfterARestoreDoesNot) {
  LV2Instance plugin(*world);
  ASSERT_TRUE(plugin.ok());
  ASSERT_EQ(LV2_STATE_SUCCESS, plugin.restoreBank(BankImage(0, 5, 1)));
  plugin.setControl(kPresetPort, 5);
  EXPECT_TRUE(plugin.run().empty()) << "the host's restored preset is no change";
  plugin.setControl(kPresetPort, 3);
  EXPECT_EQ((std::vector<TimedMidi>{At(0, {0xC0, 0x02})}), plugin.run());
  EXPECT_TRUE(plugin.run().empty());
  // Any value a host or its automation may write selects a preset in range.
  plugin.setControl(kPresetPort, 500);
  EXPECT_EQ((std::vector<TimedMidi>{At(0, {0xC0, 0x7F})}), plugin.run());
  const float inf = std::numeric_limits<float>::infinity();
  for (const auto& [value, program] :
       {std::pair{-1e9f, 0x00}, std::pair{2147483648.f, 0x7F}, std::pair{-inf, 0x00}, std::pair{inf, 0x7F},
        std::pair{3e38f, 0x7F}, std::pair{-0.f, 0x00}}) {
    plugin.setControl(kPresetPort, 64);
    plugin.run();
    plugin.setControl(kPresetPort, value);
    EXPECT_EQ((std::vector<TimedMidi>{At(0, {0xC0, static_cast<uint8_t>(program)})}), plugin.run()) << value;
  }
  plugin.setControl(kPresetPort, std::numeric_limits<float>::quiet_NaN());
  plugin.run();
  for (uint32_t port : {kResendPort, kMidiThruPort})
    for (float value : {std::numeric_limits<float>::quiet_NaN(), inf, -inf, -1e9f, 2147483648.f})
      plugin.setControl(port, value), plugin.run();
  // A restore in the middle of a session takes the port's preset again, quietly, and then changes send.
  ASSERT_EQ(LV2_STATE_SUCCESS, plugin.restoreBank(BankImage(0, 5, 1)));
  EXPECT_TRUE(plugin.run().empty());
  plugin.setControl(kPresetPort, 2);
  EXPECT_EQ((std::vector<TimedMidi>{At(0, {0xC0, 0x01})}), plugin.run());
}

TEST_F(LV2Plugin, RestoredBankWithInitSendSendsOnceTheDelayAfterTheRestoreInEitherOrder) {
  const Bytes bank = BankImage(1, 1, 0);
  LV2Instance restoredFirst(*world), runFirst(*world);
  ASSERT_TRUE(restoredFirst.ok() && runFirst.ok());
  restoredFirst.setControl(kPresetPort, 4);
  runFirst.setControl(kPresetPort, 4);
  // The delay counts from each restore, and a restore takes a while in the sanitizer builds.
  const auto firstRestore = std::chrono::steady_clock::now();
  ASSERT_EQ(LV2_STATE_SUCCESS, restoredFirst.restoreBank(bank));
  EXPECT_TRUE(runFirst.run().empty());
  ASSERT_EQ(LV2_STATE_SUCCESS, runFirst.restoreBank(bank));
  // A host's own restore without a bank, as at its start, is no second start-up.
  ASSERT_EQ(LV2_STATE_SUCCESS, runFirst.restoreWithoutBank());
  const double sinceRestore =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - firstRestore).count();
  for (const Sent& messages : RunFor({&restoredFirst, &runFirst}, 2.5)) {
    ASSERT_EQ(1u, messages.size());
    EXPECT_EQ(Bytes({0xC0, 0x03}), messages[0].second.bytes);
    EXPECT_GT(messages[0].first + sinceRestore, 0.8);
    EXPECT_LT(messages[0].first, 2.0);
  }
}

// Preset 0 with all 16 strips sending program, both banks and volume: 64 messages a send.
Bytes FullBankImage() {
  Bytes bank = BankImage(0, 5, 0);
  auto* presets = reinterpret_cast<VSTPluginProgram*>(bank.data());
  for (int i = 0; i < kStripCount; ++i) {
    VSTPluginStrip& strip = presets[0].strips[i];
    strip = {1, 0, static_cast<uint8_t>(i + 1), static_cast<uint8_t>(i + 1), 3, 4, 100, {}};
    presets[0].stripOrder[i] = i;
  }
  presets[0].stripCount = kStripCount;
  return bank;
}

// A host that gives midi_out less than the bundle asks gets fewer events a cycle, never a cut one, and
// every event once it gives room again, in the order a roomy host gets them.
TEST_F(LV2Plugin, AShortOutputBufferGetsWholeEventsAndTheRestInOrderLater) {
  const std::vector<TimedMidi> played = {At(0, {0x90, 60, 100}), At(7, {0xB0, 1, 5}), At(9, {0x80, 60, 0})};
  auto sendAndPlay = [&](LV2Instance& plugin, uint32_t room, int cycles) {
    std::vector<Bytes> sent;
    plugin.setMidiOutRoom(room);
    plugin.setControl(kResendPort, 1);
    for (int cycle = 0; cycle < cycles; ++cycle) {
      std::vector<TimedMidi> out = plugin.run(cycle < 3 ? played : std::vector<TimedMidi>{});
      EXPECT_EQ("", plugin.midiOutFault()) << room << " bytes, cycle " << cycle;
      for (size_t i = 1; i < out.size(); ++i) EXPECT_LE(out[i - 1].frame, out[i].frame);
      for (TimedMidi& message : out) sent.push_back(message.bytes);
    }
    plugin.setMidiOutRoom(LV2Instance::kFullRoom);
    for (TimedMidi& message : plugin.run()) sent.push_back(message.bytes);
    return sent;
  };
  auto prepared = [&](LV2Instance& plugin) {
    EXPECT_EQ(LV2_STATE_SUCCESS, plugin.restoreBank(FullBankImage()));
    plugin.setControl(kMidiThruPort, 1);
    // A new instance spends its first two cycles ending the notes of thru, which starts off.
    plugin.run();
    plugin.run();
  };
  LV2Instance roomy(*world);
  ASSERT_TRUE(roomy.ok());
  prepared(roomy);
  const std::vector<Bytes> expected = sendAndPlay(roomy, LV2Instance::kFullRoom, 5);
  ASSERT_GE(expected.size(), 64u + 3u);
  for (uint32_t room : {16u, 40u, 64u}) {
    LV2Instance plugin(*world);
    ASSERT_TRUE(plugin.ok());
    prepared(plugin);
    EXPECT_EQ(expected, sendAndPlay(plugin, room, 5)) << room << " bytes";
  }
}

// The largest send a preset can make, through hosts that give midi_out room for one event a cycle, for
// two, or for all: every event, whole and in order.
TEST_F(LV2Plugin, TheLargestSendArrivesWholeAndInOrderThroughAShortOutputBuffer) {
  const std::vector<Bytes> expected = testsupport::LargestSendMessages();
  for (uint32_t room : {40u, 64u, LV2Instance::kFullRoom}) {
    LV2Instance plugin(*world);
    ASSERT_TRUE(plugin.ok());
    ASSERT_EQ(LV2_STATE_SUCCESS, plugin.restoreBank(testsupport::LargestSendBankChunk()));
    plugin.run();
    plugin.setMidiOutRoom(room);
    plugin.setControl(kResendPort, 1);
    std::vector<Bytes> sent;
    for (size_t cycle = 0; cycle < expected.size() + 20; ++cycle) {
      for (TimedMidi& message : plugin.run()) sent.push_back(message.bytes);
      ASSERT_EQ("", plugin.midiOutFault()) << room << " bytes, cycle " << cycle;
    }
    EXPECT_EQ(expected, sent) << room << " bytes";
  }
}

// A SysEx goes out whole as one MIDI event, each at the frame where the one before is through the MIDI
// line, the strips at the frame where the settle time after the last ends: the GS Reset, the shortest
// messages a list may hold (which must not go out as data bytes without a status) and the longest list.
TEST_F(LV2Plugin, AResetGoesOutWholeAndTheStripsWhenItHasSettled) {
  Bytes longest(vantorine::midi::kMaxSysexListBytes, 0x55);
  longest.front() = 0xF0;
  longest.back() = 0xF7;
  const std::vector<std::vector<Bytes>> lists = {
      {{0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7}},
      {{0xF0, 0xF7}, {0xF0, 0x7E, 0xF7}, {0xF0, 0xF7}},
      {longest}};
  for (const std::vector<Bytes>& list : lists) {
    Bytes bank = BankImage(0, 5, 0);
    std::vector<VSTPluginProgramExtension> extensions(kProgramCount);
    for (VSTPluginProgramExtension& extension : extensions) InitProgramExtension(extension);
    for (const Bytes& message : list) {
      std::memcpy(extensions[0].sysex + extensions[0].sysexLength, message.data(), message.size());
      extensions[0].sysexLength = static_cast<uint32_t>(extensions[0].sysexLength + message.size());
    }
    extensions[0].rowValues[0][0] = 33;
    vantorine::AppendProgramExtensions(extensions.data(), kProgramCount, bank);
    LV2Instance plugin(*world);
    ASSERT_TRUE(plugin.ok());
    ASSERT_EQ(LV2_STATE_SUCCESS, plugin.restoreBank(bank));
    EXPECT_EQ(bank, plugin.saveBank());
    plugin.run();
    plugin.setControl(kResendPort, 1);
    // At 48 kHz a byte takes 15.36 frames of the line (the longest list 21 s), and 100 ms are 4800 frames;
    // runs are 256 frames.
    auto at = [](uint32_t frame, const Bytes& bytes) {
      return std::make_pair(frame / 256, At(frame % 256, bytes));
    };
    std::vector<std::pair<uint32_t, TimedMidi>> expected;
    uint32_t frame = 0;
    for (const Bytes& message : list) {
      expected.push_back(at(frame, message));
      frame += static_cast<uint32_t>(std::ceil(static_cast<double>(message.size()) * 48000 / 3125));
    }
    expected.push_back(at(frame + 4800, {0xC0, 0x00}));
    expected.push_back(at(frame + 4800, {0xB0, 0x0A, 0x20}));
    std::vector<std::pair<uint32_t, TimedMidi>> sent;  // with the run each came out of
    for (uint32_t cycle = 0; cycle < expected.back().first + 3; ++cycle)
      for (TimedMidi& message : plugin.run()) sent.push_back({cycle, message});
    EXPECT_EQ(expected, sent) << list.front().size() << "-byte first message";
  }
}

// Hosts run 0 frames to pass control changes: nothing can go out of a block without frames, so the
// send and the notes-off wait for the next block, and the port changes still count.
TEST_F(LV2Plugin, ARunWithoutFramesSendsNothingAndTheNextRunSendsWhatWaited) {
  LV2Instance plugin(*world);
  ASSERT_TRUE(plugin.ok());
  ASSERT_EQ(LV2_STATE_SUCCESS, plugin.restoreBank(BankImage(0, 5, 1)));
  plugin.setControl(kMidiThruPort, 1);
  plugin.run();
  plugin.run();
  ASSERT_EQ((std::vector<TimedMidi>{At(4, {0x90, 60, 100})}), plugin.run({At(4, {0x90, 60, 100})}));
  plugin.setControl(kPresetPort, 3);
  EXPECT_TRUE(plugin.run({}, 0).empty());
  EXPECT_EQ("", plugin.midiOutFault());
  plugin.setControl(kMidiThruPort, 0);
  EXPECT_TRUE(plugin.run({}, 0).empty());
  EXPECT_TRUE(plugin.run({}, 0).empty());
  std::vector<TimedMidi> sent = plugin.run();
  for (TimedMidi& message : plugin.run()) sent.push_back(message);
  EXPECT_EQ((std::vector<TimedMidi>{At(0, {0xC0, 0x02}), At(0, {0x80, 60, 0})}), sent);
}

TEST_F(LV2Plugin, ThruKeepsFramesAndEndsTheNotesItPassedWhenSwitchedOff) {
  LV2Instance plugin(*world);
  ASSERT_TRUE(plugin.ok());
  plugin.run();
  EXPECT_TRUE(plugin.run({At(3, {0x90, 60, 100})}).empty()) << "thru is off by default";
  plugin.setControl(kMidiThruPort, 1);
  const std::vector<TimedMidi> played = {At(10, {0x91, 64, 90}), At(20, {0xB1, 1, 5}), At(30, {0xD1, 7}),
                                         At(40, {0xF8})};
  // A SysEx longer than a word, which the engine does not take, leaves the events after it in place.
  std::vector<TimedMidi> withSysex = played;
  withSysex.insert(withSysex.begin() + 2, At(25, {0xF0, 0x7D, 1, 2, 3, 4, 5, 6, 0xF7}));
  EXPECT_EQ(played, plugin.run(withSysex));
  // Data bytes are kept in range, a held note that starts again passes, an end of a note not passed does
  // not, and the plug-in's own send at the block's start goes before what passed at later frames.
  plugin.setControl(kResendPort, 1);
  EXPECT_EQ((std::vector<TimedMidi>{At(0, {0xC0, 0x00}), At(1, {0x91, 64, 5})}),
            plugin.run({At(1, {0x91, 64, 0x85}), At(7, {0x90, 65, 0})}));
  plugin.setControl(kMidiThruPort, 0);
  std::vector<TimedMidi> ended;
  for (int cycle = 0; cycle < 3; ++cycle)
    for (TimedMidi& message : plugin.run({At(5, {0x92, 1, 1})})) ended.push_back(message);
  EXPECT_EQ((std::vector<TimedMidi>{At(0, {0x81, 64, 0})}), ended);
}

TEST_F(LV2Plugin, ARefusedStateLeavesTheBankAsItWas) {
  LV2Instance plugin(*world);
  ASSERT_TRUE(plugin.ok());
  const Bytes bank = BankImage(0, 7, 1);
  ASSERT_EQ(LV2_STATE_SUCCESS, plugin.restoreBank(bank));
  EXPECT_NE(LV2_STATE_SUCCESS, plugin.restoreBank(Bytes(bank.begin(), bank.end() - 1)));
  EXPECT_NE(LV2_STATE_SUCCESS, plugin.restoreBank(Bytes(100, 0xFF)));
  EXPECT_NE(LV2_STATE_SUCCESS, plugin.restoreBank(BankImage(1, 1, 0), world->urid(LV2_ATOM__String)));
  EXPECT_EQ(LV2_STATE_SUCCESS, plugin.restoreWithoutBank());
  EXPECT_EQ(bank, plugin.saveBank());
}

TEST_F(LV2Plugin, TheBankIsTheVstBankChunkByteForByteAndSurvivesAStateFolder) {
  VstHost vst;
  ASSERT_TRUE(vst.load(VANTORINE_PLUGIN_PATH)) << vst.error();
  vst.setProgram(9);
  vst.setParameter(8, 3 / 16.f);     // strip 1 on channel 3
  vst.setParameter(88, 90 / 128.f);  // with a volume
  vst.setParameter(3, 1.f);          // Init-Send on
  const std::vector<uint8_t> vstBank = vst.getChunk(false);
  ASSERT_EQ(55808u, vstBank.size());

  LV2Instance plugin(*world);
  ASSERT_TRUE(plugin.ok());
  EXPECT_EQ(55808u, plugin.saveBank().size());
  ASSERT_EQ(LV2_STATE_SUCCESS, plugin.restoreBank(vstBank));
  EXPECT_EQ(vstBank, plugin.saveBank());

  const std::string folder =
      std::filesystem::temp_directory_path() / ("vtrn-lv2-state-" + std::to_string(getpid()));
  plugin.saveStateFolder(folder);
  LV2Instance reopened(*world);
  ASSERT_TRUE(reopened.ok());
  ASSERT_TRUE(reopened.restoreStateFile(folder + "/state.ttl"));
  EXPECT_EQ(vstBank, reopened.saveBank());

  // The bank tool reads the host's state folder, and writes a preset bundle that hosts load into the plug-in.
  auto read = std::make_unique<vantorine::bank::PresetBank>();
  std::vector<std::string> errors;
  int32_t current = -1;
  ASSERT_TRUE(vantorine::bank::BankFile::load(folder, *read, errors, &current)) << errors.at(0);
  EXPECT_EQ(vstBank, vantorine::bank::BankBytes(*read));
  const std::string preset = folder + "/rig.lv2";
  ASSERT_EQ("", vantorine::bank::BankFile::save(preset, *read, *vantorine::bank::BankFile::formFor(preset), 9));
  LV2Instance loaded(*world);
  ASSERT_TRUE(loaded.ok());
  ASSERT_TRUE(loaded.restoreStateFile(preset + "/rig.ttl"));
  EXPECT_EQ(vstBank, loaded.saveBank());
  ASSERT_TRUE(vantorine::bank::BankFile::load(preset, *read, errors, &current));
  EXPECT_EQ(9, current) << "the preset port's program";
  std::filesystem::remove_all(folder);
}

TEST_F(LV2Plugin, ACycleNeitherAllocatesNorLocks) {
#if !VANTORINE_COUNT_CALLS
  GTEST_SKIP() << "sanitizers own the allocator";
#else
  LV2Instance plugin(*world);
  ASSERT_TRUE(plugin.ok());
  ASSERT_EQ(LV2_STATE_SUCCESS, plugin.restoreBank(BankImage(0, 5, 1)));
  plugin.run();
  const std::vector<TimedMidi> played = {At(1, {0x90, 60, 100}), At(2, {0xB0, 7, 1}), At(3, {0x80, 60, 0}),
                                         At(4, {0xC0, 9})};
  const int allocationsBefore = callcount::Allocations(), locksBefore = callcount::MutexLocks();
  plugin.countCallsInRun(true);
  for (int cycle = 0; cycle < 40; ++cycle) {
    plugin.setControl(kMidiThruPort, cycle % 4 < 2 ? 1.f : 0.f);
    plugin.setControl(kResendPort, cycle % 2);
    plugin.setControl(kPresetPort, 1 + cycle % 7);
    plugin.run(played);
  }
  plugin.countCallsInRun(false);
  EXPECT_EQ(allocationsBefore, callcount::Allocations());
  EXPECT_EQ(locksBefore, callcount::MutexLocks());
#endif
}

}  // namespace
