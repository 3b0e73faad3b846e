#pragma once
// Pins its entity's rotation to a fixed value every frame (a sprite that must not turn with its
// entity's movement).

#include "entities/Component.h"

class SpriteController : public Component {
public:
    static constexpr const char* kComponentName = "SpriteController";

    SpriteController();

    std::unique_ptr<Component> Clone() const override;
    void Update(float dt) override;
    void FromJson(const nlohmann::json& data) override;
    nlohmann::json ToJson() const override;

    float rotation = 0.0f;
};
