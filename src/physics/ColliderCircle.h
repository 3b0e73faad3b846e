#pragma once
// A circle of `radius` (scaled by the larger of the entity's own scale components) centred at the
// entity's world position plus `relativePos`. The engine's pointer entity carries one, which is
// how buttons see the mouse.

#include <cstdint>
#include <vector>

#include "engine/Vector2.h"
#include "physics/Collider.h"

class ColliderCircle : public Collider {
public:
    static constexpr std::int32_t kDefaultOutlineSegments = 20;

    ColliderCircle();

    // The first time, makes the outline at the current radius (later radius changes move the
    // tests at once but not the drawn outline).
    void Initialize() override;
    void DebugDraw() override;
    // Reads "relativePos", "radius" and "is solid", all required; "base collider" is ignored, so
    // a loaded circle keeps the default label and stays active.
    void FromJson(const nlohmann::json& data) override;
    nlohmann::json ToJson() const override;

    Vector2 relativePos{0.0f, 0.0f};
    float radius = 0.0f;
    std::int32_t outlineSegments = kDefaultOutlineSegments;
    std::vector<Vector2> outlinePoints;
};
