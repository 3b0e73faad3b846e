#include "gameplay/BoomerangBehavior.h"

#include <cmath>

#include "entities/Entity.h"
#include "entities/JsonReaders.h"
#include "gameplay/BulletBehavior.h"
#include "gameplay/ContactRules.h"
#include "gameplay/Heading.h"
#include "physics/Physics.h"
#include "physics/Transform.h"

namespace {

float Length(Vector2 v) {
    return std::sqrt(v.x * v.x + v.y * v.y);
}

float Lerp(float a, float b, float t) {
    return a + t * (b - a);
}
}  // namespace

BoomerangBehavior::BoomerangBehavior()
    : BoomerangBehavior(kDefaultLifeTime, kDefaultStraightRatio) {}

BoomerangBehavior::BoomerangBehavior(double lifeTime, float straightRatio)
    : Component(kComponentName), lifeTime(lifeTime), straightRatio(straightRatio) {}

std::unique_ptr<Component> BoomerangBehavior::Clone() const {
    return std::make_unique<BoomerangBehavior>(*this);
}

void BoomerangBehavior::Initialize() {
    Physics* physics = owner != nullptr ? owner->GetComponent<Physics>() : nullptr;
    if (physics != nullptr) {
        const float speed = Length(physics->velocity);
        // At rest there is no direction to keep: zero, never 0/0.
        initialDirection = speed > 0.0f ? physics->velocity * (1.0f / speed) : Vector2{};
    }
    curveStartTime = static_cast<float>(lifeTime - straightRatio * lifeTime);
}

void BoomerangBehavior::Update(float dt) {
    Physics* physics = owner != nullptr ? owner->GetComponent<Physics>() : nullptr;
    if (physics != nullptr && lifeTime <= curveStartTime) {
        // 1 when bending starts, falling to 0 at the end of the life. A curve that starts at
        // zero remaining life has nothing left to bend over.
        const float t = curveStartTime != 0.0f ? static_cast<float>(lifeTime / curveStartTime) : 0.0f;
        const Vector2 bent{Lerp(curveDirection.x, initialDirection.x, t),
                           Lerp(curveDirection.y, initialDirection.y, t)};
        const float bentLength = Length(bent);
        if (bentLength > 0.0f) {
            physics->velocity = bent * (Length(physics->velocity) / bentLength);
            if (Transform* transform = owner->GetComponent<Transform>()) {
                transform->SetRotation(
                    static_cast<float>(HeadingOf(bent)) -
                    kSpriteHeadingOffset);
            }
        }
    }
    BulletBehavior::CountDown(lifeTime, dt, owner);
}

void BoomerangBehavior::OnCollision(Collider* other) {
    if (owner != nullptr && BulletDiesOn(other)) {
        owner->Destroy();
    }
}

void BoomerangBehavior::FromJson(const nlohmann::json& data) {
    ReadJsonDouble(data, "lifeTime", lifeTime);
    ReadJsonFloat(data, "straightRatio", straightRatio);
}

nlohmann::json BoomerangBehavior::ToJson() const {
    return nlohmann::json{{"lifeTime", lifeTime}, {"straightRatio", straightRatio}};
}
