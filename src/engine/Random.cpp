#include "engine/Random.h"

#include <random>

namespace {
// SplitMix64: a small generator with a fixed, documented sequence for every seed, the same with
// every compiler and standard library (std::uniform_*_distribution is not).
struct SplitMix64 {
    std::uint64_t state = 0;
    std::uint64_t Next() {
        std::uint64_t z = (state += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }
};

std::uint64_t seed = 0;
SplitMix64 stream;
}  // namespace

std::uint64_t SeedRandomFromEntropy() {
    std::random_device entropy;
    const std::uint64_t chosen = (static_cast<std::uint64_t>(entropy()) << 32) | entropy();
    SeedRandom(chosen);
    return chosen;
}

void SeedRandom(std::uint64_t newSeed) {
    seed = newSeed;
    stream.state = newSeed;
}

std::uint64_t RandomSeed() {
    return seed;
}

std::uint32_t NextRandom() {
    return static_cast<std::uint32_t>(stream.Next() >> 32);
}
