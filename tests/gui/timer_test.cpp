// Timers mark themselves due from a thread of their own, once per interval, and never enter their control
// there: the thread that serves the control's windows delivers the type-9 message, once however many
// intervals passed, only for the controls it serves. A timer restarted keeps one worker, and a listener may
// stop or delete its timer during the delivery. The idle thread runs at the first idle timer's interval and
// stops with the last registration.
#include <atomic>
#include <functional>
#include <chrono>
#include <mutex>
#include <thread>

#include "GuiTest.h"
#include "gui/SToolkitLock.h"
#include "threading/STimer.h"
#include "threading/STimerIdle.h"

namespace tovo::gui {
namespace {

using tovo::threading::DeliverDueTimers;
using tovo::threading::STimer;
using tovo::threading::STimerIdle;

// What the serving thread does between events.
int Serve(const SGlobals* scope = nullptr) {
  SToolkitLock inside;
  return DeliverDueTimers(scope);
}

void Pause(int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

// Records the timer messages it is given and the thread that gave them.
class TimerListener : public SControl {
 public:
  void ParseEvent(SEvent* message) override {
    messages.push_back(*message);
    threads.push_back(std::this_thread::get_id());
    if (onMessage) onMessage();
  }
  // Serves until count messages came (or about two seconds passed).
  bool WaitFor(size_t count, const SGlobals* scope = nullptr) {
    for (int i = 0; i < 400 && messages.size() < count; ++i) {
      Serve(scope);
      Pause(5);
    }
    return messages.size() >= count;
  }

  std::vector<SEvent> messages;
  std::vector<std::thread::id> threads;
  std::function<void()> onMessage;
};

TEST(Timer, OnlyTheServingThreadDeliversOncePerServing) {
  TimerListener control;
  control.AddEventListener(&control, kEventTimer);
  STimer timer(&control, 42, 0);
  timer.Start(5);
  EXPECT_TRUE(timer.Running());
  Pause(60);
  // A dozen intervals: more when a busy machine lets the timer's thread wake late.
  for (int wait = 0; wait < 400 && !timer.Worker().Due(); ++wait) Pause(5);
  EXPECT_TRUE(control.messages.empty()) << "the timer's own thread entered the control";
  EXPECT_TRUE(timer.Worker().Due());
  // A dozen intervals passed: one message, not a burst.
  EXPECT_EQ(Serve(), 1);
  EXPECT_EQ(control.messages.size(), 1u);
  ASSERT_TRUE(control.WaitFor(3));
  timer.Stop();
  EXPECT_FALSE(timer.Running());
  for (size_t i = 0; i < control.messages.size(); ++i) {
    EXPECT_EQ(control.messages[i].type, kEventTimer);
    EXPECT_EQ(control.messages[i].kind, kKindValue);
    EXPECT_EQ(control.messages[i].value, 42);
    EXPECT_EQ(control.messages[i].sender, &control);
    EXPECT_EQ(control.threads[i], std::this_thread::get_id());
  }
  Pause(20);
  EXPECT_EQ(Serve(), 0) << "a stopped timer was delivered";
}

TEST(Timer, StartTwiceLeavesOneWorker) {
  TimerListener control;
  control.AddEventListener(&control, kEventTimer);
  STimer timer(&control, 7, 0);
  timer.Start(5);
  timer.Start(5);
  for (int i = 0; i < 5; ++i) {
    Pause(15);
    EXPECT_LE(Serve(), 1) << "two workers mark the same timer";
  }
  timer.Stop();
  EXPECT_FALSE(timer.Worker().Active());
  Pause(20);
  EXPECT_EQ(Serve(), 0) << "a worker outlived Stop";
}

TEST(Timer, DeliveryIsScopedToTheServedControls) {
  SGlobals served, other;
  test::Probe mine(&served, nullptr, 0), theirs(&other, nullptr, 0);
  TimerListener listener;
  mine.AddEventListener(&listener, kEventTimer);
  theirs.AddEventListener(&listener, kEventTimer);
  mine.CreateTimer(5, true);
  theirs.CreateTimer(5, true);
  // However late a busy machine wakes the timer thread, serving one scope delivers only its controls' timers.
  ASSERT_TRUE(listener.WaitFor(1, &served));
  for (const SEvent& message : listener.messages) EXPECT_EQ(message.sender, &mine);
  const size_t mineDelivered = listener.messages.size();
  ASSERT_TRUE(listener.WaitFor(mineDelivered + 1, &other));
  EXPECT_EQ(listener.messages.back().sender, &theirs);
}

TEST(Timer, ListenerMayDeleteTheTimerDuringItsDelivery) {
  TimerListener control;
  control.AddEventListener(&control, kEventTimer);
  auto* timer = new STimer(&control, 3, 0);
  bool deleted = false;
  control.onMessage = [&] {
    if (deleted) return;
    delete timer;
    deleted = true;
  };
  timer->Start(5);
  ASSERT_TRUE(control.WaitFor(1));
  EXPECT_TRUE(deleted);
  Pause(30);
  EXPECT_EQ(Serve(), 0);
  EXPECT_EQ(control.messages.size(), 1u);
}

TEST(Timer, ControlTimerCarriesItsFreshId) {
  SGlobals globals;
  test::Probe probe(&globals, nullptr, 0);
  TimerListener listener;
  probe.AddEventListener(&listener, kEventTimer);
  probe.CreateTimer(5, true);
  EXPECT_NE(probe.GetTimerId(), 0);
  EXPECT_TRUE(probe.GetStyle() & kStyleHasTimer);
  ASSERT_TRUE(listener.WaitFor(2));
  const int id = probe.GetTimerId();
  probe.StopTimer(true);
  EXPECT_EQ(probe.GetTimer(), nullptr);
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
