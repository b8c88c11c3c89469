// When the strip messages go out: the send decision on a preset change and
// the delay timer that waits the init or change delay before sending.
//
// The timer's thread lives as long as the plug-in and sleeps on a semaphore.
// Starting or stopping a countdown only bumps a generation number and posts
// the semaphore, which never blocks: the audio thread (an incoming Program
// Change with preset switching on) can schedule a delayed send without
// creating a thread. A countdown whose generation is no longer current was
// stopped and sends nothing.
#include <time.h>

#include <cerrno>

#include "plugin/ParameterScale.h"
#include "plugin/VSTPlugin.h"
#include "preset/PresetBytes.h"

int VSTPlugin::DelayFromParameter(int index) {
  return ScaleToInt(getParameter(index), kMaxDelaySeconds);
}

void VSTPlugin::SendDecision() {
  if (IsOn(kChangeSend) && !firstProgramPending && !chunkLoaded && !hostWorkaround) {
    ScheduleSend(DelayFromParameter(kChangeDelay), kTimerChange);
  } else {
    ScheduleInitSend();
  }
  if (!firstProgramPending) hostWorkaround = false;
  firstProgramPending = false;
  chunkLoaded = false;
  if (!LoadShared(CurrentProgram().midiThru)) notesOffPending = true;
}

// The start-up send happens at most once per instance, whoever asks first.
void VSTPlugin::ScheduleInitSend() {
  if (IsOn(kInitSend) && !initSendDone.exchange(true)) ScheduleSend(DelayFromParameter(kInitDelay), kTimerInit);
}

void VSTPlugin::ScheduleSend(int seconds, TimerKind kind) {
  delaySeconds = seconds;
  if (seconds <= 0) {
    sendPCData();
    return;
  }
  timerKind = kind;
  startTimer(true);
}

void VSTPlugin::startTimer(bool start) {
  if (start) {
    startTimer(false);
    timerRequest.store(timerGeneration.fetch_add(1, std::memory_order_acq_rel) + 1, std::memory_order_release);
    sem_post(&timerWake);
    return;
  }
  // A stop also cancels a start the timer thread has not taken up yet.
  timerRequest.store(0, std::memory_order_release);
  timerGeneration.fetch_add(1, std::memory_order_acq_rel);
  sem_post(&timerWake);
  // Whoever takes the running flag down tells the editor.
  if (timerRunning.exchange(false, std::memory_order_acq_rel)) {
    Signal(kSignalTimerEnd);
    Signal(kSignalTimerState);
  }
}

void VSTPlugin::ShutdownTimer() {
  timerShutdown.store(true, std::memory_order_release);
  timerGeneration.fetch_add(1, std::memory_order_acq_rel);
  sem_post(&timerWake);
  timerThread.Cancel();
}

void* VSTPlugin::timerfunction(void* plugin) {
  if (plugin) static_cast<VSTPlugin*>(plugin)->TimerLoop();
  return nullptr;
}

void VSTPlugin::TimerLoop() {
  while (!timerShutdown.load(std::memory_order_acquire)) {
    const uint32_t generation = timerRequest.exchange(0, std::memory_order_acq_rel);
    if (generation == 0) {
      WaitForTimerEvent(-1);
      continue;
    }
    if (!TimerRunCancelled(generation)) RunCountdown(generation);
  }
}

bool VSTPlugin::TimerRunCancelled(uint32_t generation) const {
  return timerShutdown.load(std::memory_order_acquire) ||
         timerGeneration.load(std::memory_order_acquire) != generation;
}

// Waits for a post, or for the given time (a negative time waits for ever).
// True when woken by a post.
bool VSTPlugin::WaitForTimerEvent(long milliseconds) {
  if (milliseconds < 0) {
    while (sem_wait(&timerWake) != 0 && errno == EINTR) {
    }
    return true;
  }
  timespec deadline;
  clock_gettime(CLOCK_MONOTONIC, &deadline);
  deadline.tv_sec += milliseconds / 1000;
  deadline.tv_nsec += (milliseconds % 1000) * 1000000L;
  if (deadline.tv_nsec >= 1000000000L) {
    deadline.tv_sec += 1;
    deadline.tv_nsec -= 1000000000L;
  }
  for (;;) {
    if (sem_clockwait(&timerWake, CLOCK_MONOTONIC, &deadline) == 0) return true;
    if (errno != EINTR) return false;
  }
}

void VSTPlugin::RunCountdown(uint32_t generation) {
  timerRunning.store(true, std::memory_order_release);
  secondsLeft = delaySeconds + 1;
  Signal(kSignalTimerState);
  bool cancelled = false;
  while (--secondsLeft > 0) {
    if ((cancelled = TimerRunCancelled(generation))) break;
    Signal(kSignalTimerSecond);
    timespec start;
    clock_gettime(CLOCK_MONOTONIC, &start);
    for (long waited = 0; waited < 1000 && !(cancelled = TimerRunCancelled(generation));) {
      WaitForTimerEvent(1000 - waited);
      timespec now;
      clock_gettime(CLOCK_MONOTONIC, &now);
      waited = (now.tv_sec - start.tv_sec) * 1000 + (now.tv_nsec - start.tv_nsec) / 1000000;
    }
    if (cancelled) break;
  }
  // Taking the running flag down commits the send; a stop that took it first has signalled already.
  if (!timerRunning.exchange(false, std::memory_order_acq_rel)) return;
  if (!cancelled && !TimerRunCancelled(generation) && (IsOn(kChangeSend) || IsOn(kInitSend))) sendPCData();
  Signal(kSignalTimerEnd);
  Signal(kSignalTimerState);
}

// A send the timer was waiting for, and strips waiting for their settle time, are lost when the host stops
// processing.
void VSTPlugin::suspend() {
  SPlugin::suspend();
  startTimer(false);
  dropWaitingSend.store(true, std::memory_order_release);
  // Processing has stopped: nothing counts the wait down any more, so the editor must not show it.
  if (settleMsLeft.exchange(0, std::memory_order_relaxed) != 0) Signal(kSignalSettle);
}
