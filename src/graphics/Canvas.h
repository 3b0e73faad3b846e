#pragma once
// Makes its entity follow the camera's view, so entities placed under it keep their place on
// screen (menus, labels, buttons). It copies the view's centre left by the previous frame's camera
// update, so screen-space children trail a moving camera by one frame. Its children are placed in
// world units from the screen's centre: the screen's edges lie VisibleHalfWidth() either side and
// VisibleHalfHeight() above and below (graphics system's camera), and the side edges move with
// the window's shape.

#include "entities/Component.h"

class Transform;

class Canvas : public Component {
public:
    static constexpr const char* kComponentName = "Canvas";

    Canvas();

    std::unique_ptr<Component> Clone() const override;
    void Update(float dt) override;
    void FromJson(const nlohmann::json& data) override;
    nlohmann::json ToJson() const override;

    // The entity's Transform, refreshed every update; not owned.
    Transform* transform = nullptr;
};
