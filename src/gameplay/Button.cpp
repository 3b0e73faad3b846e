#include "gameplay/Button.h"

#include <cmath>
#include <iostream>

#include "audio/AudioSource.h"
#include "engine/Engine.h"
#include "engine/InputType.h"
#include "entities/Entity.h"
#include "entities/JsonReaders.h"
#include "graphics/Sprite.h"
#include "input/InputStateSystem.h"
#include "physics/Transform.h"

Button::Button() : Component(kComponentName) {}

std::unique_ptr<Component> Button::Clone() const {
    return std::make_unique<Button>(*this);
}

void Button::Initialize() {
    if (const Sprite* sprite = owner != nullptr ? owner->GetComponent<Sprite>() : nullptr) {
        normalColor = sprite->color;
    }
    wasClickDown = IsHeld(InputType::CLICK);
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

bool Button::Contains(Vector2 point) const {
    Transform* transform = owner != nullptr ? owner->GetComponent<Transform>() : nullptr;
    if (transform == nullptr) {
        return false;
    }
    const Vector2 centre = transform->GetWorldPosition();
    // The sprite's unit quad is scaled by the Transform; a mirrored scale is still that size.
    return std::abs(point.x - centre.x) <= std::abs(transform->scale.x) * 0.5f &&
           std::abs(point.y - centre.y) <= std::abs(transform->scale.y) * 0.5f;
}

bool Button::PointerInside() const {
    const Entity* pointer = Engine::Instance().mouseObject;
    Transform* at = pointer != nullptr ? pointer->GetComponent<Transform>() : nullptr;
    return at != nullptr && Contains(at->GetWorldPosition());
}

void Button::Update(float /*dt*/) {
    const bool hovered = PointerInside();
    if (hovered && !wasHovered) {
        std::cout << "OnHover\n" << std::flush;
        SetSpriteColor(hoverColor);
        ScaleBy(kHoverScale);
    } else if (!hovered && wasHovered) {
        std::cout << "OffHover\n" << std::flush;
        SetSpriteColor(normalColor);
        ScaleBy(1.0f / kHoverScale);
    }
    wasHovered = hovered;

    const bool clickDown = IsHeld(InputType::CLICK);
    const bool pressed = clickDown && !wasClickDown;
    const bool released = !clickDown && wasClickDown;
    wasClickDown = clickDown;
    if (pressed && hovered) {
        isHeld = true;
        SetSpriteColor(heldColor);
    } else if (released) {
        const bool fires = isHeld && hovered;
        isHeld = false;
        SetSpriteColor(hovered ? hoverColor : normalColor);
        if (fires) {
            std::cout << "button pressed\n" << std::flush;
            AudioSource::PlayInterfaceSound(owner);
            if (action) {
                action();
            }
        }
    }
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
