// Hosts restore a project in either order, preset selection then chunk or
// chunk then preset selection, or with a preset chunk: in each the plug-in
// sends the start-up messages exactly once, the init delay after the chunk
// was loaded, and never when Init-Send is off or the chunk was refused.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "host/VstHost.h"

namespace {

struct SavedState {
  std::vector<uint8_t> bank;
  std::vector<uint8_t> preset;
};

// The state a project saved with Init-Send on (or off) and a one-second init delay.
SavedState SaveProject(bool initSend) {
  VstHost saver;
  EXPECT_TRUE(saver.load(VANTORINE_PLUGIN_PATH)) << saver.error();
  saver.setParameter(3, initSend ? 1.f : 0.f);
  saver.setParameter(4, 1.f / 999.f);
  return {saver.getChunk(false), saver.getChunk(true)};
}

class StartUpSend : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(host.load(VANTORINE_PLUGIN_PATH)) << host.error();
    host.mainsChanged(true);
  }
  // Processes blocks in real time for the given seconds; returns the times (after `from`) of Program Changes.
  std::vector<double> ProgramChangesWithin(double seconds, double from) {
    std::vector<double> times;
    while (host.secondsSinceStart() - from < seconds) {
      host.processBlock();
      for (const ReceivedEvent& e : host.takeEvents())
        if ((e.bytes()[0] & 0xF0) == 0xC0) times.push_back(e.seconds - from);
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return times;
  }
  // Exactly one start-up send, about the init delay after the chunk load.
  void ExpectOneSendOneSecondAfter(double loadedAt) {
    const std::vector<double> sends = ProgramChangesWithin(1.6, loadedAt);
    ASSERT_EQ(1u, sends.size());
    EXPECT_NEAR(1.0, sends[0], 0.3);
  }
  VstHost host;
};

TEST_F(StartUpSend, ProgramThenBankChunk) {
  const SavedState saved = SaveProject(true);
  host.setProgram(0);
  // The delay starts once the bank is in, which takes a while under the sanitizers.
  ASSERT_EQ(1, host.setChunk(saved.bank, false));
  const double loadedAt = host.secondsSinceStart();
  ExpectOneSendOneSecondAfter(loadedAt);
}

TEST_F(StartUpSend, BankChunkThenProgram) {
  const SavedState saved = SaveProject(true);
  ASSERT_EQ(1, host.setChunk(saved.bank, false));
  const double loadedAt = host.secondsSinceStart();
  host.setProgram(0);
  ExpectOneSendOneSecondAfter(loadedAt);
}

TEST_F(StartUpSend, PresetChunk) {
  const SavedState saved = SaveProject(true);
  host.setProgram(0);
  ASSERT_EQ(1, host.setChunk(saved.preset, true));
  const double loadedAt = host.secondsSinceStart();
  host.setProgram(0);
  ExpectOneSendOneSecondAfter(loadedAt);
}

TEST_F(StartUpSend, NoneWhenInitSendIsOffOrTheChunkIsRefused) {
  const SavedState off = SaveProject(false);
  host.setProgram(0);
  ASSERT_EQ(1, host.setChunk(off.bank, false));
  std::vector<uint8_t> damaged = SaveProject(true).bank;
  damaged.resize(1000);
  ASSERT_EQ(0, host.setChunk(damaged, false));
  EXPECT_TRUE(ProgramChangesWithin(1.5, host.secondsSinceStart()).empty());
}

}  // namespace
