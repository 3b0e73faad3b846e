#pragma once
// Compass directions as angles in degrees, counter-clockwise from north, so that a value can be
// used directly as a rotation.

#include <cstdint>

enum class Orientation : std::int32_t {
    INVALID = -1,
    NORTH = 0,
    NORTH_WEST = 45,
    WEST = 90,
    SOUTH_WEST = 135,
    SOUTH = 180,
    SOUTH_EAST = 225,
    EAST = 270,
    NORTH_EAST = 315,
};
