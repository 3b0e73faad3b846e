#pragma once
// A soup of line segments (walls, shapes): consecutive vertex pairs (0, 1), (2, 3), ... relative
// to the entity's world position plus `relativePos`; an odd last vertex belongs to no segment.
// A bounding circle fixed at Initialize keeps the segment tests rare.

#include <cstdint>
#include <vector>

#include "engine/Vector2.h"
#include "physics/Collider.h"

class ColliderLine : public Collider {
public:
    // World endpoints of one placed segment.
    struct Segment {
        Vector2 first;
        Vector2 second;
    };

    static constexpr std::int32_t kDefaultBoundsOutlineSegments = 15;
    // GL_LINES, named here so that includers need not see the GL loader.
    static constexpr std::int32_t kDefaultDrawMode = 1;
    // What ToJson appends after the real vertices as the editor's pattern for a new one.
    static constexpr const char* kTemplateVertexTag = "template";

    // No vertices: a loaded line gets them from its data.
    ColliderLine();

    // Fixes `boundingRadius` and, the first time, the bounds outline.
    void Initialize() override;
    void DebugDraw() override;
    // Reads "base collider" (each of its keys optional), "relativePos", "is solid" and "vertices",
    // all required. The last element of "vertices" is the template entry and is never read.
    void FromJson(const nlohmann::json& data) override;
    nlohmann::json ToJson() const override;

    Vector2 relativePos{0.0f, 0.0f};
    std::vector<Vector2> vertices;
    // Mean of the vertices; places the bounds outline only.
    Vector2 centroid{0.0f, 0.0f};
    float boundingRadius = 0.0f;
    std::vector<Vector2> boundsOutline;
    std::int32_t boundsOutlineSegments = kDefaultBoundsOutlineSegments;
    bool showBounds = true;
    std::int32_t drawMode = kDefaultDrawMode;
    // The segment that last touched a circle, as the circle test placed it.
    Segment hitSegment{};

private:
    void ComputeBoundingRadius();
};
