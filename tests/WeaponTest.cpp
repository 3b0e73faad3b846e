// Weapons and their projectiles: aiming, the shots of each weapon type with their spreads and
// random draws, spawning from the archetype files, saving, and the projectile behaviours (bullet
// and flame contact rules, the boomerang's bend, the flame's growth).

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "audio/AudioSource.h"
#include "audio/PlayRequest.h"
#include "audio/Sound.h"
#include "engine/DataDirectories.h"
#include "engine/Engine.h"
#include "entities/Entity.h"
#include "gameplay/BasicEnemyBehavior.h"
#include "gameplay/BoomerangBehavior.h"
#include "gameplay/BulletBehavior.h"
#include "gameplay/FlameBehavior.h"
#include "engine/Random.h"
#include "gameplay/RandomDraw.h"
#include "gameplay/Weapon.h"
#include "graphics/Emitter.h"
#include "physics/ColliderCircle.h"
#include "physics/Physics.h"
#include "physics/Transform.h"
#include "support/ChildProcess.h"
#include "support/GameplayTest.h"
#include "support/TraceMessages.h"

namespace {

constexpr double kRadiansToDegrees = 57.29577951308232;

double HeadingOf(Vector2 velocity) {
    return std::atan2(velocity.y, velocity.x) * kRadiansToDegrees;
}

double Length(Vector2 v) {
    return std::hypot(v.x, v.y);
}

class WeaponTest : public GameplayTest {
protected:
    void SetUp() override {
        GameplayTest::SetUp();
        shooter = AddEntity("Player", {100.0f, -50.0f});
        weapon = new Weapon();
        shooter->AddComponent(weapon);
    }

    // Aims by placing the pointer at `degrees` from the shooter.
    void AimAt(double degrees) {
        const double radians = degrees / kRadiansToDegrees;
        const Vector2 from = shooter->GetComponent<Transform>()->position;
        PlacePointer({from.x + static_cast<float>(600.0 * std::cos(radians)),
                      from.y + static_cast<float>(600.0 * std::sin(radians))});
        weapon->Update(0.0f);
    }

    void Fire(WeaponType type) {
        weapon->weaponType = static_cast<std::int32_t>(type);
        weapon->Fire();
    }

    static Vector2 VelocityOf(Entity* projectile) {
        return projectile->GetComponent<Physics>()->velocity;
    }

