#pragma once
// Four-float colour (red, green, blue, alpha).

struct Vector4 {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 0.0f;

    constexpr bool operator==(const Vector4&) const = default;
};
