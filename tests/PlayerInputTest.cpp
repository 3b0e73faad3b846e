// The two movers: PlayerInput polling the held-input table (movement and its recorded direction,
// turning towards the pointer, weapon choice, trigger and cooldown, a visible death by an enemy's
// touch, nothing while paused, the weapon carried from the last level) and Controller following
// the message stream.

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <memory>
#include <vector>

#include "engine/DataDirectories.h"
#include "engine/Engine.h"
#include "engine/InputMessage.h"
#include "engine/Orientation.h"
#include "entities/ComponentListSystem.h"
#include "entities/Entity.h"
#include "entities/SceneSystem.h"
#include "gameplay/Controller.h"
#include "gameplay/GameMaster.h"
#include "gameplay/PlayerInput.h"
#include "gameplay/Weapon.h"
#include "gameplay/WeaponType.h"
#include "graphics/Sprite.h"
#include "physics/Physics.h"
#include "physics/Transform.h"
#include "support/ChildProcess.h"
#include "support/GameplayTest.h"
#include "support/TraceMessages.h"

namespace {

constexpr float kSpeed = 300.0f;
const float kDiagonal = kSpeed / std::sqrt(2.0f);
// A facing no row produces, to see which rows leave the facing alone.
constexpr std::int32_t kUnsetFacing = 1234;

using In = InputType;

class PlayerInputTest : public GameplayTest {
protected:
    void SetUp() override {
        GameplayTest::SetUp();
        player = AddEntity("Player", {0.0f, 0.0f});
        physics = new Physics();
        player->AddComponent(physics);
        input = new PlayerInput(kSpeed);
        player->AddComponent(input);
        weapon = new Weapon();
        player->AddComponent(weapon);
        transform = player->GetComponent<Transform>();
    }

    void Hold(std::initializer_list<In> inputs) {
        ReleaseAll();
        for (In held : inputs) {
            SetHeld(held, true);
        }
    }

    // One frame in the lists' order: PlayerInput, then Weapon.
    void Frame() {
        input->Update(1.0f / 60.0f);
        weapon->Update(1.0f / 60.0f);
    }

