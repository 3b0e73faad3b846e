// Menu buttons: hover enter and leave over the whole rectangle (corners included), the pressed
// look, the action only for a press that began and ended on the button (never for a press held
// from before it appeared), and the Quit action ending the program after the frame in which it
// runs.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/DataDirectories.h"
#include "engine/Engine.h"
#include "entities/Entity.h"
#include "gameplay/Button.h"
#include "engine/InputMessage.h"
#include "graphics/Sprite.h"
#include "input/InputStateSystem.h"
#include "physics/ColliderCircle.h"
#include "physics/Transform.h"
#include "support/ChildProcess.h"
#include "support/EnginePassTest.h"
#include "support/GameplayTest.h"
#include "support/TraceMessages.h"

namespace {

using ::testing::internal::CaptureStdout;
using ::testing::internal::GetCapturedStdout;

constexpr Vector3 kNormal{0.5f, 0.5f, 0.5f};
constexpr Vector3 kHover{1.0f, 0.8f, 0.2f};
constexpr Vector3 kHeld{0.2f, 1.0f, 0.2f};
constexpr const char* kToMenu = "SceneSystem::ChangeScene - Switching to scene: MenuScene.json";

bool Same(const Vector3& a, const Vector3& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

class ButtonTest : public GameplayTest {
protected:
    void SetUp() override {
        GameplayTest::SetUp();
        tree.WriteFile("Data/Scenes/MenuScene.json", "{}");
        Entity* entity = AddEntity("MenuButton", {0.0f, 0.0f});
        transform = entity->GetComponent<Transform>();
        transform->SetScale({200.0f, 100.0f});
        sprite = new Sprite();
        sprite->color = kNormal;
        entity->AddComponent(sprite);
        button = new Button();
        button->FromJson({{"function", "Menu"},
                          {"hoverColor.x", kHover.x}, {"hoverColor.y", kHover.y},
                          {"hoverColor.z", kHover.z}, {"heldColor.x", kHeld.x},
                          {"heldColor.y", kHeld.y}, {"heldColor.z", kHeld.z}});
        entity->AddComponent(button);
        FlushAllLists();  // the button captures its normal colour
    }

    // The pointer at `where` (by default just inside a corner of the 200 x 100 button), then the
    // button's update with CLICK as held now.
    void FrameAt(Vector2 where) {
        PlacePointer(where);
        button->Update(0.0f);
    }
    void FrameOver() { FrameAt(kCorner); }
    void FrameAway() { FrameAt({1000.0f, 1000.0f}); }

    static constexpr Vector2 kCorner{99.0f, -49.0f};

    std::size_t MenuSwitches() const {
        return CountOccurrences(ReadFileText(DataDirectory + "Trace_Log.txt"), kToMenu);
    }

    Transform* transform = nullptr;
    Sprite* sprite = nullptr;
    Button* button = nullptr;
};

TEST_F(ButtonTest, PointerArrivingAndLeavingHighlightsAndRestoresOnce) {
    EXPECT_TRUE(Same(button->normalColor, kNormal));
    CaptureStdout();
    FrameOver();
    EXPECT_TRUE(Same(sprite->color, kHover));
    EXPECT_FLOAT_EQ(transform->scale.x, 220.0f);
    EXPECT_FLOAT_EQ(transform->scale.y, 110.0f);
    FrameOver();
    FrameOver();
    EXPECT_FLOAT_EQ(transform->scale.x, 220.0f) << "grows once while it stays hovered";
    FrameAway();
    EXPECT_TRUE(Same(sprite->color, kNormal));
    EXPECT_NEAR(transform->scale.x, 200.0f, 1e-3f);
    EXPECT_NEAR(transform->scale.y, 100.0f, 1e-3f);
    FrameAway();
    EXPECT_EQ(GetCapturedStdout(), "OnHover\nOffHover\n");
    EXPECT_EQ(MenuSwitches(), 0u);
}

TEST_F(ButtonTest, TheHitAreaIsTheWholeRectangle) {
    struct Spot {
        const char* name;
        Vector2 where;
        bool inside;
    };
    // The button is 200 x 100 around the origin: a circle inside it would miss every corner.
    const std::vector<Spot> spots{
        {"top right corner", {99.0f, 49.0f}, true},
        {"bottom left corner", {-99.0f, -49.0f}, true},
        {"left edge", {-100.0f, 0.0f}, true},
        {"just right of it", {101.0f, 0.0f}, false},
        {"just above it", {0.0f, 51.0f}, false},
        {"beyond a corner", {101.0f, 51.0f}, false},
    };
    for (const Spot& spot : spots) {
        SCOPED_TRACE(spot.name);
        CaptureStdout();
        FrameAt(spot.where);
        EXPECT_EQ(Same(sprite->color, kHover), spot.inside);
        FrameAway();
        EXPECT_EQ(GetCapturedStdout(), spot.inside ? "OnHover\nOffHover\n" : "");
    }
    // Other entities near the button do not hover it: only the pointer's position counts.
    Entity* other = AddEntity("MouseObject2", {0.0f, 0.0f});
    other->AddComponent(new ColliderCircle());
    FlushAllLists();
    CaptureStdout();
    FrameAway();
    EXPECT_EQ(GetCapturedStdout(), "");
}

struct PressCase {
    const char* name;
    // 'P' press CLICK, 'R' release CLICK, 'o' a frame over the button, 'a' a frame away.
    const char* script;
    std::size_t actions;
};

TEST_F(ButtonTest, OnlyAPressThatBeganAndEndedOnTheButtonRunsItsAction) {
    const std::vector<PressCase> cases{
        {"press and release over it", "oPoRo", 1},
        {"held over it, not yet released", "oPooo", 0},
        {"press over, move off and back, release over it", "oPoaoRo", 1},
        {"press over, move off, release away, come back", "oPoaRao", 0},
        {"press away, drag onto it, release over it", "aPaoRo", 0},
        {"hover without a click", "ooao", 0},
        {"two clicks", "oPoRoPoRo", 2},
    };
    for (const PressCase& row : cases) {
        SCOPED_TRACE(row.name);
        const std::size_t before = MenuSwitches();
        CaptureStdout();
        for (const char* step = row.script; *step != '\0'; ++step) {
            switch (*step) {
                case 'P': SetHeld(InputType::CLICK, true); break;
                case 'R': SetHeld(InputType::CLICK, false); break;
                case 'o': FrameOver(); break;
                case 'a': FrameAway(); break;
            }
        }
        const std::string output = GetCapturedStdout();
        EXPECT_EQ(CountOccurrences(output, "button pressed\n"), row.actions) << output;
        EXPECT_EQ(MenuSwitches() - before, row.actions);
        SetHeld(InputType::CLICK, false);
        FrameAway();
    }
}

TEST_F(ButtonTest, HeldLookWhilePressedAndHoverLookAfterTheAction) {
    FrameOver();
    SetHeld(InputType::CLICK, true);
    FrameOver();
    EXPECT_TRUE(Same(sprite->color, kHeld));
    SetHeld(InputType::CLICK, false);
    FrameOver();
    EXPECT_TRUE(Same(sprite->color, kHover));
    FrameAway();
    EXPECT_TRUE(Same(sprite->color, kNormal));
}

// A fire button held when a level ends must not press the button of the next screen that happens
// to lie under the pointer when it is let go.
TEST_F(ButtonTest, APressHeldFromBeforeTheButtonAppearedPressesNothing) {
    SetHeld(InputType::CLICK, true);
    Entity* entity = AddEntity("LateButton", {0.0f, 0.0f});
    entity->GetComponent<Transform>()->SetScale({200.0f, 100.0f});
    auto* late = new Button();
    late->FromJson({{"function", "Menu"}});
    entity->AddComponent(late);
    FlushAllLists();
    CaptureStdout();
    PlacePointer(kCorner);
    late->Update(0.0f);
    late->Update(0.0f);
    SetHeld(InputType::CLICK, false);
    late->Update(0.0f);
    EXPECT_EQ(CountOccurrences(GetCapturedStdout(), "button pressed"), 0u);
    EXPECT_EQ(MenuSwitches(), 0u);
}

TEST_F(ButtonTest, RereadingTheFunctionRebindsAndAnUnknownNameDoesNothing) {
    tree.WriteFile("Data/Scenes/MainScene.json", "{}");
    button->FromJson({{"function", "Start"}});
    const auto click = [&] {
        FrameOver();
        SetHeld(InputType::CLICK, true);
        FrameOver();
        SetHeld(InputType::CLICK, false);
        FrameOver();
    };
    click();
    const std::string log = ReadFileText(DataDirectory + "Trace_Log.txt");
    EXPECT_EQ(CountOccurrences(log, "Switching to scene: MainScene.json"), 1u);

    button->FromJson({{"function", "Menu"}});
    click();
    EXPECT_EQ(MenuSwitches(), 1u);

    button->FromJson({{"function", "Teleport"}});
    CaptureStdout();
    click();
    EXPECT_EQ(GetCapturedStdout(), "button pressed\n");
    EXPECT_EQ(MenuSwitches(), 1u);
    EXPECT_EQ(button->ToJson().at("function"), "Teleport");
}

class QuitButtonTest : public EnginePassTest {};

TEST_F(QuitButtonTest, QuitEndsTheProgramAfterTheFrameItRunsIn) {
    constexpr int kReleaseFrame = 4;
    constexpr int kGiveUpFrame = 60;
    Button* quit = nullptr;
    int lastUpdate = 0;
    int lastRender = 0;
    const auto pointerContact = [&](bool clickHeld) {
        InputStateSystem::Instance().HandleMessage(InputMessage{InputType::CLICK, clickHeld});
    };
    probe.onUpdate = [&](int frame) {
        lastUpdate = frame;
        if (frame == kReleaseFrame - 1) {
            pointerContact(true);
        } else if (frame == kReleaseFrame) {
            pointerContact(false);
        } else if (frame == kGiveUpFrame) {
            engine.running = false;
        }
    };
    probe.onRender = [&](int frame) { lastRender = frame; };
    CaptureStdout();
    RunPasses([&] {
        // Wider than the view: wherever the real cursor puts the pointer, it is on the button.
        Entity& entity = AddEntity("QuitButton", {0.0f, 0.0f});
        entity.GetComponent<Transform>()->SetScale({100000.0f, 100000.0f});
        quit = new Button();
        quit->FromJson({{"function", "Quit"}});
        entity.AddComponent(quit);
    });
    EXPECT_EQ(CountOccurrences(GetCapturedStdout(), "button pressed\n"), 1u);
    // The button reads CLICK at its own update, which comes before the probe's in a frame: it
    // sees the release in the frame after the probe delivered it, and acts there.
    EXPECT_EQ(lastUpdate, kReleaseFrame + 1) << "no frame after the one the action ran in";
    EXPECT_EQ(lastRender, kReleaseFrame + 1) << "that frame was still drawn";
}

}  // namespace