    Entity* shooter = nullptr;
    Weapon* weapon = nullptr;
};

TEST_F(WeaponTest, AimingStraightUpGivesNinetyDegreesAndAnUnrotatedShot) {
    PlacePointer({100.0f, 700.0f});
    weapon->Update(0.0f);
    EXPECT_FLOAT_EQ(weapon->aimAngle, 90.0f);
    Fire(WeaponType::PISTOL);
    ASSERT_EQ(Projectiles().size(), 1u);
    Entity* bullet = Projectiles()[0];
    const Transform* transform = bullet->GetComponent<Transform>();
    EXPECT_NEAR(transform->rotation, 0.0f, 1e-4f);
    EXPECT_EQ(transform->position, (Vector2{100.0f, -50.0f})) << "spawned at the shooter";
    EXPECT_NEAR(VelocityOf(bullet).x, 0.0f, 1e-3f);
    EXPECT_FLOAT_EQ(VelocityOf(bullet).y, weapon->PISTOL_SPEED);
    EXPECT_EQ(bullet->parent, Engine::Instance().originEntity);
}

TEST_F(WeaponTest, PointerOnTheShooterKeepsThePreviousAim) {
    AimAt(-30.0);
    PlacePointer({100.0f, -50.0f});
    weapon->Update(0.0f);
    EXPECT_FLOAT_EQ(weapon->aimAngle, -30.0f);
}

TEST_F(WeaponTest, UpdateRefreshesTheCooldownOfTheSelectedType) {
    const std::vector<std::pair<WeaponType, int>> cases{
        {WeaponType::PISTOL, 50},       {WeaponType::RIFLE, 15},     {WeaponType::SNIPER, 100},
        {WeaponType::SHOTGUN, 75},      {WeaponType::FLAMETHROWER, 0}, {WeaponType::CURVEBALL, 15},
        {WeaponType::CUSTOM, 50},
    };
    for (const auto& [type, coolDown] : cases) {
        weapon->coolDown = -7;
        weapon->weaponType = static_cast<std::int32_t>(type);
        weapon->Update(0.0f);
        EXPECT_EQ(weapon->coolDown, coolDown) << static_cast<int>(type);
    }
    weapon->coolDown = -7;
    weapon->weaponType = 42;
    weapon->Update(0.0f);
    EXPECT_EQ(weapon->coolDown, -7) << "an unknown type keeps its cooldown";
}

TEST_F(WeaponTest, ShotgunFiresItsAmountWithinTheSpreadAndZeroFiresNothing) {
    AimAt(30.0);
    Fire(WeaponType::SHOTGUN);
    const std::vector<Entity*> pellets = Projectiles();
    ASSERT_EQ(pellets.size(), 5u);
    std::vector<double> headings;
    for (Entity* pellet : pellets) {
        const double heading = HeadingOf(VelocityOf(pellet));
        headings.push_back(heading);
        EXPECT_GE(heading, 30.0 - 20.0 - 1e-3);
        EXPECT_LE(heading, 30.0 + 20.0 + 1e-3);
        EXPECT_NEAR(Length(VelocityOf(pellet)), weapon->SHOTGUN_SPEED, 0.5);
        EXPECT_NEAR(pellet->GetComponent<Transform>()->rotation, heading - 90.0, 1e-3);
    }
    std::sort(headings.begin(), headings.end());
    EXPECT_GT(headings.back() - headings.front(), 1.0) << "each pellet draws its own offset";

    weapon->SHOTGUN_AMOUNT = 0;
    Fire(WeaponType::SHOTGUN);
    EXPECT_EQ(Projectiles().size(), 5u);
}

// Each shot leaves at aim + u(r) x S - S / 2 for its own draw r of 0..32767, u(r) = r / 32767,
// and spread S: the draws are taken from the same seeded stream here, and every heading is
// compared with the one the formula gives, so a spread scaled, shifted or drawn once for a whole
// volley shows.
TEST_F(WeaponTest, EveryShotLeavesAtTheHeadingItsOwnDrawGivesWithinTheSpread) {
    constexpr double kDrawRange = 32767.0;
    constexpr double kDegreesToRadians = 1.0 / kRadiansToDegrees;
    constexpr double kHeadingTolerance = 1e-5;  // radians
    constexpr std::uint64_t kSeed = 20261211;
    const struct {
        const char* name;
        WeaponType type;
        float Weapon::*spreadField;
        // Otherwise the weapon's own spread, which `spread` then states.
        std::optional<float> given;
        double spread;
        double aim;
        std::size_t shots;
    } cases[] = {
        {"pistol, no spread of its own", WeaponType::PISTOL, &Weapon::PISTOL_SPREAD, std::nullopt,
         0.0, 30.0, 1},
        {"pistol given 60 degrees", WeaponType::PISTOL, &Weapon::PISTOL_SPREAD, 60.0f, 60.0, -135.0,
         1},
        {"rifle, 10 degrees", WeaponType::RIFLE, &Weapon::RIFLE_SPREAD, std::nullopt, 10.0, 100.0,
         1},
        {"rifle given 3 degrees", WeaponType::RIFLE, &Weapon::RIFLE_SPREAD, 3.0f, 3.0, -20.0, 1},
        {"shotgun, 40 degrees, a draw per pellet", WeaponType::SHOTGUN, &Weapon::SHOTGUN_SPREAD,
         std::nullopt, 40.0, 45.0, 5},
        {"shotgun given 90 degrees", WeaponType::SHOTGUN, &Weapon::SHOTGUN_SPREAD, 90.0f, 90.0,
         -60.0, 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const float ownSpread = weapon->*c.spreadField;
        if (c.given) {
            weapon->*c.spreadField = *c.given;
        }
        AimAt(c.aim);
        SeedRandom(kSeed);
        std::vector<double> expected;
        for (std::size_t shot = 0; shot < c.shots; ++shot) {
            const double u = DrawRandom() / kDrawRange;
            expected.push_back(weapon->aimAngle + u * c.spread - c.spread * 0.5);
        }
        const std::size_t before = Projectiles().size();
        SeedRandom(kSeed);
        Fire(c.type);
        const std::vector<Entity*> all = Projectiles();
        ASSERT_EQ(all.size() - before, c.shots);
        for (std::size_t shot = 0; shot < c.shots; ++shot) {
            const Vector2 velocity = VelocityOf(all[before + shot]);
            const double heading = std::atan2(velocity.y, velocity.x);
            EXPECT_NEAR(std::remainder(heading - expected[shot] * kDegreesToRadians, 2.0 * M_PI),
                        0.0, kHeadingTolerance)
                << "shot " << shot << " left at " << heading * kRadiansToDegrees << " degrees, not "
                << expected[shot];
        }
        weapon->*c.spreadField = ownSpread;
    }
}

TEST_F(WeaponTest, PistolAndSniperFireExactlyAlongTheAimWhateverTheFileSays) {
    weapon->FromJson({{"PISTOL_SPREAD", 60.0}, {"SNIPER_SPREAD", 60.0}});
    AimAt(-135.0);
    Fire(WeaponType::PISTOL);
    Fire(WeaponType::SNIPER);
    const std::vector<Entity*> shots = Projectiles();
    ASSERT_EQ(shots.size(), 2u);
    EXPECT_NEAR(HeadingOf(VelocityOf(shots[0])), -135.0, 1e-3);
    EXPECT_NEAR(HeadingOf(VelocityOf(shots[1])), -135.0, 1e-3);
    EXPECT_NEAR(Length(VelocityOf(shots[1])), weapon->SNIPER_SPEED, 0.5);
    // Each came from its own archetype.
    EXPECT_NE(shots[0]->GetComponent<BulletBehavior>(), nullptr);
    EXPECT_NE(shots[0]->GetComponent<Transform>()->scale, shots[1]->GetComponent<Transform>()->scale);
}

TEST_F(WeaponTest, SavedAndLoadedWeaponKeepsAllButItsSpreads) {
    Weapon changed;
    changed.weaponType = 4;
    changed.coolDown = 33;
    changed.PISTOL_SPEED = 1.5f;
    changed.CURVEBALL_SPEED = 2.5f;
    changed.CUSTOM_SPEED = 3.5f;
    changed.SNIPER_RANGE = 4.5f;
    changed.CUSTOM_RANGE = 5.5f;
    changed.SHOTGUN_AMOUNT = 9;
    changed.CUSTOM_AMOUNT = Weapon::kMaxAmount;
    changed.RIFLE_SPREAD = 77.0f;
    changed.CURVEBALL_SPREAD = 12.0f;
    changed.sounds[1] = GetSound("sniper_shot.ogg");
    const nlohmann::json saved = changed.ToJson();
    ASSERT_EQ(saved.size(), 32u);
    EXPECT_EQ(saved.at("RIFLE_SOUND"), "sniper_shot.ogg");
    EXPECT_TRUE(saved.at("weaponType").is_number_integer());
    EXPECT_TRUE(saved.at("SHOTGUN_AMOUNT").is_number_unsigned());
    EXPECT_TRUE(saved.at("RIFLE_SPREAD").is_number_float());

    Weapon loaded;
    loaded.FromJson(saved);
    nlohmann::json expected = saved;
    const Weapon defaults;
    expected["RIFLE_SPREAD"] = defaults.RIFLE_SPREAD;
    expected["CURVEBALL_SPREAD"] = defaults.CURVEBALL_SPREAD;
    EXPECT_EQ(loaded.ToJson(), expected);
}

// An amount outside 0 .. kMaxAmount is refused: the weapon keeps the amount it had, with one
// warning naming the key and the value; whole and fractional amounts within it are read.
TEST_F(WeaponTest, AnAmountOutsideZeroToTheCapIsRefusedWithOneWarning) {
    const struct {
        const char* name;
        nlohmann::json amount;
        // What the amount becomes; refused when it is the one it had.
        std::uint32_t read;
        bool refused;
    } cases[] = {
        {"none", 0, 0, false},
        {"the cap", Weapon::kMaxAmount, Weapon::kMaxAmount, false},
        {"a fraction within", 2.75, 2, false},
        {"negative", -1, 0, true},
        {"a negative fraction", -0.5, 0, true},
        {"one past the cap", Weapon::kMaxAmount + 1, 0, true},
        {"a fraction past the cap", Weapon::kMaxAmount + 0.5, 0, true},
        {"twenty thousand", 20000, 0, true},
        {"past 32 bits", 4294967296.0, 0, true},
    };
    const std::string log = DataDirectory + "Trace_Log.txt";
    for (const std::string key : {"SHOTGUN_AMOUNT", "CUSTOM_AMOUNT"}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(key + ", " + c.name);
            Weapon loaded;
            std::uint32_t& amount =
                key == "SHOTGUN_AMOUNT" ? loaded.SHOTGUN_AMOUNT : loaded.CUSTOM_AMOUNT;
            const std::uint32_t before = amount;
            // Every other key present, so that the log holds no missing-key warnings.
            nlohmann::json data = loaded.ToJson();
            data[key] = c.amount;
            std::filesystem::remove(log);
            EXPECT_NO_THROW(loaded.FromJson(data));
            EXPECT_EQ(amount, c.refused ? before : c.read);
            const std::vector<std::string> lines = TraceMessages(log);
            if (!c.refused) {
                EXPECT_TRUE(lines.empty());
                continue;
            }
            ASSERT_EQ(lines.size(), 1u);
            EXPECT_EQ(lines[0], "WARNING: Weapon::FromJson - " + key + " " + c.amount.dump() +
                                    " refused: an amount is 0 to " +
                                    std::to_string(Weapon::kMaxAmount) + "; keeping " +
                                    std::to_string(before));
        }
    }

    Weapon changed;
    changed.SHOTGUN_AMOUNT = 9;
    changed.FromJson({{"SHOTGUN_AMOUNT", -3}});
    EXPECT_EQ(changed.SHOTGUN_AMOUNT, 9u) << "the amount it had, not the default";
    EXPECT_THROW(changed.FromJson({{"SHOTGUN_AMOUNT", "many"}}), nlohmann::json::type_error)
        << "an amount that is no number is a read error like any other";
}

// Read from an entity's data, a refused amount costs only itself: the entity keeps its weapon,
// which fires the default volley, and nothing is reported as an error.
TEST_F(WeaponTest, AWeaponWithARefusedAmountIsKeptAndFiresTheDefaultVolley) {
    Entity* loaded = AddEntity("Loaded", {0.0f, 0.0f});
    Entity::from_json(
        {{"Weapon",
          {{"Weapon", {{"SHOTGUN_AMOUNT", 20000}, {"weaponType", 3}}}, {"Update layer", 2}}}},
        *loaded);
    Weapon* read = loaded->GetComponent<Weapon>();
    ASSERT_NE(read, nullptr) << "the weapon is not dropped";
    EXPECT_EQ(read->weaponType, 3) << "the rest of its data is read";
    EXPECT_TRUE(TraceErrors().empty());
    read->Fire();
    EXPECT_EQ(Projectiles().size(), 5u);
}

TEST_F(WeaponTest, FlameDrawsFourNumbersInOrderAndVariesItsArchetype) {
    const nlohmann::json file =
        nlohmann::json::parse(ReadFileText(DataDirectory + "FlamethrowerFlame.json"));
    const float fileRadius = file.at("Emitter").at("Emitter").at("radius");
    const nlohmann::json& fileFlame = file.at("FlameBehavior").at("FlameBehavior");

    AimAt(0.0);
    // The draws the weapon will make: the stream starts again from the same seed.
    SeedRandom(1);
    double u[4];
    for (double& draw : u) {
        draw = UnitDraw();
    }
    SeedRandom(1);
    Fire(WeaponType::FLAMETHROWER);
    ASSERT_EQ(Projectiles().size(), 1u);
    Entity* flame = Projectiles()[0];
    const double spread = weapon->FLAMETHROWER_SPREAD;
    EXPECT_NEAR(HeadingOf(VelocityOf(flame)), u[0] * spread - spread * 0.5, 1e-3);
    EXPECT_NEAR(flame->GetComponent<Emitter>()->radius, fileRadius + 2.0 * u[2], 1e-4);
    const FlameBehavior* behavior = flame->GetComponent<FlameBehavior>();
    EXPECT_NEAR(behavior->lifeTime, fileFlame.at("lifeTime").get<double>() + u[3] * 0.25 - 0.125,
                1e-6);
    EXPECT_NEAR(behavior->maxGlowStrength,
                fileFlame.at("maxGlowStrength").get<double>() + 2.0 * u[2], 1e-4);
    EXPECT_NEAR(behavior->maxColliderSize,
                fileFlame.at("maxColliderSize").get<double>() + 3.0 + u[1], 1e-4);
}

TEST(RandomDrawTest, DrawsStayWithinTheSpreadRangeAndRepeatAfterTheSameSeed) {
    SeedRandom(1);
    std::vector<int> first;
    bool reachedUpperHalf = false;
    for (int draw = 0; draw < 10000; ++draw) {
        const int value = DrawRandom();
        ASSERT_GE(value, 0);
        ASSERT_LE(value, kRandomDrawMax);
        reachedUpperHalf = reachedUpperHalf || value > kRandomDrawMax / 2;
        if (draw < 8) {
            first.push_back(value);
        }
    }
    EXPECT_TRUE(reachedUpperHalf) << "the whole range is used";
    SeedRandom(1);
    for (int expected : first) {
        EXPECT_EQ(DrawRandom(), expected);
    }
    SeedRandom(2);
    std::vector<int> other;
    for (std::size_t draw = 0; draw < first.size(); ++draw) {
        other.push_back(DrawRandom());
    }
    EXPECT_NE(other, first) << "another seed, another stream";
    EXPECT_EQ(RandomSeed(), 2u);
}

TEST_F(WeaponTest, BoomerangFliesAlongTheAimAndBendsTowardsFortyFiveDegreesMore) {
    AimAt(20.0);
    Fire(WeaponType::CURVEBALL);
    ASSERT_EQ(Projectiles().size(), 1u);
    Entity* boomerang = Projectiles()[0];
    EXPECT_NEAR(HeadingOf(VelocityOf(boomerang)), 20.0, 1e-3) << "no spread";
    const BoomerangBehavior* behavior = boomerang->GetComponent<BoomerangBehavior>();
    EXPECT_NEAR(HeadingOf(behavior->curveDirection), 65.0, 1e-3);
    EXPECT_NEAR(Length(behavior->curveDirection), 1.0, 1e-6);
}

TEST_F(WeaponTest, CustomTypeFiresNothing) {
    Fire(WeaponType::CUSTOM);
    weapon->weaponType = 99;
    weapon->Fire();
    EXPECT_TRUE(Projectiles().empty());
}

TEST_F(WeaponTest, ArchetypeThatCannotBeLoadedIsReportedOnceAndSpawnsNothing) {
    std::filesystem::remove(tree.root() / "Data" / "ShotgunBullet.json");
    // An archetype without the Physics every shot needs.
    tree.WriteFile("Data/SniperBullet.json",
                   R"({"Transform": {"Transform": {"position": {"x": 0, "y": 0}, "rotation": 0,
                       "scale": {"x": 1, "y": 1}}, "Update layer": 2}})");
    const int liveBefore = Entity::liveEntityCount;
    Fire(WeaponType::SHOTGUN);
    Fire(WeaponType::SNIPER);
    EXPECT_TRUE(Projectiles().empty());
    EXPECT_EQ(Entity::liveEntityCount, liveBefore);
    const std::vector<std::string> errors = TraceErrors();
    ASSERT_EQ(errors.size(), 2u) << "one report per trigger pull, not one per pellet";
    EXPECT_NE(errors[0].find("ShotgunBullet.json"), std::string::npos) << errors[0];
    EXPECT_NE(errors[1].find("SniperBullet.json"), std::string::npos) << errors[1];
    // The game goes on: the components of the refused archetype are let go at the next flush.
    FlushAllLists();
    Fire(WeaponType::PISTOL);
    EXPECT_EQ(Projectiles().size(), 1u);
}

