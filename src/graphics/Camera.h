#pragma once
// Makes the camera follow its entity: each update puts the graphics system's camera at the
// entity's world position (z 0). With several cameras the last one updated wins.

#include "entities/Component.h"

class Camera : public Component {
public:
    static constexpr const char* kComponentName = "Camera";

    Camera();

    std::unique_ptr<Component> Clone() const override;
    void Update(float dt) override;
    void FromJson(const nlohmann::json& data) override;
    // A camera has no settings of its own: it is written as null.
    nlohmann::json ToJson() const override;
};
