// How many rounds a randomized test runs. Under a sanitizer every copy of a bank (megabytes, with room for
// each preset's longest SysEx list) is checked byte by byte, and a round costs a hundred times what it costs
// in the plain build: those builds run a tenth of the rounds, enough to find memory and thread faults,
// while the plain build runs them all for the logic.
#pragma once

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr int kFuzzRoundsDivisor = 10;
#else
constexpr int kFuzzRoundsDivisor = 1;
#endif

constexpr int FuzzRounds(int rounds) { return rounds / kFuzzRoundsDivisor; }
