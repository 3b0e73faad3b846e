#pragma once
// Aims at the mouse pointer and, when PlayerInput pulls the trigger, spawns projectiles of one of
// seven kinds from entity archetype files in the data directory. Randomness is the C library's
// rand(), which the program never seeds, so every run draws the same spread.

#include <cstdint>
#include <string>

#include "engine/Vector2.h"
#include "entities/Component.h"
#include "gameplay/WeaponType.h"

class Entity;

class Weapon : public Component {
public:
    static constexpr const char* kComponentName = "Weapon";

    static constexpr const char* kPistolArchetype = "PistolBullet.json";
    static constexpr const char* kRifleArchetype = "RifleBullet.json";
    static constexpr const char* kSniperArchetype = "SniperBullet.json";
    static constexpr const char* kShotgunArchetype = "ShotgunBullet.json";
    static constexpr const char* kFlameArchetype = "FlamethrowerFlame.json";
    static constexpr const char* kBoomerangArchetype = "CurveballBoomerang.json";

    // A boomerang bends towards its heading plus this angle.
    static constexpr float kCurveAngleDegrees = 45.0f;

    Weapon();

    std::unique_ptr<Component> Clone() const override;
    // Aims at the pointer and refreshes the cooldown from the weapon type.
    void Update(float dt) override;
    // The spreads are not read: every loaded weapon keeps the default spreads.
    void FromJson(const nlohmann::json& data) override;
    nlohmann::json ToJson() const override;

    // One trigger pull: the shots of the weapon type, then the owner's AudioSource (if it has
    // one) plays its buffered sound.
    void Fire();

    // Degrees, counter-clockwise from +x.
    float aimAngle = 0.0f;
    float PISTOL_SPEED = 1500.0f;
    float RIFLE_SPEED = 1500.0f;
    float SNIPER_SPEED = 2500.0f;
    float SHOTGUN_SPEED = 2000.0f;
    float FLAMETHROWER_SPEED = 2000.0f;
    float CURVEBALL_SPEED = 500.0f;
    float CUSTOM_SPEED = 5.0f;
    float PISTOL_RANGE = 0.1f;
    float RIFLE_RANGE = 0.75f;
    float SNIPER_RANGE = 1.5f;
    float SHOTGUN_RANGE = 0.25f;
    float FLAMETHROWER_RANGE = 0.25f;
    float CURVEBALL_RANGE = 2.0f;
    float CUSTOM_RANGE = 100.0f;
    std::uint32_t SHOTGUN_AMOUNT = 5;
    std::uint32_t CUSTOM_AMOUNT = 1;
    float PISTOL_SPREAD = 0.0f;
    float RIFLE_SPREAD = 10.0f;
    float SNIPER_SPREAD = 0.0f;
    float SHOTGUN_SPREAD = 40.0f;
    float FLAMETHROWER_SPREAD = 30.0f;
    float CURVEBALL_SPREAD = 0.0f;
    float CUSTOM_SPREAD = 1.0f;
    std::int32_t weaponType = static_cast<std::int32_t>(WeaponType::PISTOL);
    std::int32_t coolDown = 0;

private:
    // Loads the archetype and sets it off from the owner at `heading` degrees with `speed`. The
    // projectile is not attached yet, so the caller can adjust it first; null (after one trace
    // error naming the file) when the archetype cannot be loaded or lacks what a shot needs.
    Entity* SpawnProjectile(const std::string& archetype, float speed, float heading) const;
    // Attaches a spawned projectile under the engine's root entity.
    static void Launch(Entity* projectile);
    void FireBullets(const char* archetype, float speed, float spread, std::uint32_t count) const;
    void FireFlame() const;
    void FireBoomerang() const;
};
