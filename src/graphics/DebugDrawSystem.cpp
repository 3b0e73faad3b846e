#include "graphics/DebugDrawSystem.h"

#include <glad/gl.h>

#include "graphics/GraphicsSystem.h"

namespace {
constexpr GLsizei kPointStride = 2 * sizeof(float);
}  // namespace

DebugDrawSystem& DebugDrawSystem::Instance() {
    static auto* system = new DebugDrawSystem();
    return *system;
}

void DebugDrawSystem::Initialize() {
    GLuint array = 0;
    GLuint buffer = 0;
    glGenVertexArrays(1, &array);
    glGenBuffers(1, &buffer);
    glBindVertexArray(array);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, kPointStride, nullptr);
    glEnableVertexAttribArray(0);
    glBindVertexArray(0);
    vertexArray = static_cast<int>(array);
    vertexBuffer = static_cast<int>(buffer);
    points.reserve(kReservedPoints);
}

void DebugDrawSystem::AddLine(Vector2 from, Vector2 to) {
    points.push_back(from);
    points.push_back(to);
}

void DebugDrawSystem::Render() {
    GraphicsSystem::Instance().DrawDebugShape(
        points, {0.0f, 0.0f}, {1.0f, 1.0f}, static_cast<unsigned int>(vertexArray),
        static_cast<unsigned int>(vertexBuffer), "white", GL_LINES);
    points.clear();
}

void DebugDrawSystem::ShutDown() {
    const auto buffer = static_cast<GLuint>(vertexBuffer);
    const auto array = static_cast<GLuint>(vertexArray);
    glDeleteBuffers(1, &buffer);
    glDeleteVertexArrays(1, &array);
    vertexArray = -1;
    vertexBuffer = -1;
}
