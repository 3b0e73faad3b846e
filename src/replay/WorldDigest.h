#pragma once
// A 64-bit digest of the simulated world: every entity under the engine's root, depth first, with
// its name and the exact bits of its transform and velocity. Two runs of the same build that
// agree on it at a tick agree on every position; it is what a recording stores at its
// checkpoints and what a replay compares.

#include <cstdint>
#include <string>

class Entity;

std::uint64_t WorldDigest(const Entity& root);
// The digest as 16 lower-case hexadecimal digits, as recordings store it.
std::string DigestText(std::uint64_t digest);
