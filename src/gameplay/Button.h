#pragma once
// A clickable menu item. Its hit area is its entity's rectangle (the Transform's scale around its
// position, as the sprite is drawn): while the pointer is inside, the button highlights; a CLICK
// press that begins inside arms it and shows the pressed colour; the release of that press inside
// runs its named action, with its click (the clip of the entity's AudioSource, heard wherever the
// listener is). A press that began elsewhere (a fire button held when a level ended, a drag
// from another button) never runs it. Console lines announce the hover changes and the press
// (standard output only, not the trace log).

#include <string>

#include "engine/Vector2.h"
#include "engine/Vector3.h"
#include "entities/Component.h"
#include "gameplay/ButtonFunctions.h"

class Button : public Component {
public:
    static constexpr const char* kComponentName = "Button";
    // The pointer entity's exact name: its position is what the button tests.
    static constexpr const char* kPointerName = "MouseObject";
    static constexpr float kHoverScale = 1.1f;

    Button();

    std::unique_ptr<Component> Clone() const override;
    // Captures the sprite's colour as the normal one, and the CLICK held when the button appears
    // (so a press that began before it existed cannot arm it).
    void Initialize() override;
    // Hover transitions, then the press: armed on a press inside, fired on its release inside.
    void Update(float dt) override;
    // Reading "function" always rebinds the action, even to the same name.
    void FromJson(const nlohmann::json& data) override;
    nlohmann::json ToJson() const override;

    // Whether `point` (world units) lies in the button's rectangle as it is drawn now.
    bool Contains(Vector2 point) const;

    std::string function;
    ButtonAction action;
    Vector3 hoverColor{0.0f, 0.0f, 0.0f};
    Vector3 heldColor{0.0f, 0.0f, 0.0f};
    Vector3 normalColor{0.0f, 0.0f, 0.0f};
    // Armed by a press that began on the button; cleared by any release.
    bool isHeld = false;
    bool wasHovered = false;
    // CLICK as it was at the previous update: a press is the change from up to down.
    bool wasClickDown = false;

private:
    void SetSpriteColor(const Vector3& color) const;
    void ScaleBy(float factor) const;
    bool PointerInside() const;
};
