// The delay timer counts the configured seconds down with a signal for the
// editor each second, then sends the strips; a stop ends it without sending,
// and the start-up send happens at most once per instance.
#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <thread>

#include "PluginHarness.h"

namespace {

using Clock = std::chrono::steady_clock;

// Records the editor signals the engine raises through its own parameters.
class SignalRecordingPlugin : public VSTPlugin {
 public:
  struct Signal {
    int index;
    double seconds;
  };
  SignalRecordingPlugin(vantorine::PluginHost& pluginHost, int& status) : VSTPlugin(pluginHost, status) {}
  ~SignalRecordingPlugin() override { ShutdownTimer(); }
  void setParameter(VstInt32 index, float value) override {
    if (index >= kEditorSignalFirst && index <= kEditorSignalLast) {
      std::lock_guard<std::mutex> lock(mutex);
      signals.push_back({index, std::chrono::duration<double>(Clock::now() - start).count()});
    }
    VSTPlugin::setParameter(index, value);
  }
  std::vector<Signal> Signals() {
    std::lock_guard<std::mutex> lock(mutex);
    return signals;
  }
  std::vector<int> SignalIndexes() {
    std::vector<int> indexes;
    for (const Signal& s : Signals()) indexes.push_back(s.index);
    return indexes;
  }
  Clock::time_point start = Clock::now();

 private:
  std::mutex mutex;
  std::vector<Signal> signals;
};

class DelayTimer : public ::testing::Test {
 protected:
  PluginHarness host;
  HostedPlugin<SignalRecordingPlugin> hosted = HostedPlugin<SignalRecordingPlugin>::Make();
  SignalRecordingPlugin& plugin = *hosted;

  void SetUp() override {
    hosted.dispatcher(effMainsChanged, 0, 1, nullptr, 0);
    plugin.setProgram(0);  // uses up the first preset change after start
  }
  // Processes blocks until MIDI comes out or the time is up; returns when it came.
  double WaitForMidi(double limitSeconds) {
    while (std::chrono::duration<double>(Clock::now() - plugin.start).count() < limitSeconds) {
      if (!host.Process(plugin).empty()) return std::chrono::duration<double>(Clock::now() - plugin.start).count();
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return -1;
  }
};

TEST_F(DelayTimer, ChangeSendCountsDownThenSends) {
  plugin.setParameter(VSTPlugin::kChangeSend, 1.f);
  plugin.setParameter(VSTPlugin::kChangeDelay, 2 / 999.f);
  plugin.start = Clock::now();
  plugin.setProgram(5);
  const double sentAt = WaitForMidi(4.0);
  ASSERT_GT(sentAt, 1.9);
  EXPECT_LT(sentAt, 3.0);
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  const std::vector<int> expected = {107, 108, 108, 109, 107};
  EXPECT_EQ(expected, plugin.SignalIndexes());
  const auto signals = plugin.Signals();
  ASSERT_EQ(5u, signals.size());
  EXPECT_NEAR(1.0, signals[2].seconds - signals[1].seconds, 0.2) << "one second between countdown signals";
  EXPECT_FALSE(plugin.TimerRunning());
  EXPECT_EQ(VSTPlugin::kTimerChange, plugin.TimerKindValue());
}

TEST_F(DelayTimer, ZeroDelaySendsWithTheNextCallWithoutTimer) {
  plugin.setParameter(VSTPlugin::kChangeSend, 1.f);
  plugin.setProgram(2);
  EXPECT_EQ(1u, host.Process(plugin).size());
  EXPECT_TRUE(plugin.Signals().empty());
}

TEST_F(DelayTimer, StopEndsTheCountdownWithoutSending) {
  plugin.setParameter(VSTPlugin::kChangeSend, 1.f);
  plugin.setParameter(VSTPlugin::kChangeDelay, 1 / 999.f);
  plugin.setProgram(3);
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  hosted.dispatcher(effMainsChanged, 0, 0, nullptr, 0);  // suspend stops the timer
  hosted.dispatcher(effMainsChanged, 0, 1, nullptr, 0);
  EXPECT_FALSE(plugin.TimerRunning());
  EXPECT_LT(WaitForMidi(1.6), 0) << "a stopped countdown sends nothing";
  const std::vector<int> indexes = plugin.SignalIndexes();
  ASSERT_GE(indexes.size(), 2u);
  EXPECT_EQ(109, indexes[indexes.size() - 2]);
  EXPECT_EQ(107, indexes.back());
  // Stopping again, with nothing running, is harmless and silent.
  plugin.startTimer(false);
  EXPECT_EQ(indexes.size(), plugin.SignalIndexes().size());
}

TEST_F(DelayTimer, TurningChangeSendOffStopsAChangeCountdown) {
  plugin.setParameter(VSTPlugin::kChangeSend, 1.f);
  plugin.setParameter(VSTPlugin::kChangeDelay, 1 / 999.f);
  plugin.setProgram(3);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  plugin.setParameter(VSTPlugin::kChangeSend, 0.f);
  EXPECT_LT(WaitForMidi(1.5), 0);
}

TEST_F(DelayTimer, RestartingReplacesTheCountdown) {
  plugin.setParameter(VSTPlugin::kChangeSend, 1.f);
  plugin.setParameter(VSTPlugin::kChangeDelay, 1 / 999.f);
  plugin.start = Clock::now();
  plugin.setProgram(3);
  std::this_thread::sleep_for(std::chrono::milliseconds(600));
  plugin.setProgram(4);  // starts again from one second
  const double sentAt = WaitForMidi(3.0);
  EXPECT_GT(sentAt, 1.5);
  std::this_thread::sleep_for(std::chrono::milliseconds(1200));
  EXPECT_TRUE(host.Process(plugin).empty()) << "the replaced countdown never sends";
}

TEST_F(DelayTimer, DestroyingWhileCountingDownEndsTheThread) {
  HostedPlugin<> counting = MakePlugin();
  counting->setProgram(0);
  counting->setParameter(VSTPlugin::kChangeSend, 1.f);
  counting->setParameter(VSTPlugin::kChangeDelay, 1.f);
  counting->setProgram(1);
  for (int wait = 0; wait < 200 && !counting->TimerRunning(); ++wait)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_TRUE(counting->TimerRunning());
  counting.reset();  // joins the timer thread; sanitizers would report a thread left behind
}

}  // namespace
