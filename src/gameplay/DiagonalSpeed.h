#pragma once
// The per-axis speed of a diagonal move at straight-line speed `speed`, so that moving
// diagonally is as fast as moving straight.

#include <cmath>

inline float DiagonalSpeed(float speed) {
    return std::sqrt(speed * speed * 0.5f);
}