    Entity* player = nullptr;
    Transform* transform = nullptr;
    Physics* physics = nullptr;
    PlayerInput* input = nullptr;
    Weapon* weapon = nullptr;
};

struct MovementCase {
    std::vector<In> held;
    Vector2 velocity;
    std::int32_t facing;
};

TEST_F(PlayerInputTest, HeldDirectionsGiveTheVelocityAndFacingOfTheirRow) {
    const float s = kSpeed;
    const float d = kDiagonal;
    const auto facing = [](Orientation o) { return static_cast<std::int32_t>(o); };
    const std::vector<MovementCase> cases{
        {{In::LEFT, In::DOWN}, {-d, -d}, facing(Orientation::SOUTH_WEST)},
        {{In::LEFT, In::UP}, {-d, d}, facing(Orientation::NORTH_WEST)},
        {{In::LEFT, In::RIGHT}, {0, 0}, kUnsetFacing},
        {{In::LEFT}, {-s, 0}, facing(Orientation::WEST)},
        {{In::RIGHT, In::DOWN}, {d, -d}, facing(Orientation::SOUTH_EAST)},
        {{In::RIGHT, In::UP}, {d, d}, facing(Orientation::NORTH_EAST)},
        {{In::RIGHT}, {s, 0}, facing(Orientation::EAST)},
        {{In::UP, In::DOWN}, {0, 0}, kUnsetFacing},
        {{In::UP}, {0, s}, facing(Orientation::NORTH)},
        {{In::DOWN}, {0, -s}, facing(Orientation::SOUTH)},
        {{}, {0, 0}, facing(Orientation::NORTH)},
        // Rows are tried top to bottom: LEFT beats RIGHT, DOWN beats UP.
        {{In::LEFT, In::RIGHT, In::UP, In::DOWN}, {-d, -d}, facing(Orientation::SOUTH_WEST)},
        {{In::LEFT, In::RIGHT, In::UP}, {-d, d}, facing(Orientation::NORTH_WEST)},
        {{In::RIGHT, In::UP, In::DOWN}, {d, -d}, facing(Orientation::SOUTH_EAST)},
    };
    for (const MovementCase& row : cases) {
        SCOPED_TRACE(::testing::PrintToString(row.held.size()) + " held, first " +
                     (row.held.empty() ? "none" : std::to_string(static_cast<int>(row.held[0]))));
        ReleaseAll();
        for (In held : row.held) {
            SetHeld(held, true);
        }
        input->orientation = kUnsetFacing;
        input->Update(0.0f);
        EXPECT_FLOAT_EQ(physics->velocity.x, row.velocity.x);
        EXPECT_FLOAT_EQ(physics->velocity.y, row.velocity.y);
        EXPECT_EQ(input->orientation, row.facing);
        EXPECT_EQ(input->isMoving, row.velocity.x != 0.0f || row.velocity.y != 0.0f);
    }
}

TEST_F(PlayerInputTest, ThePlayerFacesThePointerWhereverItMovesAndWhenItStands) {
    struct AimCase {
        const char* name;
        std::vector<In> held;
        Vector2 pointer;
        float rotation;  // the sprite points north at rotation 0
    };
    const std::vector<AimCase> cases{
        {"standing, pointer east", {}, {500.0f, 0.0f}, -90.0f},
        {"standing, pointer north", {}, {0.0f, 500.0f}, 0.0f},
        {"walking north, pointer south", {In::UP}, {0.0f, -500.0f}, -180.0f},
        {"walking west, pointer north east", {In::LEFT}, {300.0f, 300.0f}, -45.0f},
    };
    for (const AimCase& row : cases) {
        SCOPED_TRACE(row.name);
        transform->SetPosition({0.0f, 0.0f});
        ReleaseAll();
        for (In held : row.held) {
            SetHeld(held, true);
        }
        PlacePointer(row.pointer);
        input->Update(0.0f);
        EXPECT_NEAR(transform->rotation, row.rotation, 1e-3f);
    }
    // With the pointer on the player there is no direction: it keeps the last one.
    PlacePointer({0.0f, 0.0f});
    Hold({});
    input->Update(0.0f);
    EXPECT_NEAR(transform->rotation, -45.0f, 1e-3f);
    EXPECT_EQ(physics->velocity, (Vector2{0.0f, 0.0f}));
    EXPECT_FALSE(input->isMoving);
}

TEST_F(PlayerInputTest, WhilePausedThePlayerNeitherMovesNorFires) {
    PlacePointer({500.0f, 0.0f});
    Hold({In::RIGHT, In::CLICK});
    physics->velocity = {};
    Engine::Instance().paused = true;
    for (int frame = 0; frame < 5; ++frame) {
        Frame();
    }
    Engine::Instance().paused = false;
    EXPECT_TRUE(Projectiles().empty());
    EXPECT_EQ(physics->velocity, (Vector2{0.0f, 0.0f}));
    Frame();
    EXPECT_EQ(Projectiles().size(), 1u);
    EXPECT_GT(physics->velocity.x, 0.0f);
}

TEST_F(PlayerInputTest, HeldTriggerFiresOnceEveryCooldownCountedInUpdates) {
    PlacePointer({500.0f, 0.0f});
    weapon->coolDown = 50;  // as a file would set it; the pistol refreshes it to 50 as well
    Hold({In::CLICK});
    std::vector<int> shotFrames;
    for (int frame = 0; frame <= 120; ++frame) {
        const std::size_t before = Projectiles().size();
        Frame();
        if (Projectiles().size() > before) {
            shotFrames.push_back(frame);
        }
    }
    EXPECT_EQ(shotFrames, (std::vector<int>{0, 50, 100}));

    // A cooldown of 0 (the flamethrower's) fires at every update.
    Hold({In::_FLAMETHROWER});
    Frame();  // selects the flamethrower, whose update refreshes the cooldown to 0
    input->fireCounter = 0;  // what is left of the pistol's last cooldown
    Hold({In::CLICK});
    const std::size_t before = Projectiles().size();
    for (int frame = 0; frame < 5; ++frame) {
        Frame();
    }
    EXPECT_EQ(Projectiles().size(), before + 5);
}

struct WeaponKeyCase {
    std::vector<In> held;
    WeaponType expected;
};

TEST_F(PlayerInputTest, WeaponKeysSelectInTheirPriorityOrderUnlessShiftIsHeld) {
    constexpr WeaponType kBefore = WeaponType::SNIPER;
    const std::vector<WeaponKeyCase> cases{
        {{In::_PISTOL}, WeaponType::PISTOL},
        {{In::_CUSTOM}, WeaponType::CUSTOM},
        {{In::_CURVEBALL}, WeaponType::CURVEBALL},
        {{In::_RIFLE, In::_SHOTGUN}, WeaponType::RIFLE},
        {{In::_CUSTOM, In::_PISTOL}, WeaponType::CUSTOM},
        // The flamethrower key ranks before the shotgun key.
        {{In::_SHOTGUN, In::_FLAMETHROWER}, WeaponType::FLAMETHROWER},
        {{In::SHIFT, In::_RIFLE}, kBefore},
        {{In::SHIFT, In::_SHOTGUN}, kBefore},
        {{}, kBefore},
    };
    for (const WeaponKeyCase& row : cases) {
        SCOPED_TRACE(static_cast<int>(row.expected));
        Hold({});
        for (In held : row.held) {
            SetHeld(held, true);
        }
        weapon->weaponType = static_cast<std::int32_t>(kBefore);
        input->Update(0.0f);
        EXPECT_EQ(weapon->weaponType, static_cast<std::int32_t>(row.expected));
    }
}

TEST_F(PlayerInputTest, AHitKillsTheOrdinaryPlayerVisiblyAndSparesTheInvincibleOne) {
    tree.WriteFile("Data/Scenes/LoseScene.json", "{\"Lost\": {}}");
    const std::string switching = "SceneSystem::ChangeScene - Switching to scene: LoseScene.json";
    const auto switches = [&] {
        return CountOccurrences(ReadFileText(DataDirectory + "Trace_Log.txt"), switching);
    };
    auto* sprite = new Sprite();
    player->AddComponent(sprite);
    PlacePointer({500.0f, 0.0f});

    input->isInvincible = true;
    input->TakeHit();
    EXPECT_FALSE(input->IsDying());

    input->isInvincible = false;
    Hold({In::RIGHT, In::CLICK});
    input->TakeHit();
    ASSERT_TRUE(input->IsDying());
    // Dying, it stands still, fires nothing and is drawn struck, fading, until its time is up.
    constexpr float kTick = 1.0f / 60.0f;
    const int ticks = static_cast<int>(PlayerInput::kDeathSeconds / kTick);
    float lastAlpha = -1.0f;
    for (int tick = 0; tick < ticks - 2; ++tick) {
        input->TakeHit();  // further touches change nothing
        Frame();
        input->Render();
        EXPECT_EQ(physics->velocity, (Vector2{0.0f, 0.0f}));
        EXPECT_GT(sprite->alpha, lastAlpha);
        lastAlpha = sprite->alpha;
    }
    EXPECT_TRUE(Projectiles().empty());
    EXPECT_LT(sprite->color.y, 0.5f) << "drawn in its death colour";
    EXPECT_EQ(switches(), 0u) << "the lose screen waits until the death has been seen";
    for (int tick = 0; tick < 4; ++tick) {
        Frame();
    }
    EXPECT_EQ(switches(), 1u);
    EXPECT_EQ(Engine::Instance().originEntity->children.back()->children.at(0)->name, "Lost");
}

// The weapon kept by a completed level is taken up by the player of the scene it was kept for,
// and by no other.
TEST_F(PlayerInputTest, ThePlayerOfTheNextLevelTakesUpTheWeaponTheLastOneEndedWith) {
    tree.WriteFile("Data/Scenes/Next.json", "{}");
    tree.WriteFile("Data/Scenes/Other.json", "{}");
    auto* master = new GameMaster("Next.json");
    Entity* level = AddEntity("Level", {0.0f, 0.0f});
    level->AddComponent(master);
    FlushAllLists();
    weapon->weaponType = static_cast<std::int32_t>(WeaponType::SHOTGUN);
    GameMaster::CompleteLevel();

    const auto newPlayer = [&] {
        Entity* next = AddEntity("NextPlayer", {0.0f, 0.0f});
        auto* nextWeapon = new Weapon();
        next->AddComponent(new PlayerInput(kSpeed));
        next->AddComponent(nextWeapon);
        FlushAllLists();
        return nextWeapon->weaponType;
    };
    EXPECT_EQ(newPlayer(), static_cast<std::int32_t>(WeaponType::SHOTGUN));
    EXPECT_EQ(newPlayer(), static_cast<std::int32_t>(WeaponType::PISTOL)) << "taken once";

    // Kept for the next level, but another scene was opened (the menu, a new game): forgotten.
    weapon->weaponType = static_cast<std::int32_t>(WeaponType::RIFLE);
    GameMaster::CompleteLevel();
    SceneSystem::Instance().ChangeScene("Other.json");
    EXPECT_EQ(newPlayer(), static_cast<std::int32_t>(WeaponType::PISTOL));
}

// Controller: messages in, velocity out.
struct ControllerCase {
    const char* name;
    std::vector<InputMessage> messages;
    Vector2 velocity;
};

TEST(ControllerTest, MessageSequencesGiveTheVelocityOfTheirSlots) {
    constexpr float s = kSpeed;
    const float d = kDiagonal;
    // A velocity no sequence produces, to see which sequences leave it alone.
    constexpr Vector2 kUntouched{7.0f, 7.0f};
    const std::vector<ControllerCase> cases{
        {"LEFT then UP", {{In::LEFT, true}, {In::UP, true}}, {-d, d}},
        {"DOWN then RIGHT", {{In::DOWN, true}, {In::RIGHT, true}}, {d, -d}},
        // Any release clears the first slot, although LEFT is still held.
        {"LEFT, UP, release UP", {{In::LEFT, true}, {In::UP, true}, {In::UP, false}}, {0, 0}},
        {"RIGHT then LEFT", {{In::RIGHT, true}, {In::LEFT, true}}, {0, 0}},
        {"UP then UP", {{In::UP, true}, {In::UP, true}}, {0, s}},
        // A non-direction in the second slot leaves the first direction alone.
        {"LEFT then CLICK", {{In::LEFT, true}, {In::CLICK, true}}, {-s, 0}},
        // Active through a non-direction: the velocity stays as it was.
        {"CLICK first", {{In::CLICK, true}}, kUntouched},
        {"CLICK then LEFT", {{In::CLICK, true}, {In::LEFT, true}}, kUntouched},
        {"nothing", {}, {0, 0}},
    };
    for (const ControllerCase& row : cases) {
        SCOPED_TRACE(row.name);
        auto entity = std::make_unique<Entity>("Mover");
        auto* physics = new Physics();
        entity->AddComponent(physics);
        auto* controller = new Controller(kSpeed);
        entity->AddComponent(controller);
        physics->velocity = kUntouched;
        for (const InputMessage& message : row.messages) {
            controller->HandleMessage(message);
        }
        controller->Update(0.0f);
        EXPECT_FLOAT_EQ(physics->velocity.x, row.velocity.x);
        EXPECT_FLOAT_EQ(physics->velocity.y, row.velocity.y);
        // The components outlive their entity until their lists let them go.
        entity.reset();
        ComponentListSystem<Physics>::Instance().ShutDown();
        ComponentListSystem<Controller>::Instance().ShutDown();
    }
}

TEST(ControllerTest, SlotsAreReadLenientlyAndWrittenAsZeroOrOne) {
    Controller controller;
    controller.FromJson({{"movement1", {{"current state", 1}, {"move direction", 3}}},
                         {"movement2", {{"move direction", 2}}},
                         {"speed", 200.0}});
    EXPECT_TRUE(controller.movement1.currentState);
    EXPECT_EQ(controller.movement1.moveDirection, 3);
    EXPECT_FALSE(controller.movement2.currentState) << "an absent key leaves the field alone";
    EXPECT_EQ(controller.movement2.moveDirection, 2);
    EXPECT_FLOAT_EQ(controller.diagonalSpeed, 200.0f / std::sqrt(2.0f));

    const nlohmann::json saved = controller.ToJson();
    EXPECT_EQ(saved.at("movement1").at("current state"), 1);
    EXPECT_TRUE(saved.at("movement1").at("current state").is_number_integer());
    EXPECT_EQ(saved.at("movement2").at("current state"), 0);
    Controller again;
    again.FromJson(saved);
    EXPECT_EQ(again.ToJson(), saved);
}

}  // namespace
