#include "gameplay/Tracker.h"

#include <cmath>

#include "engine/Engine.h"
#include "entities/Entity.h"
#include "entities/JsonReaders.h"
#include "gameplay/Heading.h"
#include "physics/Transform.h"

namespace {
}  // namespace

Tracker::Tracker() : Component(kComponentName) {}

std::unique_ptr<Component> Tracker::Clone() const {
    auto copy = std::make_unique<Tracker>(*this);
    copy->owner = nullptr;
    return copy;
}

void Tracker::Update(float /*dt*/) {
    Transform* transform = owner != nullptr ? owner->GetComponent<Transform>() : nullptr;
    const Transform* seen = target != nullptr ? target->GetComponent<Transform>() : nullptr;
    if (transform == nullptr || seen == nullptr) {
        return;
    }
    targetPosition = seen->position;
    // atan2 of (0, 0) is 0, so a target at its own origin gives a plain -90, never NaN.
    angle = static_cast<float>(HeadingOf(targetPosition)) -
            kSpriteHeadingOffset;
    Entity* parent = owner->parent;
    if (parent != nullptr && parent != Engine::Instance().originEntity) {
        if (const Transform* parentTransform = parent->GetComponent<Transform>()) {
            angle -= parentTransform->rotation;
        }
    }
    transform->SetRotation(angle);
}

void Tracker::FromJson(const nlohmann::json& data) {
    ReadJsonVector2(data, "targetPosition", targetPosition);
    ReadJsonFloat(data, "angle", angle);
}

nlohmann::json Tracker::ToJson() const {
    return nlohmann::json{{"targetPosition", Vector2ToJson(targetPosition)}, {"angle", angle}};
}
