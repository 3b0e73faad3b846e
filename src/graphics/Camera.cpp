#include "graphics/Camera.h"

#include <algorithm>

#include "engine/TraceLog.h"
#include "entities/Entity.h"
#include "entities/JsonReaders.h"
#include "graphics/GraphicsSystem.h"
#include "physics/Transform.h"

namespace {
constexpr const char* kBoundsKey = "bounds";
constexpr const char* kMinKey = "min";
constexpr const char* kMaxKey = "max";

// The view's centre on one axis nearest to `wanted` that keeps a view reaching `halfView` either
// side within low .. high.
float KeepViewInside(float wanted, float low, float high, float halfView) {
    if (high - low <= 2.0f * halfView) {
        return (low + high) * 0.5f;
    }
    return std::clamp(wanted, low + halfView, high - halfView);
}

Vector2 ReadPoint(const nlohmann::json& point) {
    return {JsonToFloat(point.at("x")), JsonToFloat(point.at("y"))};
}
}  // namespace

Camera::Camera() : Component(kComponentName) {}

std::unique_ptr<Component> Camera::Clone() const {
    return std::make_unique<Camera>(*this);
}

void Camera::Update(float /*dt*/) {
    Transform* transform = owner != nullptr ? owner->GetComponent<Transform>() : nullptr;
    if (transform == nullptr) {
        return;
    }
    CameraMatrices& camera = GraphicsSystem::Instance().camera;
    Vector2 centre = transform->GetWorldPosition();
    if (bounds) {
        centre = {KeepViewInside(centre.x, bounds->min.x, bounds->max.x, camera.VisibleHalfWidth()),
                  KeepViewInside(centre.y, bounds->min.y, bounds->max.y,
                                 camera.VisibleHalfHeight())};
    }
    camera.position = {centre.x, centre.y, 0.0f};
}

void Camera::FromJson(const nlohmann::json& data) {
    bounds.reset();
    if (!data.is_object() || !data.contains(kBoundsKey)) {
        return;
    }
    const nlohmann::json& read = data.at(kBoundsKey);
    const Bounds found{ReadPoint(read.at(kMinKey)), ReadPoint(read.at(kMaxKey))};
    if (found.min.x > found.max.x || found.min.y > found.max.y) {
        TraceLog::Warning("Camera::FromJson - bounds " + read.dump() +
                          " end before they begin; the camera follows its entity anywhere");
        return;
    }
    bounds = found;
}

nlohmann::json Camera::ToJson() const {
    if (!bounds) {
        return nullptr;
    }
    return {{kBoundsKey, {{kMinKey, Vector2ToJson(bounds->min)}, {kMaxKey, Vector2ToJson(bounds->max)}}}};
}
