#pragma once
// 4 x 4 float matrix, column-major: element [c][r] is column c, row r, so data() can be handed
// to OpenGL untransposed. World matrices are translate x rotate(z) x scale.

#include "engine/Vector3.h"

struct Matrix4 {
    float m[4][4] = {};

    static Matrix4 Identity();
    static Matrix4 Translate(Vector3 offset);
    // Rotation about the z axis, counter-clockwise for positive radians.
    static Matrix4 RotateZ(float radians);
    static Matrix4 Scale(Vector3 factors);
    // Translate({t.x, t.y, 0}) * RotateZ(radians) * Scale({s.x, s.y, 1}), equal bit for bit
    // (signed zeros included) to that product, without its two full multiplications: the world
    // matrix of every drawn sprite.
    static Matrix4 TranslateRotateZScale(float tx, float ty, float radians, float sx, float sy);
    // Right-handed look-at view matrix.
    static Matrix4 LookAt(Vector3 eye, Vector3 target, Vector3 up);
    // Orthographic projection without a depth range ([2][2] = -1).
    static Matrix4 Orthographic(float left, float right, float bottom, float top);

    Matrix4 operator*(const Matrix4& other) const;
    // Transforms the point (x, y, z, 1) and drops w.
    Vector3 TransformPoint(Vector3 point) const;

    const float* data() const { return &m[0][0]; }
    bool operator==(const Matrix4&) const = default;
};
