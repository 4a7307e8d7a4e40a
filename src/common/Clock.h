#pragma once
// The one clock of the program: monotonic milliseconds. It never jumps back (midnight,
// daylight saving, a clock set by hand), so every wait and elapsed time is measured on it.

#include <cstdint>

int64_t NowMs();
// Sleeps the calling thread for the given number of milliseconds.
void SleepMs(int64_t ms);
