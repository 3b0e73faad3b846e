#pragma once
// Places an entity in the world: local position, rotation (degrees, counter-clockwise) and
// scale relative to the parent's transform, world values derived on demand, and the world
// matrix the sprite path draws with. Moves go through the setters so the caches are marked out
// of date (this transform's and its direct children's).

#include "engine/Matrix4.h"
#include "engine/Vector2.h"
#include "entities/Component.h"

class Transform : public Component {
public:
    static constexpr const char* kComponentName = "Transform";

    Transform();

    std::unique_ptr<Component> Clone() const override;
    void FromJson(const nlohmann::json& data) override;
    nlohmann::json ToJson() const override;

    virtual Vector2 GetWorldPosition();
    virtual Vector2 GetWorldScale();
    virtual float GetWorldRotation();

    void SetPosition(Vector2 value);
    void SetRotation(float value);
    void SetScale(Vector2 value);

    // Recomputes `matrix` from the world values and marks the transform clean.
    void UpdateMatrix();

    Vector2 position{0.0f, 0.0f};
    float rotation = 0.0f;
    Vector2 scale{1.0f, 1.0f};
    // Fixed level geometry: never pushed by collision response.
    bool isStatic = false;
    bool isDirty = true;
    Vector2 worldPosition{0.0f, 0.0f};
    Vector2 worldScale{0.0f, 0.0f};
    float worldRotation = 0.0f;
    Matrix4 matrix{};

protected:
    // For TransformUI, which shares the component name.
    explicit Transform(std::string componentName);

private:
    // The parent entity's transform, when the owner has a parent that has one.
    Transform* ParentTransform() const;
    // The world values of this transform under `parent` (its ParentTransform), refreshed while
    // the transform is out of date; the public getters and UpdateMatrix share them, so that
    // building the matrix looks the parent up once instead of once per value.
    Vector2 WorldScaleUnder(const Transform* parent);
    float WorldRotationUnder(Transform* parent);
    Vector2 WorldPositionUnder(Transform* parent);
    void MarkDirty();
};
