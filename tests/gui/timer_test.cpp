// Timers post type-9 messages to their control from a thread of their own, one thread per timer even
// when restarted, and can be stopped from their own delivery; the idle thread runs at the first idle
// timer's interval and stops with the last registration.
#include <atomic>
#include <functional>
#include <chrono>
#include <mutex>
#include <thread>

#include "GuiTest.h"
#include "threading/STimer.h"
#include "threading/STimerIdle.h"

namespace tovo::gui {
namespace {

using tovo::threading::STimer;
using tovo::threading::STimerIdle;

// Records timer messages from the timer thread; read by the test thread under the lock.
class TimerListener : public SControl {
 public:
  void ParseEvent(SEvent* message) override {
    std::lock_guard<std::mutex> guard(lock);
    messages.push_back(*message);
    threads.push_back(std::this_thread::get_id());
    if (onMessage) onMessage();
  }
  size_t Count() {
    std::lock_guard<std::mutex> guard(lock);
    return messages.size();
  }
  bool WaitFor(size_t count) {
    for (int i = 0; i < 400 && Count() < count; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return Count() >= count;
  }

  std::mutex lock;
  std::vector<SEvent> messages;
  std::vector<std::thread::id> threads;
  std::function<void()> onMessage;
};

TEST(Timer, DeliversTimerMessagesToTheControlsListeners) {
  TimerListener control;
  control.AddEventListener(&control, kEventTimer);
  STimer timer(&control, 42, 0);
  timer.Start(5);
  EXPECT_TRUE(timer.Running());
  ASSERT_TRUE(control.WaitFor(3));
  timer.Stop();
  EXPECT_FALSE(timer.Running());
  std::lock_guard<std::mutex> guard(control.lock);
  for (const SEvent& message : control.messages) {
    EXPECT_EQ(message.type, kEventTimer);
    EXPECT_EQ(message.kind, kKindValue);
    EXPECT_EQ(message.value, 42);
    EXPECT_EQ(message.sender, &control);
  }
  EXPECT_NE(control.threads[0], std::this_thread::get_id());
}

TEST(Timer, StartTwiceLeavesOneWorker) {
  TimerListener control;
  control.AddEventListener(&control, kEventTimer);
  STimer timer(&control, 7, 0);
  timer.Start(5);
  timer.Start(5);
  const size_t before = control.Count();
  ASSERT_TRUE(control.WaitFor(before + 4));
  timer.Stop();
  const size_t after = control.Count();
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  std::lock_guard<std::mutex> guard(control.lock);
  EXPECT_EQ(control.messages.size(), after) << "a worker outlived Stop";
  for (size_t i = before; i < control.threads.size(); ++i) EXPECT_EQ(control.threads[i], control.threads[before]);
}

TEST(Timer, ListenerMayDeleteTheTimerDuringItsDelivery) {
  TimerListener control;
  control.AddEventListener(&control, kEventTimer);
  auto* timer = new STimer(&control, 3, 0);
  std::atomic<bool> started{false}, deleted{false};
  size_t deliveredBeforeDelete = 0;
  // Deletes on the first tick after Start has returned to its caller.
  control.onMessage = [&] {
    if (!started.load() || deleted.load()) return;
    deliveredBeforeDelete = control.messages.size();
    delete timer;
    deleted.store(true);
  };
  timer->Start(5);
  started.store(true);
  for (int i = 0; i < 400 && !deleted.load(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  ASSERT_TRUE(deleted.load());
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  EXPECT_EQ(control.Count(), deliveredBeforeDelete);
}

TEST(Timer, ControlTimerCarriesItsFreshId) {
  SGlobals globals;
  test::Probe probe(&globals, nullptr, 0);
  struct Relay : TimerListener {};
  Relay listener;
  probe.AddEventListener(&listener, kEventTimer);
  probe.CreateTimer(5, true);
  EXPECT_NE(probe.GetTimerId(), 0);
  EXPECT_TRUE(probe.GetStyle() & kStyleHasTimer);
  ASSERT_TRUE(listener.WaitFor(2));
  const int id = probe.GetTimerId();
  probe.StopTimer(true);
  EXPECT_EQ(probe.GetTimer(), nullptr);
  std::lock_guard<std::mutex> guard(listener.lock);
  EXPECT_EQ(listener.messages[0].value, id);
}

std::atomic<int> idleCalls{0};
void CountIdle(void* step) { idleCalls.fetch_add(*static_cast<int*>(step)); }

TEST(IdleThread, RunsAtTheFirstIntervalAndStopsWithTheLastRegistration) {
  ASSERT_FALSE(STimerIdle::Running());
  int step = 1;
  {
    auto* first = new STimerIdle(nullptr, 0, 10, false);
    auto* second = new STimerIdle(nullptr, 0, 50, false);
    EXPECT_TRUE(STimerIdle::Running());
    EXPECT_EQ(STimerIdle::RunningInterval(), 10u);
    first->Register(&CountIdle, &step);
    first->Register(&CountIdle, &step);
    EXPECT_EQ(STimerIdle::Registered(), 1u);
    for (int i = 0; i < 400 && idleCalls.load() < 3; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_GE(idleCalls.load(), 3);

    // The thread keeps its interval after the timer that chose it has gone.
    second->Register(&CountIdle, &second);
    delete first;
    EXPECT_TRUE(STimerIdle::Running());
    EXPECT_EQ(STimerIdle::RunningInterval(), 10u);
    second->Unregister();
    delete second;
  }
  EXPECT_FALSE(STimerIdle::Running());
  EXPECT_EQ(STimerIdle::Registered(), 0u);
}

TEST(IdleThread, ControlRegistersItsIdleFunctionOnce) {
  SGlobals globals;
  test::Probe probe(&globals, nullptr, 0);
  void (*function)(void*) = &CountIdle;
  int step = 0;
  probe.CreateIdleFunction(&function, &step);
  EXPECT_EQ(STimerIdle::Registered(), 0u);
  probe.CreateIdleTimer(22, false);
  probe.CreateIdleFunction(&function, &step);
  probe.CreateIdleFunction(&function, &step);
  EXPECT_EQ(STimerIdle::Registered(), 1u);
  EXPECT_EQ(STimerIdle::RunningInterval(), 22u);
  probe.DestroyIdleFunction();
  EXPECT_EQ(STimerIdle::Registered(), 0u);
  probe.DestroyIdleTimer();
  EXPECT_FALSE(STimerIdle::Running());
}

}  // namespace
}  // namespace tovo::gui
