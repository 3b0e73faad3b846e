#pragma once
// An axis-aligned rectangle of `size` centred at the entity's world position plus `relativePos`.
// Loaded, saved and drawn, but the collision pass never tests rectangles, so one never reports a
// contact of its own; told of another collider's contact (as a partner component on the same
// entity), it does not move its entity either, since there is no rectangle test to re-check.

#include <vector>

#include "engine/Vector2.h"
#include "physics/Collider.h"

class ColliderRectangle : public Collider {
public:
    ColliderRectangle();

    // The first time, makes the four corners at the current size.
    void Initialize() override;
    void DebugDraw() override;
    // Reads "base collider" (each of its keys optional), "relativePos", "scale" (the size) and
    // "is solid", all required.
    void FromJson(const nlohmann::json& data) override;
    nlohmann::json ToJson() const override;

    Vector2 relativePos{0.0f, 0.0f};
    // Width and height, written as "scale".
    Vector2 size{0.0f, 0.0f};
    std::vector<Vector2> cornerPoints;
};
