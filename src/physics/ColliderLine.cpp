#include "physics/ColliderLine.h"

#include <glad/gl.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "entities/JsonReaders.h"
#include "graphics/DebugDrawSystem.h"
#include "physics/Transform.h"

static_assert(ColliderLine::kDefaultDrawMode == GL_LINES);

namespace {
constexpr const char* kVerticesKey = "vertices";
constexpr const char* kLinesColor = "green";
constexpr const char* kBoundsColor = "red";
}  // namespace

ColliderLine::ColliderLine() : Collider(kLineKind) {}

void ColliderLine::Initialize() {
    ComputeBoundingRadius();
    if (boundsOutline.empty()) {
        centroid = {0.0f, 0.0f};
        for (const Vector2 vertex : vertices) {
            centroid = centroid + vertex;
        }
        if (!vertices.empty()) {
            centroid = centroid * (1.0f / static_cast<float>(vertices.size()));
        }
        for (std::int32_t j = 0; j < boundsOutlineSegments; ++j) {
            const float angle = 2.0f * std::numbers::pi_v<float> * static_cast<float>(j) /
                                static_cast<float>(boundsOutlineSegments);
            boundsOutline.push_back(
                {std::cos(angle) * boundingRadius + relativePos.x + centroid.x,
                 std::sin(angle) * boundingRadius + relativePos.y + centroid.y});
        }
    }
}

// The broad phases test a circle of (scale factor x boundingRadius) around the line's centre (the
// entity's world position plus relativePos), and the vertices are relative to that centre. The
// smallest radius around that fixed centre holding every vertex is therefore the largest vertex
// length. It holds every segment as the tests place them: each endpoint is scaled by one scale
// component, at most the scale factor for non-negative scales, and a disc holding both endpoints
// holds the segment between them.
void ColliderLine::ComputeBoundingRadius() {
    float largestSquared = 0.0f;
    for (const Vector2 vertex : vertices) {
        largestSquared = std::max(largestSquared, vertex.x * vertex.x + vertex.y * vertex.y);
    }
    boundingRadius = std::sqrt(largestSquared);
}

void ColliderLine::DebugDraw() {
    Transform* transform = OwnerTransform();
    if (transform == nullptr) {
        return;
    }
    DebugDrawSystem& debugDraw = DebugDrawSystem::Instance();
    const Vector2 position = transform->GetWorldPosition() + relativePos;
    const Vector2 scale = transform->GetWorldScale();
    debugDraw.DrawOutline(vertices, position, scale, kLinesColor,
                          static_cast<unsigned int>(drawMode));
    if (showBounds) {
        debugDraw.DrawOutline(boundsOutline, position, scale, kBoundsColor, GL_LINE_LOOP);
    }
}

void ColliderLine::FromJson(const nlohmann::json& data) {
    ReadBaseCollider(data.at(kBaseColliderKey));
    relativePos = RequiredVector(data, kRelativePosKey);
    isSolid = data.at(kIsSolidKey).get<bool>();
    const auto& elements = data.at(kVerticesKey).get_ref<const nlohmann::json::array_t&>();
    // An array without even the template entry holds no vertices.
    const std::size_t count = elements.empty() ? 0 : elements.size() - 1;
    std::vector<Vector2> read;
    read.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        read.push_back({JsonToFloat(elements[i].at("x")), JsonToFloat(elements[i].at("y"))});
    }
    vertices = std::move(read);
}

nlohmann::json ColliderLine::ToJson() const {
    nlohmann::json elements = nlohmann::json::array();
    for (const Vector2 vertex : vertices) {
        elements.push_back(Vector2ToJson(vertex));
    }
    elements.push_back(nlohmann::json::array({kTemplateVertexTag, Vector2ToJson({0.0f, 0.0f})}));
    return nlohmann::json{{kBaseColliderKey, BaseColliderJson()},
                          {kRelativePosKey, Vector2ToJson(relativePos)},
                          {kVerticesKey, std::move(elements)},
                          {kIsSolidKey, isSolid}};
}
