#include "graphics/Camera.h"

#include "entities/Entity.h"
#include "graphics/GraphicsSystem.h"
#include "physics/Transform.h"

Camera::Camera() : Component(kComponentName) {}

std::unique_ptr<Component> Camera::Clone() const {
    return std::make_unique<Camera>(*this);
}

void Camera::Update(float /*dt*/) {
    Transform* transform = owner != nullptr ? owner->GetComponent<Transform>() : nullptr;
    if (transform == nullptr) {
        return;
    }
    const Vector2 world = transform->GetWorldPosition();
    GraphicsSystem::Instance().camera.position = {world.x, world.y, 0.0f};
}

void Camera::FromJson(const nlohmann::json& /*data*/) {}

nlohmann::json Camera::ToJson() const {
    return nullptr;
}
