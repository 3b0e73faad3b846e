#include "engine/TickClock.h"

#include <cmath>

namespace {
constexpr double kRoundingSlack = 1e-9;
}  // namespace

void TickClock::SetTickLength(double seconds) {
    if (std::isfinite(seconds) && seconds > 0.0) {
        tickLength = seconds;
    }
}

int TickClock::TicksDue(double frameSeconds) {
    if (std::isfinite(frameSeconds) && frameSeconds > 0.0) {
        accumulator += frameSeconds;
    }
    // A whole tick short by rounding alone (tick lengths are not exact in binary) is due.
    const double due = std::floor(accumulator / tickLength + kRoundingSlack);
    if (due >= kMaxTicksPerFrame) {
        accumulator = 0.0;
        return kMaxTicksPerFrame;
    }
    accumulator -= due * tickLength;
    // Rounding can leave a remainder a hair below zero.
    if (accumulator < 0.0) {
        accumulator = 0.0;
    }
    return static_cast<int>(due);
}
