// What the player sees of the shipped game, on the real engine loop with real X input: the game
// opens without the tools (no tool window, no debug outline) and one key shows them all and hides
// them again; a level shows its HUD (level, enemies left, weapon) and announces itself; Esc pauses
// under a "PAUSED" overlay, with nothing moving whatever is held, and resumes.

#include <gtest/gtest.h>

#include <string>

#include <nlohmann/json.hpp>

#include "engine/Engine.h"
#include "entities/Entity.h"
#include "gameplay/Hud.h"
#include "gameplay/Weapon.h"
#include "gameplay/WeaponType.h"
#include "physics/Transform.h"
#include "support/InGameTest.h"
#include "support/TraceMessages.h"
#include "testbed/SceneChild.h"
#include "tools/WindowCreationSystem.h"

namespace {


constexpr PixelArea kWholeWindow{0, 0, 1080, 720};
// Where the tool windows open: the right-hand side of the window.
constexpr PixelArea kToolSide{780, 0, 1080, 720};
constexpr Rgb kOutlineGreen{0, 255, 0};
constexpr Rgb kOutlineRed{255, 0, 0};
// The HUD's colours (unlit: drawn as they are).
constexpr Rgb kLevelColour{242, 242, 255};
constexpr Rgb kEnemyColour{255, 140, 115};
constexpr Rgb kWeaponColour{255, 217, 102};
constexpr Rgb kAnnounceColour{255, 235, 191};
constexpr Rgb kPausedWhite{255, 255, 255};
// The HUD's top row, and the middle of the window where "PAUSED" stands.
constexpr PixelArea kTopRow{0, 0, 1080, 60};
constexpr PixelArea kCentre{240, 300, 840, 420};

// Pixels of `area` close to `colour` (none in a picture that could not be taken).
int Like(const Screenshot& shot, Rgb colour, const PixelArea& area) {
    if (shot.empty()) {
        return 0;
    }
    return (area.x1 - area.x0) * (area.y1 - area.y0) - shot.Unlike(colour, area);
}

class GameScreenTest : public InGameTest {
protected:
    void SetUp() override { tree.CopyShippedData(); }

    void StartOn(const std::string& scene) const {
        tree.WriteFile("Data/EngineSettingFiles/SettingsRouter.txt", "ScreenTest.json");
        tree.WriteFile("Data/EngineSettingFiles/ScreenTest.json",
                       nlohmann::json{{"defaultEntityFile", "Scenes/" + scene},
                                      {"runOnStart", "1"},
                                      {"showTools", "0"}}
                           .dump());
    }

    std::string SceneOnScreen() const {
        return LastSceneSwitch(TraceMessages(tree.perUserData() / "Trace_Log.txt"));
    }
};

TEST_F(GameScreenTest, TheShippedGameOpensWithoutToolsAndOneKeyShowsThemAllAndHidesThem) {
    const auto allShown = [] { return WindowCreationSystem::Instance().AllToolsShown(); };
    Screenshot asShipped;
    Screenshot withTools;
    Screenshot hiddenAgain;
    Until([&] { return SceneOnScreen() == "MenuScene.json"; });
    // Away from the buttons, so nothing on the menu changes between the pictures.
    PointAt(20, 700);
    Do([&] { asShipped = window.Shot("menu-as-shipped"); });
    PressKey("F4");
    Until(allShown);
    Do([&] { withTools = window.Shot("menu-with-every-tool"); });
    PressKey("F4");
    Until([&] { return !allShown(); });
    Do([&] { hiddenAgain = window.Shot("menu-tools-hidden-again"); });
    Play();
    // Collider outlines are green (the pointer's circle among them), text-box outlines red.
    EXPECT_EQ(asShipped.CountColour(kOutlineGreen), 0);
    EXPECT_EQ(asShipped.CountColour(kOutlineRed), 0);
    EXPECT_GT(withTools.CountColour(kOutlineGreen), 100);
    EXPECT_GT(withTools.CountColour(kOutlineRed), 100);
    EXPECT_GT(withTools.Differences(asShipped, kToolSide), 20000) << "the tool windows open";
    EXPECT_LT(hiddenAgain.Differences(asShipped, kWholeWindow), 50);
}

TEST_F(GameScreenTest, ALevelShowsItsHudAndEscPausesItUnderAnOverlay) {
    StartOn("MainScene.json");
    Transform* player = nullptr;
    Hud* hud = nullptr;
    Screenshot announced;
    Screenshot settled;
    Screenshot flamethrower;
    Screenshot paused;
    Vector2 pausedAt{};
    float pausedSince = 0.0f;
    Until([&] {
        Entity* hero = SceneChildNamed("Player");
        Entity* overlay = SceneChildNamed("HeadsUpDisplay");
        if (hero == nullptr || overlay == nullptr) {
            return false;
        }
        player = hero->GetComponent<Transform>();
        hud = overlay->GetComponent<Hud>();
        return true;
    });
    // Invincible, so the enemies cannot end the level while it is watched.
    KeyDown("shift");
    PressKey("i");
    KeyUp("shift");
    PointAt(1000, 360);
    Do([&] { announced = window.Shot("level1-hud-announced"); });
    Until([&] { return hud->announceSecondsLeft == 0.0f; });
    Do([&] { settled = window.Shot("level1-hud"); });
    PressKey("5");
    Until([&] {
        return player->owner->GetComponent<Weapon>()->weaponType ==
               static_cast<std::int32_t>(WeaponType::FLAMETHROWER);
    });
    Do([&] { flamethrower = window.Shot("level1-hud-flamethrower"); });
    PressKey("Escape");
    Until([&] { return engine.paused; });
    Do([&] {
        pausedAt = player->position;
        pausedSince = engine.totalTime;
    });
    // Walking and firing while paused move nothing.
    KeyDown("w");
    ButtonDown(DisplayWindow::kLeftButton);
    Until([&] { return engine.totalTime - pausedSince > 0.5f; });
    Do([&] {
        EXPECT_EQ(player->position, pausedAt);
        paused = window.Shot("level1-paused");
    });
    ButtonUp(DisplayWindow::kLeftButton);
    KeyUp("w");
    PressKey("Escape");
    Until([&] { return !engine.paused; });
    // Resumed, the game takes keys again.
    KeyDown("w");
    Until([&] { return player->position.y > pausedAt.y + 50.0f; });
    KeyUp("w");
    Play();

    for (const auto& [name, shot] : {std::pair{"announced", &announced}, {"settled", &settled}}) {
        SCOPED_TRACE(name);
        EXPECT_GT(Like(*shot, kLevelColour, kTopRow), 100) << "LEVEL 1, top left";
        EXPECT_GT(Like(*shot, kEnemyColour, kTopRow), 100) << "ENEMIES 4, top middle";
        EXPECT_GT(Like(*shot, kWeaponColour, kTopRow), 100) << "PISTOL, top right";
    }
    // Exactly the announcement's colour: the unlit lettering has it, lit floors do not.
    EXPECT_GT(announced.CountColour(kAnnounceColour), 2000) << "LEVEL 1, large";
    EXPECT_LT(settled.CountColour(kAnnounceColour), 50) << "the announcement is gone";
    // FLAMETHROWER is twice as long as PISTOL.
    EXPECT_GT(Like(flamethrower, kWeaponColour, kTopRow),
              Like(settled, kWeaponColour, kTopRow) * 3 / 2);
    // The player's own highlights are near white too, but cover far less.
    EXPECT_GT(Like(paused, kPausedWhite, kCentre), Like(settled, kPausedWhite, kCentre) + 3000)
        << "PAUSED over the level";
}

}  // namespace
