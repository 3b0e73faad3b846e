#include "gameplay/Weapon.h"

#include <array>
#include <cmath>
#include <exception>
#include <string>

#include "audio/AudioSource.h"
#include "audio/BufferedSound.h"
#include "audio/PlayRequest.h"
#include "audio/Sound.h"
#include "engine/Engine.h"
#include "engine/TraceLog.h"
#include "entities/Entity.h"
#include "entities/EntityFiles.h"
#include "entities/JsonReaders.h"
#include "gameplay/BoomerangBehavior.h"
#include "gameplay/FlameBehavior.h"
#include "gameplay/Heading.h"
#include "gameplay/RandomDraw.h"
#include "graphics/DebugDrawSystem.h"
#include "graphics/Emitter.h"
#include "physics/Physics.h"
#include "physics/Transform.h"

namespace {

struct TypeSound {
    const char* key;
    const char* defaultClip;
};

// By weapon type number. The custom type, which fires nothing of its own, borrows the pistol's.
constexpr std::array<TypeSound, Weapon::kWeaponTypeCount> kTypeSounds{{
    {"PISTOL_SOUND", "pistol_shot.ogg"},
    {"RIFLE_SOUND", "rifle_shot.ogg"},
    {"SNIPER_SOUND", "sniper_shot.ogg"},
    {"SHOTGUN_SOUND", "shotgun_blast.ogg"},
    {"FLAMETHROWER_SOUND", "flamethrower_burst.ogg"},
    {"CURVEBALL_SOUND", "curveball_throw.ogg"},
    {"CUSTOM_SOUND", "pistol_shot.ogg"},
}};

// Flame variation drawn per shot.
constexpr double kFlameRadiusGain = 2.0;
constexpr double kFlameLifeSpread = 0.25;
constexpr double kFlameColliderGain = 3.0;

constexpr const char* kSpawnError = "Weapon::Fire - cannot spawn projectile ";
constexpr const char* kAmountWarning = "Weapon::FromJson - ";

double SpreadOffset(double unit, float spread) {
    return unit * spread - spread * 0.5;
}

Vector2 Heading(double degrees) {
    const double radians = degrees * kDegreesToRadians;
    return {static_cast<float>(std::cos(radians)), static_cast<float>(std::sin(radians))};
}

// A present amount outside 0 .. kMaxAmount leaves `amount` as it was, reported once; an amount
// that is not a number throws the JSON library's type error, as any other key's value does.
void ReadAmount(const nlohmann::json& data, const char* key, std::uint32_t& amount) {
    const nlohmann::json& found = GetJsonPath(data, {key});
    if (IsMissingJsonValue(found)) {
        return;
    }
    const double number = found.get<double>();
    if (!(number >= 0.0 && number <= Weapon::kMaxAmount)) {
        TraceLog::Warning(std::string(kAmountWarning) + key + " " + found.dump() +
                          " refused: an amount is 0 to " + std::to_string(Weapon::kMaxAmount) +
                          "; keeping " + std::to_string(amount));
        return;
    }
    amount = JsonToUnsigned(found);
}

// Refreshed at every update; any other type keeps the cooldown it has.
void RefreshCoolDown(std::int32_t type, std::int32_t& coolDown) {
    switch (static_cast<WeaponType>(type)) {
        case WeaponType::PISTOL: coolDown = 50; break;
        case WeaponType::RIFLE: coolDown = 15; break;
        case WeaponType::SNIPER: coolDown = 100; break;
        case WeaponType::SHOTGUN: coolDown = 75; break;
        case WeaponType::FLAMETHROWER: coolDown = 0; break;
        case WeaponType::CURVEBALL: coolDown = 15; break;
        case WeaponType::CUSTOM: coolDown = 50; break;
    }
}

}  // namespace

Weapon::Weapon() : Component(kComponentName) {
    for (std::size_t type = 0; type < kWeaponTypeCount; ++type) {
        sounds[type] = GetSound(kTypeSounds[type].defaultClip);
    }
}

