#pragma once
// Aims at the mouse pointer and, when PlayerInput pulls the trigger, spawns projectiles of one of
// seven kinds from entity archetype files in the data directory, and sounds the clip of its type
// through the owner's AudioSource. Randomness is the C library's rand(), which the program never
// seeds, so every run draws the same spread.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "engine/Vector2.h"
#include "entities/Component.h"
#include "gameplay/WeaponType.h"

class Entity;
struct PlayRequest;
struct Sound;

class Weapon : public Component {
public:
    static constexpr const char* kComponentName = "Weapon";

    static constexpr const char* kPistolArchetype = "PistolBullet.json";
    static constexpr const char* kRifleArchetype = "RifleBullet.json";
    static constexpr const char* kSniperArchetype = "SniperBullet.json";
    static constexpr const char* kShotgunArchetype = "ShotgunBullet.json";
    static constexpr const char* kFlameArchetype = "FlamethrowerFlame.json";
    static constexpr const char* kBoomerangArchetype = "CurveballBoomerang.json";

    // The most shots one trigger pull may fire ("SHOTGUN_AMOUNT", "CUSTOM_AMOUNT"). Every pellet
    // loads its archetype and then lives in the scene, so a volley costs time in proportion: 64
    // spawn in under a millisecond and already fill the shotgun's 40 degrees with pellets less
    // than a degree apart on average, while 20000 stalled the game for over a second per pull.
    static constexpr std::uint32_t kMaxAmount = 64;

    // A boomerang bends towards its heading plus this angle.
    static constexpr float kCurveAngleDegrees = 45.0f;
    static constexpr std::size_t kWeaponTypeCount =
        static_cast<std::size_t>(WeaponType::CUSTOM) + 1;

    // Each type's clip is its default one (see Weapon.cpp).
    Weapon();

    // The copy has no flamethrower sound of its own yet.
    std::unique_ptr<Component> Clone() const override;
    // Aims at the pointer and refreshes the cooldown from the weapon type. Ends the flamethrower's
    // sound when no trigger pull of the flamethrower came since the previous update.
    void Update(float dt) override;
    // The flamethrower's sound ends with the weapon.
    void ShutDown() override;
    // The spreads are not read: every loaded weapon keeps the default spreads. An amount below 0
    // or above kMaxAmount is refused with a trace warning naming the key and the value, and the
    // amount stays as it was (on a loaded weapon, the default). The clips
    // ("PISTOL_SOUND" ... "CUSTOM_SOUND", file names under Assets/Sounds/) are optional: a file
    // without them keeps the defaults.
    void FromJson(const nlohmann::json& data) override;
    nlohmann::json ToJson() const override;

    // One trigger pull: the shots of the weapon type, then its sound through the owner's
    // AudioSource (if it has one), which lends it its strength and volume. Every type but the
    // flamethrower plays its clip once per pull; the flamethrower, pulled at every update while
    // held, loops its clip from the first pull until an update passes without one. A type
    // without a clip of its own plays the source's clip.
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
    // The clip of each weapon type, by type number.
    std::array<Sound*, kWeaponTypeCount> sounds{};

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
    void PlayTriggerSound();
    void StopFlameSound();

    // The held flamethrower's loop, while it plays.
    std::shared_ptr<PlayRequest> flameSound;
    bool firedSinceUpdate = false;
};
