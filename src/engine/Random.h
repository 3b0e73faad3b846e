#pragma once
// The one stream of random numbers the simulation draws from. It is seeded, and the seed can be
// read back, so that a recorded run can be replayed draw for draw. Every engine pass seeds it anew
// from the system's entropy source; a replay then seeds it with the recorded seed.

#include <cstdint>

// Chooses a new seed from the system's entropy source, starts the stream from it and returns it.
std::uint64_t SeedRandomFromEntropy();
// Starts the stream from `seed`.
void SeedRandom(std::uint64_t seed);
// The seed the stream was last started from.
std::uint64_t RandomSeed();
// The next 32 random bits of the stream.
std::uint32_t NextRandom();