std::unique_ptr<Component> Weapon::Clone() const {
    auto copy = std::make_unique<Weapon>(*this);
    copy->flameSound.reset();
    copy->firedSinceUpdate = false;
    return copy;
}

void Weapon::ShutDown() {
    StopFlameSound();
}

void Weapon::Update(float /*dt*/) {
    Transform* transform = owner != nullptr ? owner->GetComponent<Transform>() : nullptr;
    Entity* pointer = Engine::Instance().mouseObject;
    Transform* pointerTransform = pointer != nullptr ? pointer->GetComponent<Transform>() : nullptr;
    if (transform != nullptr && pointerTransform != nullptr) {
        const Vector2 m = pointerTransform->GetWorldPosition();
        const Vector2 p = transform->GetWorldPosition();
        const Vector2 toPointer = m - p;
        // With the pointer exactly on the owner there is no direction: keep the last aim.
        if (toPointer.x != 0.0f || toPointer.y != 0.0f) {
            aimAngle = static_cast<float>(HeadingOf(toPointer));
        }
        DebugDrawSystem::Instance().AddLine(p, m);
    }
    RefreshCoolDown(weaponType, coolDown);
    // With no cooldown the flamethrower is pulled at every update while its trigger is held
    // (PlayerInput pulls before the weapon updates): an update without a pull means it was let go.
    if (!firedSinceUpdate || weaponType != static_cast<std::int32_t>(WeaponType::FLAMETHROWER)) {
        StopFlameSound();
    }
    firedSinceUpdate = false;
}

void Weapon::Fire() {
    switch (static_cast<WeaponType>(weaponType)) {
        case WeaponType::PISTOL:
            FireBullets(kPistolArchetype, PISTOL_SPEED, PISTOL_SPREAD, 1);
            break;
        case WeaponType::RIFLE:
            FireBullets(kRifleArchetype, RIFLE_SPEED, RIFLE_SPREAD, 1);
            break;
        case WeaponType::SNIPER:
            FireBullets(kSniperArchetype, SNIPER_SPEED, SNIPER_SPREAD, 1);
            break;
        case WeaponType::SHOTGUN:
            FireBullets(kShotgunArchetype, SHOTGUN_SPEED, SHOTGUN_SPREAD, SHOTGUN_AMOUNT);
            break;
        case WeaponType::FLAMETHROWER:
            FireFlame();
            break;
        case WeaponType::CURVEBALL:
            FireBoomerang();
            break;
        case WeaponType::CUSTOM:
            break;
    }
    firedSinceUpdate = true;
    // Every trigger pull sounds, whatever came out of the barrel (even nothing).
    PlayTriggerSound();
}

void Weapon::PlayTriggerSound() {
    const bool flame = weaponType == static_cast<std::int32_t>(WeaponType::FLAMETHROWER);
    if (!flame) {
        StopFlameSound();
    }
    AudioSource* source = owner != nullptr ? owner->GetComponent<AudioSource>() : nullptr;
    // A loop ended by someone else (its source shut down) is started again. A loop is marked
    // finished for a moment at the end of each round too, but stays looping.
    const bool flameSounding =
        flameSound != nullptr && (flameSound->isLooping || !flameSound->finished);
    if (source == nullptr || (flame && flameSounding)) {
        return;
    }
    BufferedSound sound = source->bufferedSound;
    if (weaponType >= 0 && static_cast<std::size_t>(weaponType) < kWeaponTypeCount) {
        sound.sound = sounds[static_cast<std::size_t>(weaponType)];
    }
    sound.isLooping = flame;
    // The loop follows the shooter for as long as it is held.
    sound.isContinuous = sound.isContinuous || flame;
    std::shared_ptr<PlayRequest> request = source->Play(sound);
    if (flame) {
        flameSound = std::move(request);
    }
}

