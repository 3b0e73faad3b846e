#pragma once
// Makes the camera follow its entity: each update puts the graphics system's camera at the
// entity's world position (z 0) and hands it this camera's bounds (a level's extent), so the view
// never shows what lies beyond them. With several cameras the last one updated wins.

#include <optional>

#include "entities/Component.h"
#include "graphics/CameraMatrices.h"

class Camera : public Component {
public:
    static constexpr const char* kComponentName = "Camera";

    Camera();

    std::unique_ptr<Component> Clone() const override;
    void Update(float dt) override;
    // null (or an object without "bounds") lets the view follow the entity anywhere;
    // {"bounds": {"min": {"x", "y"}, "max": {"x", "y"}}} keeps it inside. Bounds whose min lies
    // beyond their max are reported and dropped.
    void FromJson(const nlohmann::json& data) override;
    // null without bounds, as cameras were always written.
    nlohmann::json ToJson() const override;

    std::optional<CameraMatrices::Bounds> bounds;
};
