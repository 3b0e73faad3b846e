#include "gameplay/Button.h"

#include <iostream>

#include "audio/AudioSource.h"
#include "engine/InputType.h"
#include "entities/Entity.h"
#include "entities/JsonReaders.h"
#include "graphics/Sprite.h"
#include "input/InputStateSystem.h"
#include "physics/Collider.h"
#include "physics/Transform.h"

Button::Button() : Component(kComponentName) {}

std::unique_ptr<Component> Button::Clone() const {
    return std::make_unique<Button>(*this);
}

void Button::Initialize() {
    if (const Sprite* sprite = owner != nullptr ? owner->GetComponent<Sprite>() : nullptr) {
        normalColor = sprite->color;
    }
}

void Button::SetSpriteColor(const Vector3& color) const {
    if (Sprite* sprite = owner != nullptr ? owner->GetComponent<Sprite>() : nullptr) {
        sprite->color = color;
    }
}

void Button::ScaleBy(float factor) const {
    if (Transform* transform = owner != nullptr ? owner->GetComponent<Transform>() : nullptr) {
        transform->SetScale(transform->scale * factor);
    }
}

void Button::Update(float /*dt*/) {
    if (isHoveredNow && !wasHovered) {
        std::cout << "OnHover\n" << std::flush;
        SetSpriteColor(hoverColor);
        ScaleBy(kHoverScale);
    } else if (!isHoveredNow && wasHovered) {
        std::cout << "OffHover\n" << std::flush;
        SetSpriteColor(normalColor);
        ScaleBy(1.0f / kHoverScale);
    }
    wasHovered = isHoveredNow;
    isHoveredNow = false;
}

void Button::OnCollision(Collider* other) {
    if (other == nullptr || other->owner == nullptr || other->owner->name != kPointerName) {
        return;
    }
    isHoveredNow = true;
    if (!IsHeld(InputType::CLICK)) {
        // Released over the button: a press that armed it (here or elsewhere) fires now.
        if (isHeld) {
            std::cout << "button pressed\n" << std::flush;
            AudioSource::PlayInterfaceSound(owner);
            if (action) {
                action();
            }
            SetSpriteColor(normalColor);
        }
        isHeld = false;
        return;
    }
    isHeld = true;
    SetSpriteColor(heldColor);
}

void Button::FromJson(const nlohmann::json& data) {
    ReadJsonString(data, "function", function);
    const auto found = buttonFunctions.find(function);
    action = found != buttonFunctions.end() ? found->second : ButtonAction{};
    ReadJsonFloat(data, "hoverColor.x", hoverColor.x);
    ReadJsonFloat(data, "hoverColor.y", hoverColor.y);
    ReadJsonFloat(data, "hoverColor.z", hoverColor.z);
    ReadJsonFloat(data, "heldColor.x", heldColor.x);
    ReadJsonFloat(data, "heldColor.y", heldColor.y);
    ReadJsonFloat(data, "heldColor.z", heldColor.z);
}

nlohmann::json Button::ToJson() const {
    return nlohmann::json{{"function", function},
                          {"hoverColor.x", hoverColor.x},
                          {"hoverColor.y", hoverColor.y},
                          {"hoverColor.z", hoverColor.z},
                          {"heldColor.x", heldColor.x},
                          {"heldColor.y", heldColor.y},
                          {"heldColor.z", heldColor.z}};
}
