#pragma once
// Three-float vector: camera position, light positions and colours.

struct Vector3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;

    constexpr Vector3 operator+(Vector3 other) const {
        return {x + other.x, y + other.y, z + other.z};
    }
    constexpr Vector3 operator-(Vector3 other) const {
        return {x - other.x, y - other.y, z - other.z};
    }
    constexpr bool operator==(const Vector3&) const = default;
};

constexpr float Dot(Vector3 a, Vector3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

constexpr Vector3 Cross(Vector3 a, Vector3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

// A zero vector stays zero instead of turning into NaN.
Vector3 Normalize(Vector3 v);
