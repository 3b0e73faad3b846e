#include "physics/ColliderCircle.h"

#include <glad/gl.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "entities/JsonReaders.h"
#include "graphics/DebugDrawSystem.h"
#include "physics/Transform.h"

namespace {
constexpr const char* kRadiusKey = "radius";
constexpr const char* kOutlineColor = "green";
}  // namespace

ColliderCircle::ColliderCircle() : Collider(kCircleKind) {}

void ColliderCircle::Initialize() {
    if (outlinePoints.empty()) {
        for (std::int32_t i = 0; i < outlineSegments; ++i) {
            const float angle = 2.0f * std::numbers::pi_v<float> * static_cast<float>(i) /
                                static_cast<float>(outlineSegments);
            outlinePoints.push_back({std::cos(angle) * radius, std::sin(angle) * radius});
        }
    }
}

void ColliderCircle::DebugDraw() {
    Transform* transform = OwnerTransform();
    if (transform == nullptr) {
        return;
    }
    // The outline stays round: both axes take the larger world scale, as the tests do.
    const Vector2 worldScale = transform->GetWorldScale();
    const float scale = std::max(worldScale.x, worldScale.y);
    DebugDrawSystem::Instance().DrawOutline(outlinePoints,
                                            transform->GetWorldPosition() + relativePos,
                                            {scale, scale}, kOutlineColor, GL_LINE_LOOP);
}

void ColliderCircle::FromJson(const nlohmann::json& data) {
    relativePos = RequiredVector(data, kRelativePosKey);
    radius = JsonToFloat(data.at(kRadiusKey));
    isSolid = data.at(kIsSolidKey).get<bool>();
}

nlohmann::json ColliderCircle::ToJson() const {
    return nlohmann::json{{kBaseColliderKey, BaseColliderJson()},
                          {kRelativePosKey, Vector2ToJson(relativePos)},
                          {kRadiusKey, radius},
                          {kIsSolidKey, isSolid}};
}
