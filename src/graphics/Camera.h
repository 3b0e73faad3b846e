#pragma once
// Makes the camera follow its entity: each update puts the graphics system's camera at the
// entity's world position (z 0). With bounds (a level's extent) the camera stops short of them,
// so the view never shows what lies outside; on an axis where the bounds are narrower than the
// view it stays at their centre. With several cameras the last one updated wins.

#include <optional>

#include "engine/Vector2.h"
#include "entities/Component.h"

class Camera : public Component {
public:
    static constexpr const char* kComponentName = "Camera";

    // A rectangle in world units, `min` its bottom-left corner and `max` its top-right one.
    struct Bounds {
        Vector2 min;
        Vector2 max;
        bool operator==(const Bounds&) const = default;
    };

    Camera();

    std::unique_ptr<Component> Clone() const override;
    void Update(float dt) override;
    // null (or an object without "bounds") follows the entity anywhere; {"bounds": {"min": {"x",
    // "y"}, "max": {"x", "y"}}} keeps the view inside. Bounds whose min lies beyond their max are
    // reported and dropped.
    void FromJson(const nlohmann::json& data) override;
    // null without bounds, as cameras were always written.
    nlohmann::json ToJson() const override;

    std::optional<Bounds> bounds;
};
