// A level designer's session on the shipped game with real X input: open the first level in
// Edit, move the player in the Inspector, add a component, undo both, redo one, save, Play, type
// into a tool window while playing (the game receives none of it), and back to Edit, where the
// saved scene shows again without the play state. Screenshots of every step are kept under
// build/e2e-screenshots/; the ones that must show the same scene are compared pixel for pixel.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include <imgui.h>
#include <nlohmann/json.hpp>

#include "audio/SoundEffect.h"
#include "engine/Engine.h"
#include "entities/Entity.h"
#include "entities/SceneSystem.h"
#include "gameplay/BasicEnemyBehavior.h"
#include "gameplay/Tilemap.h"
#include "physics/Transform.h"
#include "support/ChildProcess.h"
#include "support/InGameTest.h"
#include "support/Screenshot.h"
#include "support/TraceMessages.h"
#include "support/WidgetPlaces.h"
#include "testbed/SceneChild.h"
#include "tools/EditorSystem.h"
#include "tools/EngineSettingsSystem.h"
#include "tools/WindowCreationSystem.h"

namespace {

using json = nlohmann::json;

constexpr float kMovedX = -1400.0f;
// The game between the tool windows (the HUD's top line included): what the designer looks at.
constexpr PixelArea kPlayingField{245, 0, 835, 720};
// Where the pointer rests while a picture is taken: over the test window, out of the field.
constexpr int kRestX = 960;
constexpr int kRestY = 700;

class DesignerSessionTest : public InGameTest {
protected:
    void SetUp() override {
        tree.CopyShippedData();
        tree.WriteFile("Data/EngineSettingFiles/SettingsRouter.txt", "Designer.json");
        tree.WriteFile("Data/EngineSettingFiles/Designer.json",
                       R"({"defaultEntityFile": "Scenes/MenuScene.json", "runOnStart": "0"})");
    }

    std::filesystem::path TraceLog() const { return tree.perUserData() / "Trace_Log.txt"; }
    std::filesystem::path SavedLevel() const {
        return tree.perUserData() / "Scenes" / "MainScene.json";
    }

    static Entity* Player() { return SceneChildNamed("Player"); }
    static float PlayerX() { return Player()->GetComponent<Transform>()->position.x; }
    // Waits until the widget was drawn this frame, then clicks its middle.
    void ClickOn(const std::string& key) {
        Until([this, key] { return places.DrawnNow(key); });
        Click([this, key] { return places.Centre(key); });
    }

    // Clicks into a box, erases the `erase` characters it holds (its boxes keep no selection),
    // types `text` and holds Enter down (a later step lets it go, once what it submits has
    // happened).
    void TypeInto(const std::string& box, const std::string& text, int erase = 0) {
        ClickOn(box);
        Until([] { return ImGui::GetIO().WantTextInput; });
        PressKey("End");
        for (int i = 0; i < erase; ++i) {
            PressKey("BackSpace");
        }
        Type(text);
        KeyDown("Return");
    }

    void Ctrl(const std::string& key) {
        KeyDown("ctrl");
        PressKey(key);
        KeyUp("ctrl");
    }

    // A picture with the pointer out of the playing field, once the frame after it is drawn.
    void Picture(const std::string& name, Screenshot& into) {
        PointAt(kRestX, kRestY);
        Do([] {});
        Do([this, name, &into] { into = window.Shot(name); });
    }

