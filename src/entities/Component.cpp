#include "entities/Component.h"

Component::Component(std::string name) : name(std::move(name)) {}

std::unique_ptr<Component> Component::Clone() const {
    return nullptr;
}

void Component::Initialize() {}

void Component::Update(float /*dt*/) {}

void Component::Render() {}

void Component::ShutDown() {}

void Component::OnCollision(Collider* /*other*/) {}
