#pragma once
// Base of the three collider kinds (circle, line, rectangle). It carries what every kind shares:
// the kind number written to files, a free label, and the two flags of the push-out response
// that every collider runs when its entity is told of a contact. The shapes and their tests live
// in the kinds and in ColliderSystem; a plain Collider (what Clone makes, and what the editor can
// add) has no shape and never touches anything.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/Vector2.h"
#include "entities/Component.h"

class Transform;

class Collider : public Component {
public:
    static constexpr const char* kComponentName = "Collider";

    // The kind numbers of files ("type"); a plain Collider has none of them.
    static constexpr std::int32_t kNoKind = -1;
    static constexpr std::int32_t kCircleKind = 0;
    static constexpr std::int32_t kRectangleKind = 1;
    static constexpr std::int32_t kLineKind = 2;

    static constexpr const char* kDefaultLabel = "Collider";
    // Upper bound of one response, in steps of kPushOutStep world units.
    static constexpr int kMaxPushOutSteps = 200;
    static constexpr float kPushOutStep = 0.5f;

    // Draw every collider's outline. Process-wide; the engine settings window switches it.
    static inline bool showDebugColliders = true;

    Collider();

    // Every kind clones into a plain Collider holding only the shared fields, unattached.
    std::unique_ptr<Component> Clone() const override;
    void Render() override;
    // The push-out response: while both colliders are solid and active and still touch, moves
    // this collider's entity away from the other in fixed steps. Static entities never move.
    void OnCollision(Collider* other) override;
    // A plain Collider reads and writes only the "base collider" object.
    void FromJson(const nlohmann::json& data) override;
    nlohmann::json ToJson() const override;

    // Hands the outline to the debug drawing, which draws it at once with its own buffers; a
    // plain Collider has none.
    virtual void DebugDraw();

    // The Transform of the owning entity, or null when there is none to place the shape with.
    Transform* OwnerTransform() const;

    std::int32_t type = kNoKind;
    // The free label saved as "name" in the "base collider" object. It is not Component::name:
    // that one is the entity-file key every collider is written under ("Collider"), so a label
    // stored there would write the collider under a key that reads back as a child entity.
    std::string label = kDefaultLabel;
    bool isSolid = false;
    // Only the push-out response looks at it; tests and reports ignore it.
    bool active = true;

protected:
    // Keys shared by the kinds' own objects.
    static constexpr const char* kBaseColliderKey = "base collider";
    static constexpr const char* kRelativePosKey = "relativePos";
    static constexpr const char* kIsSolidKey = "is solid";

    explicit Collider(std::int32_t kind);
    Collider(const Collider&) = default;

    // The "base collider" object, each key optional. The kind stays what the class says.
    void ReadBaseCollider(const nlohmann::json& base);
    nlohmann::json BaseColliderJson() const;
    // A required {"x", "y"} member: missing or malformed, the JSON library's error propagates.
    static Vector2 RequiredVector(const nlohmann::json& data, const char* key);

private:
    // Unit direction that moves this collider's entity out of `other`, or (0, 0) when the
    // positions give none.
    Vector2 AwayFrom(Transform& mine, Transform& theirs, Collider& other);
};