    WidgetPlaces places{probe.frame};
};

TEST_F(DesignerSessionTest, EditPlayAndBackWithUndoSaveAndNoKeyLeakingIntoTheGame) {
    EditorSystem& editor = EditorSystem::Instance();
    Screenshot opened, undone, saved, playing, backInEdit, afterMove, afterRedo;
    float fileX = 0.0f;
    std::int32_t editedSceneId = -1;
    std::vector<Vector2> enemiesInFile;
    std::size_t traceBeforeTyping = 0;
    std::uint64_t tickAfterTyping = 0;
    std::size_t enemiesBeforeTyping = 0;
    std::vector<std::string> sentWhileTyping{"(never read)"};
    const auto enemies = [] {
        std::vector<Entity*> found;
        for (Entity* child : SceneSystem::Instance().currentScene->children) {
            if (child->GetComponent<BasicEnemyBehavior>() != nullptr) {
                found.push_back(child);
            }
        }
        return found;
    };
    const auto enemyPositions = [&] {
        std::vector<Vector2> positions;
        for (Entity* enemy : enemies()) {
            positions.push_back(enemy->GetComponent<Transform>()->position);
        }
        return positions;
    };
    const auto levelBuilt = [] {
        const Entity* walls = SceneChildNamed("BorderWalls");
        return walls != nullptr && walls->GetComponent<Tilemap>() != nullptr &&
               !walls->GetComponent<Tilemap>()->recreateMap;
    };

    // 1. The menu opens in Edit; the first level is opened by name, still in Edit.
    Until([&] { return engine.editing && engine.paused; });
    TypeInto("Open Scene: ", "MainScene.json", 14);
    Until([&] {
        return SceneSystem::Instance().currentSceneName == "MainScene.json" &&
               Player() != nullptr && levelBuilt();
    });
    KeyUp("Return");
    Do([&] {
        EXPECT_TRUE(engine.editing && engine.paused) << "the level opens held still";
        fileX = PlayerX();
        enemiesInFile = enemyPositions();
    });
    Picture("1-level1-in-edit", opened);

    // 2. Select the player in the Hierarchy: its row is the scene's last, below the window's
    // edge until the list is scrolled.
    ClickOn("OriginEntity");
    ClickOn("To Be Loaded");
    Until([&] { return places.DrawnNow("select Player"); });
    Do([&] {
        window.PointAt(120, 150);
        window.Send({"click", "--repeat", "12", "5"});
    });
    Until([&] { return places.ShownWhole("select Player", "Hierarchy"); });
    ClickOn("select Player");
    Until([&] { return editor.inspected == Player(); });

    // 3. Move the player: its position's x, typed into the Transform's box.
    ClickOn("Transform");
    TypeInto("x:", "-1400", 7);
    Until([&] { return PlayerX() == kMovedX; });
    KeyUp("Return");
    ClickOn("Transform");
    Picture("3-player-moved", afterMove);

    // 4. Add a component.
    TypeInto("Add Component:", "SoundEffect");
    Until([&] { return Player()->GetComponent<SoundEffect>() != nullptr; });
    KeyUp("Return");

    // 5. Undo both: the level as it opened, to the pixel.
    Ctrl("z");
    Until([&] { return Player()->GetComponent<SoundEffect>() == nullptr; });
    Ctrl("z");
    Until([&] { return PlayerX() == fileX; });
    Picture("5-both-undone", undone);
    Do([&] {
        EXPECT_EQ(undone.Differences(opened, kPlayingField), 0)
            << "undone, the level looks as it opened";
        EXPECT_GT(afterMove.Differences(opened, kPlayingField), 0) << "the move showed";
    });

    // 6. Redo one: the move, not the component.
    Ctrl("y");
    Until([&] { return PlayerX() == kMovedX; });
    Picture("6-move-redone", afterRedo);
    Do([&] {
        EXPECT_EQ(Player()->GetComponent<SoundEffect>(), nullptr);
        EXPECT_EQ(afterRedo.Differences(afterMove, kPlayingField), 0);
    });

    // 7. Save: the level's own file, with the move and nothing else changed.
    std::string levelBefore;
    Do([&] { levelBefore = ReadFileText(SavedLevel()); });
    ClickOn("Save Current Scene");
    Until([&] { return ReadFileText(SavedLevel()) != levelBefore; });
    Do([&] {
        const json file = json::parse(ReadFileText(SavedLevel()));
        const json shipped = json::parse(levelBefore);
        EXPECT_EQ(file.at("Player").at("Transform").at("Transform").at("position").at("x"),
                  kMovedX);
        EXPECT_FALSE(file.at("Player").contains("SoundEffect"));
        std::vector<std::string> keys;
        std::vector<std::string> shippedKeys;
        for (const auto& [key, value] : file.items()) {
            keys.push_back(key);
        }
        for (const auto& [key, value] : shipped.items()) {
            shippedKeys.push_back(key);
        }
        EXPECT_EQ(keys, shippedKeys) << "the scene's entities, no more and no fewer";
        EXPECT_EQ(ReadFileText(tree.perUserData() / "Scenes" / "MenuScene.json"),
                  ReadFileText(tree.root() / "Data" / "Scenes" / "MenuScene.json"))
            << "the start scene's file is left alone";
    });
    Picture("7-saved", saved);

    // 8. Play: the enemies set off.
    ClickOn("Play");
    Until([&] { return !engine.editing && !engine.paused; });
    Until([&] { return enemyPositions() != enemiesInFile; });
    Do([&] { editedSceneId = SceneSystem::Instance().currentScene->id; });

    // While playing, a cheat key's letter and Enter typed into a tool window's box reach the GUI
    // only: no input message, no nuke (N), no shot (Enter is CLICK's code).
    ClickOn("Add Component:");
    Until([] { return ImGui::GetIO().WantTextInput; });
    Do([&] {
        traceBeforeTyping = ReadFileText(TraceLog()).size();
        enemiesBeforeTyping = enemies().size();
    });
    KeyDown("shift");
    PressKey("n");
    KeyUp("shift");
    KeyDown("Return");
    Until([&] {
        return ReadFileText(TraceLog()).find("\"N\" names no component type",
                                             traceBeforeTyping) != std::string::npos;
    });
    KeyUp("Return");
    Do([&] { tickAfterTyping = engine.tickCount; });
    // A message queued by the typing would have been sent by the second tick after it.
    Until([&] { return engine.tickCount >= tickAfterTyping + 2; });
    Do([&] {
        sentWhileTyping.clear();
        const std::string trace = ReadFileText(TraceLog()).substr(traceBeforeTyping);
        for (std::size_t at = trace.find(kInputSentTrace); at != std::string::npos;
             at = trace.find(kInputSentTrace, at + 1)) {
            sentWhileTyping.push_back(trace.substr(at, trace.find('\n', at) - at));
        }
        EXPECT_EQ(enemies().size(), enemiesBeforeTyping) << "no nuke";
    });
    Picture("8-playing", playing);
    // The same click on the game itself is the game's.
    Click(540, 200);
    Until([&] {
        return ReadFileText(TraceLog()).find(InputSentTrace("CLICK", true), traceBeforeTyping) !=
               std::string::npos;
    });

    // 9. Back to Edit: the play state is gone, the saved level shows again.
    ClickOn("Back to Edit");
    Until([&] {
        return engine.editing && engine.paused && SceneSystem::Instance().currentScene &&
               SceneSystem::Instance().currentScene->id != editedSceneId && Player() != nullptr &&
               levelBuilt();
    });
    Do([&] {
        EXPECT_EQ(PlayerX(), kMovedX) << "the saved move";
        EXPECT_EQ(enemyPositions(), enemiesInFile) << "the enemies where the file has them";
    });
    Picture("9-back-in-edit", backInEdit);

    Play([&] {
        for (const auto& tool : WindowCreationSystem::Instance().windows) {
            places.Track(*tool->root);
        }
    });
    EXPECT_EQ(sentWhileTyping, std::vector<std::string>{}) << "typing into a box sent inputs";
    EXPECT_EQ(backInEdit.Differences(saved, kPlayingField), 0)
        << "back in Edit the level looks as it was saved";
    EXPECT_GT(playing.Differences(saved, kPlayingField), 0) << "play changed the level";
}

}  // namespace
