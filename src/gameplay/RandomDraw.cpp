#include "gameplay/RandomDraw.h"

#include <cstdlib>

int DrawRandom() {
    // Keeps the high bits, which are the better ones in simple generators; a C library whose
    // RAND_MAX is already 32767 divides by 1.
    constexpr int kDivisor = RAND_MAX / (kRandomDrawMax + 1) + 1;
    return std::rand() / kDivisor;
}

double UnitDraw() {
    return DrawRandom() / static_cast<double>(kRandomDrawMax);
}
