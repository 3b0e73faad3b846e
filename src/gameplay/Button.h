#pragma once
// A clickable menu item. The pointer entity's circle collider reports its contacts to the button:
// the button highlights while the pointer is over it, shows a pressed colour while CLICK is held
// there, and runs its named action when CLICK is released over it. Console lines announce the
// hover changes and the press (standard output only, not the trace log).

#include <string>

#include "engine/Vector3.h"
#include "entities/Component.h"
#include "gameplay/ButtonFunctions.h"

class Button : public Component {
public:
    static constexpr const char* kComponentName = "Button";
    // The pointer entity's exact name: only its contacts count.
    static constexpr const char* kPointerName = "MouseObject";
    static constexpr float kHoverScale = 1.1f;

    Button();

    std::unique_ptr<Component> Clone() const override;
    // Captures the sprite's colour as the normal one.
    void Initialize() override;
    // Hover transitions, one frame after the contact began or ended.
    void Update(float dt) override;
    void OnCollision(Collider* other) override;
    // Reading "function" always rebinds the action, even to the same name.
    void FromJson(const nlohmann::json& data) override;
    nlohmann::json ToJson() const override;

    std::string function;
    ButtonAction action;
    Vector3 hoverColor{0.0f, 0.0f, 0.0f};
    Vector3 heldColor{0.0f, 0.0f, 0.0f};
    Vector3 normalColor{0.0f, 0.0f, 0.0f};
    bool isHeld = false;
    bool isHoveredNow = false;
    bool wasHovered = false;

private:
    void SetSpriteColor(const Vector3& color) const;
    void ScaleBy(float factor) const;
};
