#pragma once
// Order of components within one component list: every layer runs every frame, all FASTEST
// components of a type before all FAST ones, and so on.

#include <cstdint>

enum class UpdateLayer : std::int32_t {
    FASTEST = 0,
    FAST = 1,
    AVERAGE = 2,
    SLOW = 3,
    SLOWEST = 4,
    // Not a layer: the number of layers. It still has a printable name like the others.
    UPDATE_LAYER_COUNT = 5,
};