// Every trigger pull but the flamethrower's sounds once through the owner's AudioSource, from
// where the owner stands, whatever came out of the barrel: a single shot, a volley, an empty
// volley or CUSTOM's nothing. Each type plays its own clip at the source's strength and volume,
// once; a type the weapon has no clip for plays the source's.
TEST_F(WeaponTest, EveryTriggerPullPlaysTheClipOfItsTypeOnceThroughTheOwnersAudioSource) {
    auto* source = new AudioSource();
    source->bufferedSound.sound = GetSound("sample_beep.ogg");
    source->bufferedSound.strength = 1234.0f;
    source->bufferedSound.maxVolume = 0.25f;
    source->bufferedSound.isLooping = true;
    shooter->AddComponent(source);
    struct Case {
        std::int32_t type;
        std::uint32_t shotgunAmount;
        const char* clip;
    };
    const Case cases[] = {
        {0, 5, "pistol_shot.ogg"},   {1, 5, "rifle_shot.ogg"},    {2, 5, "sniper_shot.ogg"},
        {3, 5, "shotgun_blast.ogg"}, {3, 0, "shotgun_blast.ogg"}, {5, 5, "curveball_throw.ogg"},
        {6, 5, "pistol_shot.ogg"},   {99, 5, "sample_beep.ogg"},  {-1, 5, "sample_beep.ogg"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        SCOPED_TRACE(c.shotgunAmount);
        playQueue.clear();
        weapon->SHOTGUN_AMOUNT = c.shotgunAmount;
        weapon->weaponType = c.type;
        weapon->Fire();
        ASSERT_EQ(playQueue.size(), 1u);
        const PlayRequest& request = *playQueue[0];
        EXPECT_EQ(request.sound, GetSound(c.clip));
        EXPECT_EQ(request.position, (Vector2{100.0f, -50.0f}));
        EXPECT_EQ(request.strength, 1234.0f);
        EXPECT_EQ(request.maxVolume, 0.25f);
        EXPECT_FALSE(request.isLooping) << "a shot is heard once";
    }
}

// Held, the flamethrower is pulled at every update (before the weapon's own update). Its sound is
// one loop from the first pull, following the shooter, that ends at the first update without a
// pull, when another weapon is chosen, or with the weapon or the source; the next pull starts a
// new one.
TEST_F(WeaponTest, AHeldFlamethrowerSoundsOneLoopUntilItIsNoLongerPulled) {
    auto* source = new AudioSource();
    shooter->AddComponent(source);
    const auto flamethrower = static_cast<std::int32_t>(WeaponType::FLAMETHROWER);
    struct Case {
        const char* name;
        std::function<void()> end;
    };
    const Case cases[] = {
        {"Released", [&] { weapon->Update(0.0f); }},
        {"SwitchedThenUpdated",
         [&] {
             weapon->Fire();
             weapon->weaponType = static_cast<std::int32_t>(WeaponType::RIFLE);
             weapon->Update(0.0f);
         }},
        {"SwitchedThenPulled",
         [&] {
             weapon->weaponType = static_cast<std::int32_t>(WeaponType::PISTOL);
             weapon->Fire();
         }},
        {"WeaponShutDown", [&] { weapon->ShutDown(); }},
        {"SourceShutDown", [&] { source->ShutDown(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        playQueue.clear();
        weapon->weaponType = flamethrower;
        for (int update = 0; update < 5; ++update) {
            weapon->Fire();
            weapon->Update(0.0f);
        }
        ASSERT_EQ(playQueue.size(), 1u) << "one sound for the whole hold";
        const std::shared_ptr<PlayRequest> loop = playQueue[0];
        EXPECT_EQ(loop->sound, GetSound("flamethrower_burst.ogg"));
        EXPECT_TRUE(loop->isLooping);
        EXPECT_TRUE(loop->isContinuous) << "it follows the shooter";
        EXPECT_FALSE(loop->finished);

        c.end();
        EXPECT_TRUE(loop->finished);
        EXPECT_FALSE(loop->isLooping);

        weapon->weaponType = flamethrower;
        weapon->Fire();
        ASSERT_NE(playQueue.back(), loop);
        const std::shared_ptr<PlayRequest> next = playQueue.back();
        EXPECT_TRUE(next->isLooping) << "pulled again, it sounds again";
        weapon->Update(0.0f);
        weapon->Update(0.0f);
        EXPECT_TRUE(next->finished);
    }
}

TEST_F(WeaponTest, ACopiedWeaponDoesNotEndTheOriginalsFlamethrowerSound) {
    shooter->AddComponent(new AudioSource());
    weapon->weaponType = static_cast<std::int32_t>(WeaponType::FLAMETHROWER);
    weapon->Fire();
    ASSERT_EQ(playQueue.size(), 1u);
    const std::unique_ptr<Component> copy = weapon->Clone();
    copy->ShutDown();
    EXPECT_FALSE(playQueue[0]->finished);
}

// Each type's clip is an optional key: files from before weapons had a clip per type load
// without warnings and with every type's own clip; a clip that is not a name is a read error.
TEST_F(WeaponTest, ClipsPerTypeAreOptionalAndReadByName) {
    const Weapon defaults;
    nlohmann::json older = defaults.ToJson();
    const std::vector<std::string> keys = {"PISTOL_SOUND",  "RIFLE_SOUND",        "SNIPER_SOUND",
                                           "SHOTGUN_SOUND", "FLAMETHROWER_SOUND", "CURVEBALL_SOUND",
                                           "CUSTOM_SOUND"};
    for (const std::string& key : keys) {
        ASSERT_EQ(older.erase(key), 1u) << key;
    }
    const auto warnings = [] {
        return CountOccurrences(ReadFileText(DataDirectory + "Trace_Log.txt"), "WARNING");
    };
    const std::size_t warningsBefore = warnings();
    Weapon loaded;
    loaded.FromJson(older);
    EXPECT_EQ(warnings(), warningsBefore);
    EXPECT_EQ(loaded.sounds, defaults.sounds);
    EXPECT_EQ(std::set<Sound*>(defaults.sounds.begin(), defaults.sounds.end()).size(),
              defaults.sounds.size() - 1)
        << "every type has its own clip but CUSTOM, which borrows the pistol's";
    EXPECT_EQ(defaults.sounds[6], defaults.sounds[0]);

    loaded.FromJson({{"SNIPER_SOUND", "sample_beep.ogg"}});
    EXPECT_EQ(loaded.sounds[2], GetSound("sample_beep.ogg"));
    EXPECT_EQ(loaded.sounds[1], defaults.sounds[1]) << "only the named type changes";
    EXPECT_EQ(loaded.ToJson().at("SNIPER_SOUND"), "sample_beep.ogg");

    EXPECT_THROW(loaded.FromJson({{"RIFLE_SOUND", 3}}), nlohmann::json::type_error);
}

TEST_F(WeaponTest, AnOwnerWithoutAnAudioSourceFiresInSilence) {
    Fire(WeaponType::PISTOL);
    Fire(WeaponType::CUSTOM);
    EXPECT_EQ(Projectiles().size(), 1u);
    EXPECT_TRUE(playQueue.empty());
}

// Contact rules: who ends a projectile.
struct ContactCase {
    const char* otherName;
    bool enemy;
    bool bulletDies;
    bool flameDies;
};

TEST_F(WeaponTest, BulletsDieOnBordersAndFlamesOnWallsBothOnBallsAndEnemies) {
    const std::vector<ContactCase> cases{
        {"Wall", false, false, true},     {"Wall##4", false, false, true},
        {"Border##12", false, true, false}, {"Ball##3", false, true, true},
        {"Grunt", true, true, true},      {"Floor", false, false, false},
        {"wall", false, false, false},
    };
    for (const ContactCase& row : cases) {
        SCOPED_TRACE(row.otherName);
        Entity* other = AddEntity(row.otherName, {0.0f, 0.0f});
        auto* otherCollider = new ColliderCircle();
        other->AddComponent(otherCollider);
        if (row.enemy) {
            other->AddComponent(new BasicEnemyBehavior());
        }
        Entity* bullet = AddEntity("Bullet", {0.0f, 0.0f});
        auto* bulletBehavior = new BulletBehavior();
        bullet->AddComponent(bulletBehavior);
        Entity* boomerang = AddEntity("Boomerang", {0.0f, 0.0f});
        auto* boomerangBehavior = new BoomerangBehavior();
        boomerang->AddComponent(boomerangBehavior);
        Entity* flame = AddEntity("Flame", {0.0f, 0.0f});
        auto* flameBehavior = new FlameBehavior();
        flame->AddComponent(flameBehavior);

        bulletBehavior->OnCollision(otherCollider);
        boomerangBehavior->OnCollision(otherCollider);
        flameBehavior->OnCollision(otherCollider);
        EXPECT_EQ(bullet->destroyed, row.bulletDies);
        EXPECT_EQ(boomerang->destroyed, row.bulletDies);
        EXPECT_EQ(flame->destroyed, row.flameDies);
        for (Entity* entity : {other, bullet, boomerang, flame}) {
            entity->Destroy();
        }
        Engine::Instance().originEntity->RemoveDestroyedChildren();
        FlushAllLists();
    }
}

TEST_F(WeaponTest, BulletExpiresWhenItsLifetimeRunsOutButNotWhilePaused) {
    Entity* bullet = AddEntity("Bullet", {0.0f, 0.0f});
    auto* behavior = new BulletBehavior(0.1);
    bullet->AddComponent(behavior);
    for (int update = 0; update < 100; ++update) {
        behavior->Update(0.0f);
    }
    EXPECT_FALSE(bullet->destroyed);
    behavior->Update(0.06f);
    EXPECT_FALSE(bullet->destroyed);
    behavior->Update(0.06f);
    EXPECT_TRUE(bullet->destroyed);

    Entity* forever = AddEntity("Forever", {0.0f, 0.0f});
    auto* endless = new BulletBehavior(0.0);
    forever->AddComponent(endless);
    endless->Update(5.0f);
    EXPECT_FALSE(forever->destroyed) << "a lifetime starting at zero never expires";
}

struct BendCase {
    float straightRatio;
    // Updates (of 0.1 s over a 2 s life) that fly along the aim before the bend.
    int straightUpdates;
};

TEST_F(WeaponTest, BoomerangBendsAfterItsStraightShareAndEndsAlongTheCurve) {
    constexpr float kDt = 0.1f;
    constexpr double kLife = 2.0;
    for (const BendCase& row : {BendCase{0.0f, 0}, BendCase{0.5f, 10}, BendCase{1.0f, 20}}) {
        SCOPED_TRACE(row.straightRatio);
        Entity* entity = AddEntity("Boomerang", {0.0f, 0.0f});
        auto* physics = new Physics();
        physics->velocity = {500.0f, 0.0f};
        entity->AddComponent(physics);
        auto* behavior = new BoomerangBehavior(kLife, row.straightRatio);
        behavior->curveDirection = {std::cos(0.785398163f), std::sin(0.785398163f)};
        entity->AddComponent(behavior);
        FlushAllLists();  // Initialize takes the spawn direction

        std::vector<double> headings;
        while (!entity->destroyed && headings.size() < 100) {
            behavior->Update(kDt);
            headings.push_back(HeadingOf(physics->velocity));
            EXPECT_NEAR(Length(physics->velocity), 500.0, 1e-2) << "speed never changes";
        }
        ASSERT_EQ(headings.size(), 20u) << "destroyed when the 2 s run out";
        // The bend starts from the spawn direction (its first step is still straight).
        for (int i = 0; i < std::min(row.straightUpdates + 1, 20); ++i) {
            EXPECT_NEAR(headings[i], 0.0, 1e-3) << "update " << i;
        }
        if (row.straightUpdates < 20) {
            EXPECT_GT(headings[row.straightUpdates + 1], 1.0) << "bending has begun";
            // The last update is one step before the end of the life: nearly along the curve.
            EXPECT_NEAR(headings.back(), 45.0, 45.0 / (20 - row.straightUpdates) + 0.5);
            EXPECT_NEAR(entity->GetComponent<Transform>()->rotation, headings.back() - 90.0, 1e-3);
        }
        entity->Destroy();
        Engine::Instance().originEntity->RemoveDestroyedChildren();
        FlushAllLists();
    }
}

TEST_F(WeaponTest, BoomerangSpawnedAtRestKeepsAZeroDirection) {
    Entity* entity = AddEntity("Boomerang", {0.0f, 0.0f});
    auto* physics = new Physics();
    entity->AddComponent(physics);
    auto* behavior = new BoomerangBehavior(1.0, 0.0f);
    behavior->curveDirection = {0.0f, 1.0f};
    entity->AddComponent(behavior);
    FlushAllLists();
    EXPECT_EQ(behavior->initialDirection, (Vector2{0.0f, 0.0f}));
    for (int update = 0; update < 5; ++update) {
        behavior->Update(0.1f);
        physics->Update(0.1f);
    }
    const Vector2 position = entity->GetComponent<Transform>()->position;
    EXPECT_TRUE(std::isfinite(position.x) && std::isfinite(position.y));
    EXPECT_TRUE(std::isfinite(physics->velocity.x) && std::isfinite(physics->velocity.y));
}

TEST_F(WeaponTest, FlameGrowsItsLightAndHitCirclePerUpdateUpToTheirLimits) {
    Entity* entity = AddEntity("Flame", {0.0f, 0.0f});
    auto* emitter = new Emitter();
    entity->AddComponent(emitter);
    auto* circle = new ColliderCircle();
    entity->AddComponent(circle);
    auto* behavior = new FlameBehavior(1.0, 1.0f, 0.25f);
    entity->AddComponent(behavior);

    // Paused (dt 0): the flame still grows, per update.
    behavior->Update(0.0f);
    EXPECT_FLOAT_EQ(emitter->radius, 1.0f);
    EXPECT_FLOAT_EQ(circle->radius, 0.2f);
    behavior->Update(0.0f);
    EXPECT_FLOAT_EQ(emitter->radius, 1.0f) << "1.0 reached the limit";
    EXPECT_FLOAT_EQ(circle->radius, 0.3f) << "may overshoot by less than a step";
    behavior->Update(0.0f);
    EXPECT_FLOAT_EQ(circle->radius, 0.3f);
    EXPECT_FALSE(entity->destroyed);
    EXPECT_DOUBLE_EQ(behavior->lifeTime, 1.0);
}

}  // namespace