void Weapon::StopFlameSound() {
    if (flameSound != nullptr) {
        StopRequest(*flameSound);
        flameSound.reset();
    }
}

Entity* Weapon::SpawnProjectile(const std::string& archetype, float speed, float heading) const {
    Transform* shooter = owner != nullptr ? owner->GetComponent<Transform>() : nullptr;
    if (shooter == nullptr) {
        return nullptr;
    }
    Entity* projectile = nullptr;
    try {
        projectile = LoadEntity(archetype);
    } catch (const std::exception& error) {
        TraceLog::Error(kSpawnError + archetype + ": " + error.what());
        return nullptr;
    }
    Transform* transform = projectile->GetComponent<Transform>();
    Physics* physics = projectile->GetComponent<Physics>();
    if (transform == nullptr || physics == nullptr) {
        TraceLog::Error(kSpawnError + archetype + ": it needs a Transform and a Physics");
        delete projectile;
        return nullptr;
    }
    transform->SetPosition(shooter->position);
    transform->SetRotation(heading - kSpriteHeadingOffset);
    physics->velocity = Heading(heading) * speed;
    return projectile;
}

void Weapon::Launch(Entity* projectile) {
    Engine::Instance().originEntity->AddChild(projectile);
}

void Weapon::FireBullets(const char* archetype, float speed, float spread,
                         std::uint32_t count) const {
    for (std::uint32_t shot = 0; shot < count; ++shot) {
        const double heading = aimAngle + SpreadOffset(UnitDraw(), spread);
        Entity* bullet = SpawnProjectile(archetype, speed, static_cast<float>(heading));
        // One report per trigger pull is enough: the rest of the volley would fail alike.
        if (bullet == nullptr) {
            return;
        }
        Launch(bullet);
    }
}

void Weapon::FireFlame() const {
    const double r1 = UnitDraw();
    const double r2 = UnitDraw();
    const double r3 = UnitDraw();
    const double r4 = UnitDraw();
    const double heading = aimAngle + SpreadOffset(r1, FLAMETHROWER_SPREAD);
    Entity* flame =
        SpawnProjectile(kFlameArchetype, FLAMETHROWER_SPEED, static_cast<float>(heading));
    if (flame == nullptr) {
        return;
    }
    Emitter* emitter = flame->GetComponent<Emitter>();
    FlameBehavior* behavior = flame->GetComponent<FlameBehavior>();
    if (emitter == nullptr || behavior == nullptr) {
        TraceLog::Error(kSpawnError + std::string(kFlameArchetype) +
                        ": it needs an Emitter and a FlameBehavior");
        delete flame;
        return;
    }
    const auto glowGain = static_cast<float>(kFlameRadiusGain * r3);
    emitter->radius += glowGain;
    behavior->lifeTime += r4 * kFlameLifeSpread - kFlameLifeSpread * 0.5;
    behavior->maxGlowStrength += glowGain;
    behavior->maxColliderSize += static_cast<float>(kFlameColliderGain + r2);
    Launch(flame);
}

void Weapon::FireBoomerang() const {
    Entity* boomerang = SpawnProjectile(kBoomerangArchetype, CURVEBALL_SPEED, aimAngle);
    if (boomerang == nullptr) {
        return;
    }
    BoomerangBehavior* behavior = boomerang->GetComponent<BoomerangBehavior>();
    if (behavior == nullptr) {
        TraceLog::Error(kSpawnError + std::string(kBoomerangArchetype) +
                        ": it needs a BoomerangBehavior");
        delete boomerang;
        return;
    }
    behavior->curveDirection = Heading(aimAngle + kCurveAngleDegrees);
    Launch(boomerang);
}

