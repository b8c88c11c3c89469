// A thread's owner always gets it back: a stop request cuts its sleeps short and is joined promptly
// whether or not the routine already returned, restarts and destruction join the old thread, and the two
// mutex kinds exclude a second thread.
#include <gtest/gtest.h>
#include <pthread.h>
#include <sched.h>
#include <signal.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "threading/SMutexID.h"
#include "threading/SMutexOS.h"
#include "threading/SThread.h"
#include "threading/ThreadSleep.h"

using tovo::threading::PreciseSleep;
using tovo::threading::SMutexID;
using tovo::threading::SMutexOS;
using tovo::threading::SThread;
using tovo::threading::ThreadSleep;
using Clock = std::chrono::steady_clock;

namespace {

// Generous enough for sanitizer builds on a busy machine, far below the one-second sleeps it cuts short.
constexpr auto kPrompt = std::chrono::milliseconds(300);

struct Probe {
  std::atomic<bool> entered{false};
  std::atomic<bool> exited{false};
  std::atomic<int> seconds{0};
  std::atomic<bool> sleepCompleted{false};
  std::atomic<SThread*> self{nullptr};
  std::atomic<int> policy{-1};
  std::atomic<int> startResult{-1};
};

void WaitFor(const std::atomic<bool>& flag) {
  while (!flag.load(std::memory_order_acquire)) std::this_thread::yield();
}

// The delay timer's shape: count seconds until told to stop.
void* CountSeconds(void* argument) {
  auto* probe = static_cast<Probe*>(argument);
  probe->self.store(SThread::Current());
  probe->entered.store(true, std::memory_order_release);
  while (SThread::Current()->SleepFor(1000)) probe->seconds.fetch_add(1);
  probe->exited.store(true, std::memory_order_release);
  return nullptr;
}

void* ReturnAtOnce(void* argument) {
  auto* probe = static_cast<Probe*>(argument);
  sched_param parameters{};
  int policy = -1;
  pthread_getschedparam(pthread_self(), &policy, &parameters);
  probe->policy.store(policy);
  probe->self.store(SThread::Current());
  probe->exited.store(true, std::memory_order_release);
  return nullptr;
}

void* ShortSleep(void* argument) {
  auto* probe = static_cast<Probe*>(argument);
  probe->entered.store(true, std::memory_order_release);
  probe->sleepCompleted.store(SThread::Current()->SleepFor(20));
  probe->exited.store(true, std::memory_order_release);
  return nullptr;
}

}  // namespace

TEST(SThread, RunsTheRoutineWithItsArgumentAtOrdinaryPriority) {
  Probe probe;
  SThread thread(2);
  EXPECT_EQ(nullptr, SThread::Current());
  ASSERT_EQ(0, thread.Start(&ReturnAtOnce, &probe));
  EXPECT_TRUE(thread.Running());
  WaitFor(probe.exited);
  EXPECT_EQ(&thread, probe.self.load());
  EXPECT_EQ(SCHED_OTHER, probe.policy.load());
  EXPECT_EQ(0, thread.Priority());
  thread.Cancel();
  EXPECT_TRUE(thread.Finished());
}

TEST(SThread, NullRoutineOrArgumentStartsNothing) {
  Probe probe;
  SThread thread(2);
  EXPECT_EQ(EINVAL, thread.Start(nullptr, &probe));
  EXPECT_EQ(EINVAL, thread.Start(&ReturnAtOnce, nullptr));
  EXPECT_FALSE(thread.Running());
  thread.Cancel();
}

TEST(SThread, StopWhileSleepingReturnsPromptlyAndJoins) {
  Probe probe;
  SThread thread(2);
  ASSERT_EQ(0, thread.Start(&CountSeconds, &probe));
  WaitFor(probe.entered);
  const auto begin = Clock::now();
  thread.Cancel();
  EXPECT_LT(Clock::now() - begin, kPrompt);
  EXPECT_TRUE(probe.exited.load());
  EXPECT_EQ(0, probe.seconds.load());
  EXPECT_FALSE(thread.Running());
  EXPECT_TRUE(thread.StopRequested());
  thread.Cancel();
}

TEST(SThread, CancelAfterTheRoutineReturnedIsHarmless) {
  Probe probe;
  SThread thread(2);
  ASSERT_EQ(0, thread.Start(&ReturnAtOnce, &probe));
  WaitFor(probe.exited);
  while (!thread.Finished()) std::this_thread::yield();
  // The routine has returned but the object still counts as running until someone stops it.
  EXPECT_TRUE(thread.Running());
  thread.Cancel();
  EXPECT_FALSE(thread.Running());
  thread.Cancel();
}

TEST(SThread, RestartStopsTheOldThreadAndClearsTheStopRequest) {
  Probe first;
  Probe second;
  SThread thread(2);
  ASSERT_EQ(0, thread.Start(&CountSeconds, &first));
  WaitFor(first.entered);
  ASSERT_EQ(0, thread.Start(&ShortSleep, &second));
  EXPECT_TRUE(first.exited.load());
  WaitFor(second.exited);
  EXPECT_TRUE(second.sleepCompleted.load());

  // Restarting after a Cancel works the same way.
  thread.Cancel();
  Probe third;
  ASSERT_EQ(0, thread.Start(&ShortSleep, &third));
  WaitFor(third.exited);
  EXPECT_TRUE(third.sleepCompleted.load());
}

TEST(SThread, DestructorJoins) {
  Probe probe;
  const auto begin = Clock::now();
  {
    SThread thread(3);
    ASSERT_EQ(0, thread.Start(&CountSeconds, &probe));
    WaitFor(probe.entered);
  }
  EXPECT_TRUE(probe.exited.load());
  EXPECT_LT(Clock::now() - begin, kPrompt);
}

