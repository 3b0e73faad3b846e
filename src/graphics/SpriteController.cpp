#include "graphics/SpriteController.h"

#include "entities/Entity.h"
#include "entities/JsonReaders.h"
#include "physics/Transform.h"

SpriteController::SpriteController() : Component(kComponentName) {}

std::unique_ptr<Component> SpriteController::Clone() const {
    return std::make_unique<SpriteController>(*this);
}

void SpriteController::Update(float /*dt*/) {
    if (Transform* transform = owner != nullptr ? owner->GetComponent<Transform>() : nullptr) {
        transform->SetRotation(rotation);
    }
}

void SpriteController::FromJson(const nlohmann::json& data) {
    ReadJsonFloat(data, "rotation", rotation);
}

nlohmann::json SpriteController::ToJson() const {
    return nlohmann::json{{"rotation", rotation}};
}
