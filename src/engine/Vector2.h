#pragma once
// Two-float vector used for positions, scales, velocities and texture offsets.

struct Vector2 {
    float x = 0.0f;
    float y = 0.0f;

    constexpr Vector2 operator+(Vector2 other) const { return {x + other.x, y + other.y}; }
    constexpr Vector2 operator-(Vector2 other) const { return {x - other.x, y - other.y}; }
    constexpr Vector2 operator*(float factor) const { return {x * factor, y * factor}; }
    constexpr bool operator==(const Vector2&) const = default;
};
