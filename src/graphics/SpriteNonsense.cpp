#include "graphics/SpriteNonsense.h"

#include "engine/InputMessage.h"
#include "entities/Entity.h"
#include "entities/JsonReaders.h"
#include "physics/Transform.h"

namespace {
// Booleans and numbers both say on/off; any non-zero number is on.
bool ReadFlag(const nlohmann::json& value) {
    return value.is_boolean() ? value.get<bool>() : value.get<double>() != 0.0;
}

int ReadInputValue(const nlohmann::json& value) {
    return value.is_boolean() ? static_cast<int>(value.get<bool>()) : JsonToInt(value);
}
}  // namespace

SpriteNonsense::SpriteNonsense() : Component(kComponentName) {}

std::unique_ptr<Component> SpriteNonsense::Clone() const {
    return std::make_unique<SpriteNonsense>(*this);
}

void SpriteNonsense::HandleMessage(const InputMessage& message) {
    if (!message.pressed) {
        buttonState = false;
        return;
    }
    buttonState = true;
    switch (message.input) {
        case InputType::ROTATE_RIGHT:
        case InputType::ROTATE_LEFT:
        case InputType::SCALE_UP:
        case InputType::SCALE_DOWN:
            buttonType = static_cast<int>(message.input);
            break;
        default:
            buttonType = kNoButton;
            break;
    }
}

void SpriteNonsense::Update(float /*dt*/) {
    Transform* transform = owner != nullptr ? owner->GetComponent<Transform>() : nullptr;
    if (!buttonState || transform == nullptr) {
        return;
    }
    switch (static_cast<InputType>(buttonType)) {
        case InputType::ROTATE_RIGHT:
            transform->SetRotation(transform->rotation - rotationSpeed);
            break;
        case InputType::ROTATE_LEFT:
            transform->SetRotation(transform->rotation + rotationSpeed);
            break;
        case InputType::SCALE_UP:
            transform->SetScale(
                {transform->scale.x + scalingSpeed, transform->scale.y + scalingSpeed});
            break;
        case InputType::SCALE_DOWN:
            transform->SetScale(
                {transform->scale.x - scalingSpeed, transform->scale.y - scalingSpeed});
            break;
        default:
            break;
    }
}

void SpriteNonsense::FromJson(const nlohmann::json& data) {
    rotationSpeed = JsonToFloat(data.at("rotationSpeed"));
    scalingSpeed = JsonToFloat(data.at("scalingSpeed"));
    buttonState = ReadFlag(data.at("buttonState"));
    buttonType = ReadInputValue(data.at("buttonType"));
}

nlohmann::json SpriteNonsense::ToJson() const {
    return nlohmann::json{{"rotationSpeed", rotationSpeed},
                          {"scalingSpeed", scalingSpeed},
                          {"buttonState", buttonState ? 1 : 0},
                          {"buttonType", buttonType}};
}
