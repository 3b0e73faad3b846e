#include "graphics/CameraMatrices.h"

#include <glad/gl.h>

#include <algorithm>

namespace {
// The view's centre on one axis nearest to `wanted` that keeps a view reaching `halfView` either
// side within low .. high.
float KeepViewInside(float wanted, float low, float high, float halfView) {
    if (high - low <= 2.0f * halfView) {
        return (low + high) * 0.5f;
    }
    return std::clamp(wanted, low + halfView, high - halfView);
}
}  // namespace

void CameraMatrices::SetFramebufferSize(int width, int height) {
    if (width <= 0 || height <= 0) {
        return;
    }
    visibleHalfWidth = kVisibleHalfHeight * static_cast<float>(width) / static_cast<float>(height);
}

Vector2 CameraMatrices::ViewCentre() const {
    if (!bounds) {
        return {position.x, position.y};
    }
    return {KeepViewInside(position.x, bounds->min.x, bounds->max.x, visibleHalfWidth),
            KeepViewInside(position.y, bounds->min.y, bounds->max.y, kVisibleHalfHeight)};
}

void CameraMatrices::Rebuild() {
    ++rebuildCount;
    const Vector2 centre = ViewCentre();
    const Vector3 eye{centre.x, centre.y, position.z};
    view = Matrix4::LookAt(eye, {eye.x, eye.y, 0.0f}, {0.0f, 1.0f, 0.0f});
    projection = Matrix4::Orthographic(eye.x - visibleHalfWidth, eye.x + visibleHalfWidth,
                                       eye.y - kVisibleHalfHeight, eye.y + kVisibleHalfHeight);
}

void CameraMatrices::Upload(unsigned int program) const {
    const GLuint name = program;
    glUniformMatrix4fv(glGetUniformLocation(name, "projection"), 1, GL_FALSE, projection.data());
    glUniformMatrix4fv(glGetUniformLocation(name, "view"), 1, GL_FALSE, view.data());
}

Vector2 CameraMatrices::WindowToWorld(double cursorX, double cursorY, int windowWidth,
                                      int windowHeight) const {
    const int halfWidth = windowWidth / 2;
    const int halfHeight = windowHeight / 2;
    const auto centredX = static_cast<float>(cursorX - halfWidth);
    const auto centredY = static_cast<float>(halfHeight - cursorY);
    const float worldPerPixelX = 2.0f * visibleHalfWidth / static_cast<float>(windowWidth);
    const float worldPerPixelY = 2.0f * kVisibleHalfHeight / static_cast<float>(windowHeight);
    const Vector2 centre = ViewCentre();
    return {centre.x + centredX * worldPerPixelX, centre.y + centredY * worldPerPixelY};
}
