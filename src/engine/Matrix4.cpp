#include "engine/Matrix4.h"

#include <cmath>

Matrix4 Matrix4::Identity() {
    Matrix4 result;
    for (int i = 0; i < 4; ++i) {
        result.m[i][i] = 1.0f;
    }
    return result;
}

Matrix4 Matrix4::Translate(Vector3 offset) {
    Matrix4 result = Identity();
    result.m[3][0] = offset.x;
    result.m[3][1] = offset.y;
    result.m[3][2] = offset.z;
    return result;
}

Matrix4 Matrix4::RotateZ(float radians) {
    Matrix4 result = Identity();
    const float c = std::cos(radians);
    const float s = std::sin(radians);
    result.m[0][0] = c;
    result.m[0][1] = s;
    result.m[1][0] = -s;
    result.m[1][1] = c;
    return result;
}

Matrix4 Matrix4::Scale(Vector3 factors) {
    Matrix4 result = Identity();
    result.m[0][0] = factors.x;
    result.m[1][1] = factors.y;
    result.m[2][2] = factors.z;
    return result;
}

Matrix4 Matrix4::TranslateRotateZScale(float tx, float ty, float radians, float sx, float sy) {
    const float c = std::cos(radians);
    const float s = std::sin(radians);
    if (!std::isfinite(tx) || !std::isfinite(ty) || !std::isfinite(c) || !std::isfinite(s) ||
        !std::isfinite(sx) || !std::isfinite(sy)) {
        // Infinities turn the product's zero terms into NaNs; only the product itself says where.
        return Translate({tx, ty, 0.0f}) * RotateZ(radians) * Scale({sx, sy, 1.0f});
    }
    // Each element of the product is one non-zero term plus terms that are +0 or -0. Summing from
    // +0 as the product does turns a -0 into +0 and leaves every other value as it is, which is
    // what adding `zero` reproduces here; the compiler may not drop these additions.
    const float zero = 0.0f;
    const float cosine = zero + c;
    const float sine = zero + s;
    const float minusSine = zero + -s;
    Matrix4 result;
    result.m[0][0] = zero + cosine * sx;
    result.m[0][1] = zero + sine * sx;
    result.m[1][0] = zero + minusSine * sy;
    result.m[1][1] = zero + cosine * sy;
    result.m[2][2] = 1.0f;
    result.m[3][0] = zero + tx;
    result.m[3][1] = zero + ty;
    result.m[3][3] = 1.0f;
    return result;
}

Matrix4 Matrix4::LookAt(Vector3 eye, Vector3 target, Vector3 up) {
    const Vector3 f = Normalize(target - eye);
    const Vector3 s = Normalize(Cross(f, up));
    const Vector3 u = Cross(s, f);
    Matrix4 result = Identity();
    result.m[0][0] = s.x;
    result.m[1][0] = s.y;
    result.m[2][0] = s.z;
    result.m[0][1] = u.x;
    result.m[1][1] = u.y;
    result.m[2][1] = u.z;
    result.m[0][2] = -f.x;
    result.m[1][2] = -f.y;
    result.m[2][2] = -f.z;
    result.m[3][0] = -Dot(s, eye);
    result.m[3][1] = -Dot(u, eye);
    result.m[3][2] = Dot(f, eye);
    return result;
}

Matrix4 Matrix4::Orthographic(float left, float right, float bottom, float top) {
    Matrix4 result;
    result.m[0][0] = 2.0f / (right - left);
    result.m[1][1] = 2.0f / (top - bottom);
    result.m[2][2] = -1.0f;
    result.m[3][0] = -(right + left) / (right - left);
    result.m[3][1] = -(top + bottom) / (top - bottom);
    result.m[3][3] = 1.0f;
    return result;
}

Matrix4 Matrix4::operator*(const Matrix4& other) const {
    Matrix4 result;
    for (int c = 0; c < 4; ++c) {
        for (int r = 0; r < 4; ++r) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) {
                sum += m[k][r] * other.m[c][k];
            }
            result.m[c][r] = sum;
        }
    }
    return result;
}

Vector3 Matrix4::TransformPoint(Vector3 p) const {
    return {m[0][0] * p.x + m[1][0] * p.y + m[2][0] * p.z + m[3][0],
            m[0][1] * p.x + m[1][1] * p.y + m[2][1] * p.z + m[3][1],
            m[0][2] * p.x + m[1][2] * p.y + m[2][2] * p.z + m[3][2]};
}
