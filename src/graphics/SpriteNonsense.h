#pragma once
// A test component: while one of ROTATE_RIGHT, ROTATE_LEFT, SCALE_UP or SCALE_DOWN is held it
// turns or scales its entity by a fixed step per update (not scaled by the frame time). Releasing
// any input stops it.

#include "entities/Component.h"

// A developer's test component that ships with the game: the editor's "Add Component:" offers it
// for trying out an entity's rotation and scale live, with the ROTATE_* and SCALE_* inputs that
// only it reacts to. Entity files cannot name it (it has no reader key), so it only ever comes
// from the editor. It lives in graphics/ beside the sprite components whose drawing it exercises;
// the name says it is no part of the game itself.
class SpriteNonsense : public Component {
public:
    static constexpr const char* kComponentName = "SpriteNonsense";
    static constexpr int kNoButton = -1;

    SpriteNonsense();

    void HandleMessage(const InputMessage& message) override;
    std::unique_ptr<Component> Clone() const override;
    void Update(float dt) override;
    // All four keys are required here (a missing one throws).
    void FromJson(const nlohmann::json& data) override;
    nlohmann::json ToJson() const override;

    float rotationSpeed = 0.0f;
    float scalingSpeed = 0.0f;
    bool buttonState = false;
    // An InputType value, or kNoButton.
    int buttonType = kNoButton;
};
