#pragma once
// Debug drawing: owns the vertex array and buffer that every debug shape goes through. Outlines
// handed over during the component lists' render pass (colliders') are drawn at once, in their
// place among the frame's draws. Free line segments (aim lines, routes) are drawn in one call
// after the component lists have drawn. Those queued by a simulation tick's updates stay until
// the next tick starts, so a frame that runs no tick still shows them and a frame that runs
// several shows the last tick's; those queued while rendering are drawn that frame, then
// forgotten.

#include <string_view>
#include <vector>

#include "engine/NamedSystem.h"
#include "engine/Vector2.h"

class DebugDrawSystem : public NamedSystem<SystemType::DEBUG_DRAW_SYSTEM> {
public:
    static constexpr std::size_t kReservedPoints = 100;

    static DebugDrawSystem& Instance();

    void Initialize() override;
    void PreUpdate() override;
    void Update(float dt) override;
    void Render() override;
    void ShutDown() override;

    // Queues a segment in world coordinates (see above for how long it is drawn).
    void AddLine(Vector2 from, Vector2 to);

    // Draws `shape`, placed at `position` and scaled by `scale`, now, as `primitive` in the
    // named colour ("green", "red", anything else white).
    void DrawOutline(const std::vector<Vector2>& shape, Vector2 position, Vector2 scale,
                     std::string_view colorName, unsigned int primitive);

    int vertexArray = -1;
    int vertexBuffer = -1;
    std::vector<Vector2> points;
    // Whether the free line segments are drawn (they are queued either way).
    bool showLines = true;
    // How many of `points` the last update queued; the rest were queued while rendering.
    std::size_t updatePointCount = 0;

private:
    DebugDrawSystem() = default;

    // Without its buffers (before Initialize, after ShutDown) nothing is drawn: uploading points
    // would otherwise land in whatever buffer happens to be bound.
    void Draw(const std::vector<Vector2>& shape, Vector2 position, Vector2 scale,
              std::string_view colorName, unsigned int primitive) const;
};
