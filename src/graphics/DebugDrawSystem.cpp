#include "graphics/DebugDrawSystem.h"

#include <algorithm>

#include <glad/gl.h>

#include "graphics/GraphicsSystem.h"
#include "graphics/PointBuffers.h"

namespace {
constexpr int kNoBuffer = -1;
constexpr const char* kLinesColor = "white";
}  // namespace

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

void DebugDrawSystem::DrawOutline(const std::vector<Vector2>& shape, Vector2 position,
                                  Vector2 scale, std::string_view colorName,
                                  unsigned int primitive) {
    Draw(shape, position, scale, colorName, primitive);
}

void DebugDrawSystem::PreUpdate() {
    points.clear();
    updatePointCount = 0;
}

void DebugDrawSystem::Update(float /*dt*/) {
    // The component lists have updated; the registered systems before this one queue no lines.
    updatePointCount = points.size();
}

void DebugDrawSystem::Render() {
    if (showLines) {
        Draw(points, {0.0f, 0.0f}, {1.0f, 1.0f}, kLinesColor, GL_LINES);
    }
    points.resize(std::min(updatePointCount, points.size()));
}

void DebugDrawSystem::ShutDown() {
    auto buffer = static_cast<unsigned int>(vertexBuffer);
    auto array = static_cast<unsigned int>(vertexArray);
    DeletePointBuffers(array, buffer);
    vertexArray = kNoBuffer;
    vertexBuffer = kNoBuffer;
}

void DebugDrawSystem::Draw(const std::vector<Vector2>& shape, Vector2 position, Vector2 scale,
                           std::string_view colorName, unsigned int primitive) const {
    if (vertexArray == kNoBuffer) {
        return;
    }
    GraphicsSystem::Instance().DrawDebugShape(
        shape, position, scale, static_cast<unsigned int>(vertexArray),
        static_cast<unsigned int>(vertexBuffer), colorName, primitive);
}
