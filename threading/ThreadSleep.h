// Plain sleeps for threads that have no stop request to watch: short pauses in the toolkit and timing
// where a signal must not cut the wait short.
#pragma once

namespace tovo::threading {

// Sleeps ms milliseconds (usleep).
void ThreadSleep(unsigned ms);
// Sleeps the whole and fractional seconds (both truncated toward zero), restarting with the time left
// whenever a signal interrupts; returns the last nanosleep result (0, or -1 for a negative, huge or
// NaN duration).
int PreciseSleep(double seconds);

}  // namespace tovo::threading