void Weapon::FromJson(const nlohmann::json& data) {
    ReadJsonInt(data, "weaponType", weaponType);
    ReadJsonInt(data, "coolDown", coolDown);
    ReadJsonFloat(data, "PISTOL_SPEED", PISTOL_SPEED);
    ReadJsonFloat(data, "RIFLE_SPEED", RIFLE_SPEED);
    ReadJsonFloat(data, "SNIPER_SPEED", SNIPER_SPEED);
    ReadJsonFloat(data, "SHOTGUN_SPEED", SHOTGUN_SPEED);
    ReadJsonFloat(data, "FLAMETHROWER_SPEED", FLAMETHROWER_SPEED);
    ReadJsonFloat(data, "CURVEBALL_SPEED", CURVEBALL_SPEED);
    ReadJsonFloat(data, "CUSTOM_SPEED", CUSTOM_SPEED);
    ReadJsonFloat(data, "PISTOL_RANGE", PISTOL_RANGE);
    ReadJsonFloat(data, "RIFLE_RANGE", RIFLE_RANGE);
    ReadJsonFloat(data, "SNIPER_RANGE", SNIPER_RANGE);
    ReadJsonFloat(data, "SHOTGUN_RANGE", SHOTGUN_RANGE);
    ReadJsonFloat(data, "FLAMETHROWER_RANGE", FLAMETHROWER_RANGE);
    ReadJsonFloat(data, "CURVEBALL_RANGE", CURVEBALL_RANGE);
    ReadJsonFloat(data, "CUSTOM_RANGE", CUSTOM_RANGE);
    ReadAmount(data, "SHOTGUN_AMOUNT", SHOTGUN_AMOUNT);
    ReadAmount(data, "CUSTOM_AMOUNT", CUSTOM_AMOUNT);
    // Optional, so files written before weapons had a clip per type load without warnings. A clip
    // that is not a string throws the JSON library's type error, as an AudioSource's does.
    for (std::size_t type = 0; type < kWeaponTypeCount; ++type) {
        if (data.is_object() && data.contains(kTypeSounds[type].key)) {
            sounds[type] = GetSound(data.at(kTypeSounds[type].key).get<std::string>());
        }
    }
}

nlohmann::json Weapon::ToJson() const {
    nlohmann::json data{
        {"weaponType", weaponType},
        {"coolDown", coolDown},
        {"PISTOL_SPEED", PISTOL_SPEED},
        {"RIFLE_SPEED", RIFLE_SPEED},
        {"SNIPER_SPEED", SNIPER_SPEED},
        {"SHOTGUN_SPEED", SHOTGUN_SPEED},
        {"FLAMETHROWER_SPEED", FLAMETHROWER_SPEED},
        {"CURVEBALL_SPEED", CURVEBALL_SPEED},
        {"CUSTOM_SPEED", CUSTOM_SPEED},
        {"PISTOL_RANGE", PISTOL_RANGE},
        {"RIFLE_RANGE", RIFLE_RANGE},
        {"SNIPER_RANGE", SNIPER_RANGE},
        {"SHOTGUN_RANGE", SHOTGUN_RANGE},
        {"FLAMETHROWER_RANGE", FLAMETHROWER_RANGE},
        {"CURVEBALL_RANGE", CURVEBALL_RANGE},
        {"CUSTOM_RANGE", CUSTOM_RANGE},
        {"SHOTGUN_AMOUNT", SHOTGUN_AMOUNT},
        {"CUSTOM_AMOUNT", CUSTOM_AMOUNT},
        {"PISTOL_SPREAD", PISTOL_SPREAD},
        {"RIFLE_SPREAD", RIFLE_SPREAD},
        {"SNIPER_SPREAD", SNIPER_SPREAD},
        {"SHOTGUN_SPREAD", SHOTGUN_SPREAD},
        {"FLAMETHROWER_SPREAD", FLAMETHROWER_SPREAD},
        {"CURVEBALL_SPREAD", CURVEBALL_SPREAD},
        {"CUSTOM_SPREAD", CUSTOM_SPREAD},
    };
    for (std::size_t type = 0; type < kWeaponTypeCount; ++type) {
        data[kTypeSounds[type].key] = sounds[type] != nullptr ? sounds[type]->name : std::string();
    }
    return data;
}
