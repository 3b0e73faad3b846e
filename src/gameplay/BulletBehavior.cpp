#include "gameplay/BulletBehavior.h"

#include "entities/Entity.h"
#include "entities/JsonReaders.h"
#include "gameplay/ContactRules.h"

BulletBehavior::BulletBehavior() : BulletBehavior(kDefaultLifeTime) {}

BulletBehavior::BulletBehavior(double lifeTime) : Component(kComponentName), lifeTime(lifeTime) {}

std::unique_ptr<Component> BulletBehavior::Clone() const {
    return std::make_unique<BulletBehavior>(*this);
}

void BulletBehavior::CountDown(double& lifeTime, float dt, Entity* owner) {
    if (lifeTime <= 0.0) {
        return;
    }
    lifeTime -= dt;
    if (lifeTime <= 0.0 && owner != nullptr) {
        owner->Destroy();
    }
}

void BulletBehavior::Update(float dt) {
    CountDown(lifeTime, dt, owner);
}

void BulletBehavior::OnCollision(Collider* other) {
    if (owner != nullptr && BulletDiesOn(other)) {
        owner->Destroy();
    }
}

void BulletBehavior::FromJson(const nlohmann::json& data) {
    ReadJsonDouble(data, "lifeTime", lifeTime);
}

nlohmann::json BulletBehavior::ToJson() const {
    return nlohmann::json{{"lifeTime", lifeTime}};
}
