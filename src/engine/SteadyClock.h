#pragma once
// The one clock of the frame loop and the audio bookkeeping: the standard steady clock read as a
// 64-bit count of nanoseconds. Sharing it keeps sound start times comparable with frame times.

#include <chrono>
#include <cstdint>

inline std::int64_t NowNanoseconds() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
