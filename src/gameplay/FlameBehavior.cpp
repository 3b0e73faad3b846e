#include "gameplay/FlameBehavior.h"

#include "entities/Entity.h"
#include "entities/JsonReaders.h"
#include "gameplay/BulletBehavior.h"
#include "gameplay/ContactRules.h"
#include "graphics/Emitter.h"
#include "physics/ColliderCircle.h"

FlameBehavior::FlameBehavior()
    : FlameBehavior(kDefaultLifeTime, kDefaultMaxGlowStrength, kDefaultMaxColliderSize) {}

FlameBehavior::FlameBehavior(double lifeTime, float maxGlowStrength, float maxColliderSize)
    : Component(kComponentName),
      lifeTime(lifeTime),
      maxGlowStrength(maxGlowStrength),
      maxColliderSize(maxColliderSize) {}

std::unique_ptr<Component> FlameBehavior::Clone() const {
    return std::make_unique<FlameBehavior>(*this);
}

void FlameBehavior::Update(float dt) {
    BulletBehavior::CountDown(lifeTime, dt, owner);
    if (owner == nullptr) {
        return;
    }
    // Growth may overshoot its limit by less than one step.
    if (glowStrength < maxGlowStrength) {
        glowStrength += kGlowStep;
        if (Emitter* emitter = owner->GetComponent<Emitter>()) {
            emitter->radius = glowStrength;
        }
    }
    if (colliderSize < maxColliderSize) {
        colliderSize += kColliderStep;
        if (ColliderCircle* circle = owner->GetComponent<ColliderCircle>()) {
            circle->radius = colliderSize;
        }
    }
}

void FlameBehavior::OnCollision(Collider* other) {
    if (owner != nullptr && FlameDiesOn(other)) {
        owner->Destroy();
    }
}

void FlameBehavior::FromJson(const nlohmann::json& data) {
    ReadJsonDouble(data, "lifeTime", lifeTime);
    ReadJsonFloat(data, "maxGlowStrength", maxGlowStrength);
    ReadJsonFloat(data, "maxColliderSize", maxColliderSize);
}

nlohmann::json FlameBehavior::ToJson() const {
    return nlohmann::json{{"lifeTime", lifeTime},
                          {"maxGlowStrength", maxGlowStrength},
                          {"maxColliderSize", maxColliderSize}};
}
