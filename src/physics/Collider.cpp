#include "physics/Collider.h"

#include "entities/Entity.h"
#include "entities/JsonReaders.h"
#include "physics/ColliderCircle.h"
#include "physics/ColliderLine.h"
#include "physics/ColliderSystem.h"
#include "physics/Transform.h"

namespace {
// Members of the "base collider" object.
constexpr const char* kTypeKey = "type";
constexpr const char* kLabelKey = "name";
constexpr const char* kBaseIsSolidKey = "isSolid";
constexpr const char* kActiveKey = "active";

}  // namespace

Collider::Collider() : Collider(kNoKind) {}

Collider::Collider(std::int32_t kind) : Component(kComponentName), type(kind) {}

std::unique_ptr<Component> Collider::Clone() const {
    // Slices off whatever kind this is: only the shared fields travel.
    auto copy = std::unique_ptr<Collider>(new Collider(*this));
    copy->owner = nullptr;
    return copy;
}

void Collider::Render() {
    if (showDebugColliders) {
        DebugDraw();
    }
}

void Collider::DebugDraw() {}

Transform* Collider::OwnerTransform() const {
    return owner != nullptr ? owner->GetComponent<Transform>() : nullptr;
}

void Collider::OnCollision(Collider* other) {
    if (other == nullptr || !isSolid || !other->isSolid) {
        return;
    }
    Transform* mine = OwnerTransform();
    Transform* theirs = other->OwnerTransform();
    if (mine == nullptr || theirs == nullptr || mine->isStatic) {
        return;
    }
    for (int step = 0; step < kMaxPushOutSteps && active && other->active; ++step) {
        if (!ColliderSystem::PairTouches(this, other)) {
            return;
        }
        const Vector2 away = AwayFrom(*mine, *theirs, *other);
        // No direction (coincident positions, a degenerate segment): a step would be a guess,
        // and normalizing a zero vector would put NaN into the transform.
        if (away == Vector2{}) {
            return;
        }
        mine->SetPosition(mine->position + away * kPushOutStep);
    }
}

Vector2 Collider::AwayFrom(Transform& mine, Transform& theirs, Collider& other) {
    auto* circle = dynamic_cast<ColliderCircle*>(this);
    auto* line = dynamic_cast<ColliderLine*>(this);
    auto* otherCircle = dynamic_cast<ColliderCircle*>(&other);
    auto* otherLine = dynamic_cast<ColliderLine*>(&other);
    if (circle != nullptr && otherLine != nullptr) {
        // The re-test just recorded the segment this circle touches.
        return ColliderSystem::AwayFromSegment(mine.GetWorldPosition(), otherLine->hitSegment);
    }
    if (line != nullptr && otherCircle != nullptr) {
        return ColliderSystem::AwayFromSegment(theirs.GetWorldPosition(), line->hitSegment) * -1.0f;
    }
    // Two circles, and also two lines: the line test records no segment, and the other line's
    // hitSegment is only as recent as its last circle contact, so lines separate along the line
    // between their entity positions, as circles do.
    if ((circle != nullptr && otherCircle != nullptr) ||
        (line != nullptr && otherLine != nullptr)) {
        return ColliderSystem::AwayFromPoint(mine.GetWorldPosition(), theirs.GetWorldPosition());
    }
    return {};
}

void Collider::FromJson(const nlohmann::json& data) {
    const nlohmann::json& base = data.at(kBaseColliderKey);
    if (base.contains(kTypeKey)) {
        type = JsonToInt(base.at(kTypeKey));
    }
    ReadBaseCollider(base);
}

nlohmann::json Collider::ToJson() const {
    return nlohmann::json{{kBaseColliderKey, BaseColliderJson()}};
}

void Collider::ReadBaseCollider(const nlohmann::json& base) {
    if (base.contains(kLabelKey)) {
        label = base.at(kLabelKey).get<std::string>();
    }
    if (base.contains(kBaseIsSolidKey)) {
        isSolid = base.at(kBaseIsSolidKey).get<bool>();
    }
    if (base.contains(kActiveKey)) {
        active = base.at(kActiveKey).get<bool>();
    }
}

nlohmann::json Collider::BaseColliderJson() const {
    return nlohmann::json{
        {kTypeKey, type}, {kLabelKey, label}, {kBaseIsSolidKey, isSolid}, {kActiveKey, active}};
}

Vector2 Collider::RequiredVector(const nlohmann::json& data, const char* key) {
    const nlohmann::json& value = data.at(key);
    return {JsonToFloat(value.at("x")), JsonToFloat(value.at("y"))};
}
