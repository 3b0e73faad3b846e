#include "gameplay/RandomDraw.h"

#include "engine/Random.h"

int DrawRandom() {
    // The high 15 bits of the stream's 32.
    return static_cast<int>(NextRandom() >> 17);
}

double UnitDraw() {
    return DrawRandom() / static_cast<double>(kRandomDrawMax);
}