TEST(SThread, AStopRequestedBeforeTheSleepIsNotSleptThrough) {
  struct Late {
    std::atomic<bool> sleptFully{true};
    std::atomic<bool> done{false};
  } late;
  auto routine = [](void* argument) -> void* {
    auto* state = static_cast<Late*>(argument);
    SThread* self = SThread::Current();
    while (!self->StopRequested()) std::this_thread::yield();
    state->sleptFully.store(self->SleepFor(10000));
    state->done.store(true);
    return nullptr;
  };
  SThread thread(0);
  ASSERT_EQ(0, thread.Start(routine, &late));
  const auto begin = Clock::now();
  thread.Cancel();
  EXPECT_LT(Clock::now() - begin, kPrompt);
  EXPECT_TRUE(late.done.load());
  EXPECT_FALSE(late.sleptFully.load());
}

TEST(SThread, CancelFromTheRoutineItselfDoesNotDeadlock) {
  Probe probe;
  auto routine = [](void* argument) -> void* {
    auto* state = static_cast<Probe*>(argument);
    SThread* self = SThread::Current();
    state->startResult.store(self->Start(&ReturnAtOnce, argument));
    self->Cancel();
    state->exited.store(true, std::memory_order_release);
    return nullptr;
  };
  SThread thread(2);
  ASSERT_EQ(0, thread.Start(routine, &probe));
  WaitFor(probe.exited);
  EXPECT_EQ(EDEADLK, probe.startResult.load());
  while (!thread.Finished()) std::this_thread::yield();
  EXPECT_FALSE(thread.Running());
}

TEST(SThread, WaitEndsOnResumeOrStop) {
  Probe probe;
  auto routine = [](void* argument) -> void* {
    auto* state = static_cast<Probe*>(argument);
    SThread::Current()->Wait(5);
    state->seconds.fetch_add(1);
    SThread::Current()->Wait(5);
    state->exited.store(true, std::memory_order_release);
    return nullptr;
  };
  SThread thread(2);
  ASSERT_EQ(0, thread.Start(routine, &probe));
  while (!thread.Waiting()) std::this_thread::yield();
  thread.Resume();
  while (probe.seconds.load() == 0) std::this_thread::yield();
  while (!thread.Waiting()) std::this_thread::yield();
  const auto begin = Clock::now();
  thread.Cancel();
  EXPECT_LT(Clock::now() - begin, kPrompt);
  EXPECT_TRUE(probe.exited.load());
}

TEST(SMutexID, ExcludesASecondThreadUntilUnlock) {
  SMutexID lock;
  std::atomic<bool> acquired{false};
  lock.Lock();
  EXPECT_TRUE(lock.Locked());
  std::thread other([&] {
    lock.Lock();
    acquired.store(true);
    lock.Unlock();
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_FALSE(acquired.load());
  EXPECT_FALSE(lock.TryLock());
  lock.Unlock();
  other.join();
  EXPECT_TRUE(acquired.load());
  EXPECT_EQ(0, lock.Count());
  EXPECT_FALSE(lock.Locked());
}

TEST(SMutexID, StrayUnlockDoesNotOpenTheLockToTwo) {
  SMutexID lock;
  lock.Unlock();
  EXPECT_EQ(0, lock.Count());
  ASSERT_TRUE(lock.TryLock());
  EXPECT_FALSE(lock.TryLock());
  lock.Unlock();
  lock.Unlock();
  EXPECT_EQ(0, lock.Count());
}

template <typename Mutex>
void ExpectExclusion() {
  Mutex lock;
  long shared = 0;
  auto work = [&] {
    for (int i = 0; i < 20000; ++i) {
      lock.Lock();
      long seen = shared;
      shared = seen + 1;
      lock.Unlock();
    }
  };
  std::thread a(work);
  std::thread b(work);
  a.join();
  b.join();
  EXPECT_EQ(40000, shared);
}

TEST(SMutexID, CountsUnderContentionStayExact) {
  ExpectExclusion<SMutexID>();
}

TEST(SMutexOS, CountsUnderContentionStayExact) {
  ExpectExclusion<SMutexOS>();
}

TEST(SMutexOS, FlagFollowsLockAndUnlock) {
  SMutexOS mutex;
  ASSERT_TRUE(mutex.Valid());
  EXPECT_EQ(0, mutex.Lock());
  EXPECT_TRUE(mutex.Locked());
  EXPECT_EQ(0, mutex.Unlock());
  EXPECT_FALSE(mutex.Locked());
  // Destroyed while locked: the destructor releases it before destroying it.
  auto* held = new SMutexOS;
  held->Lock();
  delete held;
}

TEST(Sleeps, PreciseSleepRestartsAfterASignal) {
  struct sigaction action {};
  action.sa_handler = [](int) {};
  sigemptyset(&action.sa_mask);
  struct sigaction previous {};
  ASSERT_EQ(0, sigaction(SIGUSR1, &action, &previous));

  const pthread_t sleeper = pthread_self();
  std::thread interrupter([sleeper] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    pthread_kill(sleeper, SIGUSR1);
  });
  const auto begin = Clock::now();
  EXPECT_EQ(0, PreciseSleep(0.08));
  EXPECT_GE(Clock::now() - begin, std::chrono::milliseconds(80));
  interrupter.join();
  sigaction(SIGUSR1, &previous, nullptr);

  EXPECT_EQ(-1, PreciseSleep(-1.0));
}

TEST(Sleeps, ThreadSleepWaitsAtLeastTheTime) {
  const auto begin = Clock::now();
  ThreadSleep(10);
  SThread::Sleep(5);
  EXPECT_GE(Clock::now() - begin, std::chrono::milliseconds(15));
}
