#include "graphics/CameraMatrices.h"

#include <glad/gl.h>

void CameraMatrices::SetFramebufferSize(int width, int height) {
    if (width <= 0 || height <= 0) {
        return;
    }
    visibleHalfWidth = kVisibleHalfHeight * static_cast<float>(width) / static_cast<float>(height);
}

void CameraMatrices::Rebuild() {
    ++rebuildCount;
    const Vector3 eye = position;
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
    return {position.x + centredX * worldPerPixelX, position.y + centredY * worldPerPixelY};
}
