#pragma once
// Headings of gameplay: angles in degrees counter-clockwise from +x, and the rotation of a sprite
// drawn along a heading (the pictures point north, so a sprite at heading θ is rotated θ - 90).

#include <cmath>

#include "engine/Vector2.h"

inline constexpr double kDegreesToRadians = 0.017453292519943295;
inline constexpr double kRadiansToDegrees = 57.29577951308232;
inline constexpr float kSpriteHeadingOffset = 90.0f;

// The heading of a direction, in degrees; atan2's convention for (0, 0).
inline double HeadingOf(Vector2 direction) {
    return std::atan2(direction.y, direction.x) * kRadiansToDegrees;
}
