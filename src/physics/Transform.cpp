#include "physics/Transform.h"

#include <cmath>

#include "entities/Entity.h"
#include "entities/JsonReaders.h"

namespace {
constexpr float kDegreesToRadians = 0.017453292f;

// Exact comparison on purpose: any change, however small, must reach the caches.
bool Differs(Vector2 a, Vector2 b) {
    return !(a.x == b.x) || !(a.y == b.y);
}

// Every move goes through the setters, so refusing non-finite values here keeps NaN and infinity
// out of every transform (a runaway value upstream leaves the entity where it was instead of
// poisoning its children and its matrix).
bool IsFinite(Vector2 v) {
    return std::isfinite(v.x) && std::isfinite(v.y);
}
}  // namespace

Transform::Transform() : Component(kComponentName) {}

Transform::Transform(std::string componentName) : Component(std::move(componentName)) {}

std::unique_ptr<Component> Transform::Clone() const {
    return std::make_unique<Transform>(*this);
}

Transform* Transform::ParentTransform() const {
    if (owner == nullptr || owner->parent == nullptr) {
        return nullptr;
    }
    return owner->parent->GetComponent<Transform>();
}

void Transform::MarkDirty() {
    isDirty = true;
    if (owner == nullptr) {
        return;
    }
    for (Entity* child : owner->children) {
        if (auto* childTransform = child->GetComponent<Transform>()) {
            childTransform->isDirty = true;
        }
    }
}

void Transform::SetPosition(Vector2 value) {
    if (!IsFinite(value)) {
        return;
    }
    if (Differs(value, position)) {
        MarkDirty();
    }
    position = value;
}

void Transform::SetRotation(float value) {
    if (!std::isfinite(value)) {
        return;
    }
    if (!(value == rotation)) {
        MarkDirty();
    }
    rotation = value;
}

void Transform::SetScale(Vector2 value) {
    if (!IsFinite(value)) {
        return;
    }
    if (Differs(value, scale)) {
        MarkDirty();
    }
    scale = value;
}

float Transform::GetWorldRotation() {
    return isDirty ? WorldRotationUnder(ParentTransform()) : worldRotation;
}

Vector2 Transform::GetWorldScale() {
    return isDirty ? WorldScaleUnder(ParentTransform()) : worldScale;
}

Vector2 Transform::GetWorldPosition() {
    return isDirty ? WorldPositionUnder(ParentTransform()) : worldPosition;
}

float Transform::WorldRotationUnder(Transform* parent) {
    if (isDirty) {
        worldRotation = parent != nullptr ? parent->GetWorldRotation() + rotation : rotation;
    }
    return worldRotation;
}

Vector2 Transform::WorldScaleUnder(const Transform* parent) {
    if (isDirty) {
        // Only the parent's own scale is inherited: one level of scaling, by design.
        worldScale = parent != nullptr
                         ? Vector2{parent->scale.x * scale.x, parent->scale.y * scale.y}
                         : scale;
    }
    return worldScale;
}

Vector2 Transform::WorldPositionUnder(Transform* parent) {
    if (isDirty) {
        if (parent == nullptr) {
            worldPosition = position;
        } else {
            const Vector2 parentScale = parent->GetWorldScale();
            const float angle = parent->GetWorldRotation() * kDegreesToRadians;
            const Vector2 parentPosition = parent->GetWorldPosition();
            const float x = position.x * parentScale.x;
            const float y = position.y * parentScale.y;
            worldPosition = {std::cos(angle) * x - std::sin(angle) * y + parentPosition.x,
                             std::cos(angle) * y + std::sin(angle) * x + parentPosition.y};
        }
    }
    return worldPosition;
}

void Transform::UpdateMatrix() {
    Transform* parent = isDirty ? ParentTransform() : nullptr;
    const Vector2 s = WorldScaleUnder(parent);
    const float r = WorldRotationUnder(parent) * kDegreesToRadians;
    const Vector2 t = WorldPositionUnder(parent);
    matrix = Matrix4::TranslateRotateZScale(t.x, t.y, r, s.x, s.y);
    isDirty = false;
}

void Transform::FromJson(const nlohmann::json& data) {
    ReadJsonVector2(data, "position", position);
    ReadJsonFloat(data, "rotation", rotation);
    ReadJsonVector2(data, "scale", scale);
    MarkDirty();
}

nlohmann::json Transform::ToJson() const {
    return nlohmann::json{{"position", Vector2ToJson(position)},
                          {"rotation", rotation},
                          {"scale", Vector2ToJson(scale)}};
}
