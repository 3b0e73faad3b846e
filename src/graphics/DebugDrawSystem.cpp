#include "graphics/DebugDrawSystem.h"

#include <glad/gl.h>

#include "graphics/GraphicsSystem.h"
#include "graphics/PointBuffers.h"

DebugDrawSystem& DebugDrawSystem::Instance() {
    static auto* system = new DebugDrawSystem();
    return *system;
}

void DebugDrawSystem::Initialize() {
    unsigned int array = 0;
    unsigned int buffer = 0;
    CreatePointBuffers(array, buffer, {});
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
    auto buffer = static_cast<unsigned int>(vertexBuffer);
    auto array = static_cast<unsigned int>(vertexArray);
    DeletePointBuffers(array, buffer);
    vertexArray = -1;
    vertexBuffer = -1;
}
