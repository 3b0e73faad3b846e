#include "physics/Physics.h"

#include <cmath>

#include "entities/Entity.h"
#include "entities/JsonReaders.h"
#include "physics/Transform.h"

Physics::Physics() : Component(kComponentName) {}

std::unique_ptr<Component> Physics::Clone() const {
    return std::make_unique<Physics>(*this);
}

void Physics::Update(float dt) {
    // An entity without a transform (or a component whose entity is gone) has nothing to move.
    Transform* transform = owner != nullptr ? owner->GetComponent<Transform>() : nullptr;
    if (transform == nullptr) {
        return;
    }
    oldPosition = transform->position;
    const Vector2 faster = velocity + acceleration * dt;
    // A velocity that has run off to infinity stays at its last finite value.
    if (std::isfinite(faster.x) && std::isfinite(faster.y)) {
        velocity = faster;
    }
    newPosition = oldPosition + velocity * dt;
    transform->SetPosition(newPosition);
}

void Physics::FromJson(const nlohmann::json& data) {
    ReadJsonVector2(data, "velocity", velocity);
    ReadJsonVector2(data, "acceleration", acceleration);
    ReadJsonVector2(data, "oldPosition", oldPosition);
    ReadJsonVector2(data, "newPosition", newPosition);
}

nlohmann::json Physics::ToJson() const {
    return nlohmann::json{{"velocity", Vector2ToJson(velocity)},
                          {"acceleration", Vector2ToJson(acceleration)},
                          {"oldPosition", Vector2ToJson(oldPosition)},
                          {"newPosition", Vector2ToJson(newPosition)}};
}
