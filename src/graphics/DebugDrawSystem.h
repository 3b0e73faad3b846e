#pragma once
// Free line segments that any code may queue during a frame (aim lines, routes), drawn in one
// call after the component lists have drawn, then forgotten: a line that should stay visible is
// queued every frame.

#include <vector>

#include "engine/NamedSystem.h"
#include "engine/Vector2.h"

class DebugDrawSystem : public NamedSystem<SystemType::DEBUG_DRAW_SYSTEM> {
public:
    static constexpr std::size_t kReservedPoints = 100;

    static DebugDrawSystem& Instance();

    void Initialize() override;
    void Render() override;
    void ShutDown() override;

    // Queues a segment in world coordinates; segments queued after this frame's render pass are
    // drawn the next frame.
    void AddLine(Vector2 from, Vector2 to);

    int vertexArray = -1;
    int vertexBuffer = -1;
    std::vector<Vector2> points;

private:
    DebugDrawSystem() = default;
};
