#include "graphics/Camera.h"

#include "engine/TraceLog.h"
#include "entities/Entity.h"
#include "entities/JsonReaders.h"
#include "graphics/GraphicsSystem.h"
#include "physics/Transform.h"

namespace {
constexpr const char* kBoundsKey = "bounds";
constexpr const char* kMinKey = "min";
constexpr const char* kMaxKey = "max";

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
    const Vector2 world = transform->GetWorldPosition();
    camera.position = {world.x, world.y, 0.0f};
    camera.bounds = bounds;
}

void Camera::FromJson(const nlohmann::json& data) {
    bounds.reset();
    if (!data.is_object() || !data.contains(kBoundsKey)) {
        return;
    }
    const nlohmann::json& read = data.at(kBoundsKey);
    const CameraMatrices::Bounds found{ReadPoint(read.at(kMinKey)), ReadPoint(read.at(kMaxKey))};
    if (found.min.x > found.max.x || found.min.y > found.max.y) {
        TraceLog::Warning("Camera::FromJson - bounds " + read.dump() +
                          " end before they begin; the view follows its entity anywhere");
        return;
    }
    bounds = found;
}

nlohmann::json Camera::ToJson() const {
    if (!bounds) {
        return nullptr;
    }
    return {{kBoundsKey,
             {{kMinKey, Vector2ToJson(bounds->min)}, {kMaxKey, Vector2ToJson(bounds->max)}}}};
}
