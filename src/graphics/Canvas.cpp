#include "graphics/Canvas.h"

#include "entities/Entity.h"
#include "graphics/GraphicsSystem.h"
#include "physics/Transform.h"

Canvas::Canvas() : Component(kComponentName) {}

std::unique_ptr<Component> Canvas::Clone() const {
    return std::make_unique<Canvas>(*this);
}

void Canvas::Update(float /*dt*/) {
    transform = owner != nullptr ? owner->GetComponent<Transform>() : nullptr;
    if (transform == nullptr) {
        return;
    }
    transform->SetPosition(GraphicsSystem::Instance().camera.ViewCentre());
}

void Canvas::FromJson(const nlohmann::json& /*data*/) {}

nlohmann::json Canvas::ToJson() const {
    return nullptr;
}
