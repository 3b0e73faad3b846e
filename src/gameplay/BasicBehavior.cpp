#include "gameplay/BasicBehavior.h"

#include "entities/Entity.h"
#include "entities/JsonReaders.h"
#include "gameplay/BulletBehavior.h"
#include "gameplay/ContactRules.h"
#include "gameplay/DiagonalSpeed.h"
#include "graphics/Sprite.h"

BasicBehavior::BasicBehavior()
    : Component(kComponentName), diagonalSpeed(DiagonalSpeed(kDefaultSpeed)) {}

std::unique_ptr<Component> BasicBehavior::Clone() const {
    auto copy = std::make_unique<BasicBehavior>(*this);
    copy->owner = nullptr;
    return copy;
}

void BasicBehavior::Update(float dt) {
    BulletBehavior::CountDown(lifeTime, dt, owner);
}

void BasicBehavior::Render() {
    if (Sprite* sprite = owner != nullptr ? owner->GetComponent<Sprite>() : nullptr) {
        sprite->color = {1.0f, 1.0f, 1.0f};
    }
}

void BasicBehavior::OnCollision(Collider* other) {
    if (owner != nullptr && FlameDiesOn(other)) {
        owner->Destroy();
    }
}

void BasicBehavior::FromJson(const nlohmann::json& data) {
    ReadJsonFloat(data, "speed", speed);
    ReadJsonDouble(data, "lifeTime", lifeTime);
    ReadJsonVector2(data, "target", target);
    ReadJsonInt(data, "orientation", orientation);
    diagonalSpeed = DiagonalSpeed(speed);
}

nlohmann::json BasicBehavior::ToJson() const {
    return nlohmann::json{{"speed", speed},
                          {"lifeTime", lifeTime},
                          {"target", Vector2ToJson(target)},
                          {"orientation", orientation}};
}
