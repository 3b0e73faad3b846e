#include "physics/ColliderRectangle.h"

#include <glad/gl.h>

#include "entities/JsonReaders.h"
#include "graphics/DebugDrawSystem.h"
#include "physics/Transform.h"

namespace {
constexpr const char* kSizeKey = "scale";
constexpr const char* kOutlineColor = "green";
}  // namespace

ColliderRectangle::ColliderRectangle() : Collider(kRectangleKind) {}

void ColliderRectangle::Initialize() {
    if (cornerPoints.empty()) {
        const Vector2 half = size * 0.5f;
        const Vector2 c = relativePos;
        cornerPoints = {{c.x + half.x, c.y + half.y},
                        {c.x - half.x, c.y + half.y},
                        {c.x - half.x, c.y - half.y},
                        {c.x + half.x, c.y - half.y}};
    }
}

void ColliderRectangle::DebugDraw() {
    Transform* transform = OwnerTransform();
    if (transform == nullptr) {
        return;
    }
    DebugDrawSystem::Instance().DrawOutline(
        cornerPoints, transform->GetWorldPosition() + relativePos, transform->GetWorldScale(),
        kOutlineColor, GL_LINE_LOOP);
}

void ColliderRectangle::FromJson(const nlohmann::json& data) {
    ReadBaseCollider(data.at(kBaseColliderKey));
    relativePos = RequiredVector(data, kRelativePosKey);
    size = RequiredVector(data, kSizeKey);
    isSolid = data.at(kIsSolidKey).get<bool>();
}

nlohmann::json ColliderRectangle::ToJson() const {
    return nlohmann::json{{kBaseColliderKey, BaseColliderJson()},
                          {kRelativePosKey, Vector2ToJson(relativePos)},
                          {kSizeKey, Vector2ToJson(size)},
                          {kIsSolidKey, isSolid}};
}
