// The tool windows over the running game, driven with real X input on a private X server: the
// widget layer's identifiers and rearrangeable sections, the performance and input windows and
// their toggle key, and the engine settings window (settings boxes, switching the settings file,
// restart, the drawing-aid toggles).

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "engine/Engine.h"
#include "engine/EngineSettings.h"
#include "physics/Collider.h"
#include "support/ChildProcess.h"
#include "support/InGameTest.h"
#include "support/Screenshot.h"
#include "tools/DebugSystem.h"
#include "tools/EngineSettingsSystem.h"
#include "tools/UniqueId.h"
#include "tools/Window.h"
#include "tools/WindowButton.h"
#include "tools/WindowCheckbox.h"
#include "tools/WindowCreationSystem.h"
#include "tools/WindowDropdown.h"
#include "tools/WindowInputText.h"
#include "tools/WindowText.h"

#include <imgui.h>

#include "support/ItemRect.h"

namespace {

namespace fs = std::filesystem;
using json = nlohmann::json;
using ::testing::internal::CaptureStdout;
using ::testing::internal::GetCapturedStdout;

constexpr Rgb kOutlineRed{255, 0, 0};


// The first widget of type T in the tree below `object` for which `match` holds.
template <class T, class Match>
T* Find(WindowObject* object, Match match) {
    if (auto* found = dynamic_cast<T*>(object); found != nullptr && match(*found)) {
        return found;
    }
    if (auto* section = dynamic_cast<WindowSection*>(object)) {
        for (const auto& child : section->children) {
            if (T* found = Find<T>(child.get(), match)) {
                return found;
            }
        }
    }
    if (auto* dropdown = dynamic_cast<WindowDropdown*>(object)) {
        return Find<T>(dropdown->content.get(), match);
    }
    return nullptr;
}

Window* WindowNamed(const std::string& name) {
    for (const auto& window : WindowCreationSystem::Instance().windows) {
        if (window->name == name) {
            return window.get();
        }
    }
    return nullptr;
}

TEST(UniqueIdTest, CountersAdvanceLikeAnOdometerAndNeverRepeat) {
    const std::vector<std::pair<std::string, std::string>> steps{
        {"0", "1"}, {"8", "9"}, {"9", "00"}, {"19", "20"}, {"99", "000"}, {"09", "10"},
        {"999", "0000"}};
    for (const auto& [before, after] : steps) {
        EXPECT_EQ(AdvanceCounter(before), after) << before;
    }
    EXPECT_EQ(MakeUniqueId(), "##UniqueID1");
    EXPECT_EQ(MakeUniqueId("Box"), "##Box1");
    EXPECT_EQ(MakeUniqueId("Crate"), "##Crate1") << "every name counts on its own";
    std::vector<std::string> seen;
    for (int i = 0; i < 120; ++i) {
        seen.push_back(MakeUniqueId("Box"));
    }
    EXPECT_EQ(seen[7], "##Box9");
    EXPECT_EQ(seen[8], "##Box00");
    EXPECT_EQ(seen[18], "##Box10");
    std::sort(seen.begin(), seen.end());
    EXPECT_EQ(std::adjacent_find(seen.begin(), seen.end()), seen.end()) << "a value repeated";
    ResetUniqueId("Box");
    EXPECT_EQ(MakeUniqueId("Box"), "##Box1");
    EXPECT_EQ(MakeUniqueId(), "##UniqueID2");
}

TEST(WindowTextTest, LabelAndIdentifierComeFromTheGivenText) {
    const WindowText named("Score##points");
    EXPECT_EQ(named.text, "Score");
    EXPECT_EQ(named.id, "points");
    const WindowText plain("Score");
    EXPECT_EQ(plain.text, "Score");
    EXPECT_TRUE(plain.id.starts_with("##UniqueID"));
    const WindowText twice("Score##a##b");
    EXPECT_EQ(twice.text, "Score");
    EXPECT_TRUE(twice.id.starts_with("##UniqueID"));
    EXPECT_NE(twice.id, plain.id);
}

TEST(PerformanceShareTest, AZeroTotalGivesZeroPercent) {
    EXPECT_EQ(DebugSystem::ShareOf(5.0, 0.0), 0);
    EXPECT_EQ(DebugSystem::ShareOf(0.0, 0.0), 0);
    EXPECT_EQ(DebugSystem::ShareOf(1.0, 3.0), 33) << "truncated";
    EXPECT_EQ(DebugSystem::ShareOf(2.0, 3.0), 66);
}

class ToolWindowsTest : public InGameTest {
protected:
    void SetUp() override {
        fs::copy_file(fs::path(TARNWICK_SOURCE_DIR) / "Data" / "DefaultInputMappings.txt",
                      tree.root() / "Data" / "DefaultInputMappings.txt");
        tree.WriteFile("Data/EngineSettingFiles/SettingsRouter.txt", "Tools.json");
        tree.WriteFile("Data/EngineSettingFiles/Tools.json",
                       json{{"defaultEntityFile", ""}, {"runOnStart", "1"}}.dump(2));
    }

    // Pure red pixels in the game's window (the GUI over the game), in the frame drawn last.
    int RedPixelsOnScreen(const std::string& name) {
        return window.Shot(name).CountColour(kOutlineRed);
    }
    std::string SettingsFile(const std::string& name) const {
        return ReadFileText(tree.perUserData() / "EngineSettingFiles" / name);
    }
};

TEST_F(ToolWindowsTest, DraggingAnItemOntoAnotherReordersTheSectionAndTheDebugKeyTogglesWindows) {
    Rect items[4];
    Rect pause;
    Window* performance = nullptr;
    Window* input = nullptr;
    const auto visible = [&] {
        return performance->renderState == WindowRenderState::VISIBLE &&
               input->renderState == WindowRenderState::VISIBLE;
    };
    const auto hidden = [&] {
        return performance->renderState == WindowRenderState::INVISIBLE &&
               input->renderState == WindowRenderState::INVISIBLE;
    };
    Until([&] { return items[1].Drawn() && items[3].Drawn() && pause.Drawn(); });
    // Drag the item shown fourth onto the one shown second: pressed on it, moved past the GUI's
    // drag threshold, moved onto the other and let go there.
    PointAt(CentreOf(items[3]));
    ButtonDown(DisplayWindow::kLeftButton);
    PointAt([&] { return std::pair{items[3].CentreX() + 6, items[3].CentreY() - 6}; });
    PointAt(CentreOf(items[1]));
    ButtonUp(DisplayWindow::kLeftButton);
    Until([&] { return sectionOrders["TestOrder"] == std::vector<int>{0, 3, 1, 2}; });
    PressKey("F2");
    Until(hidden);
    PressKey("F2");
    Until(visible);
    // Paused (through the real checkbox), the game takes no key but the tool toggles still work.
    Click(CentreOf(pause));
    Until([&] { return engine.paused; });
    PressKey("F2");
    Until(hidden);
    CaptureStdout();
    Play([&] {
        auto arrange = std::make_unique<Window>("Arrange");
        arrange->initialPosition = Vector2{300.0f, 80.0f};
        arrange->initialSize = Vector2{200.0f, 200.0f};
        std::vector<std::unique_ptr<WindowObject>> children;
        for (int i = 0; i < 4; ++i) {
            WindowObjectDescription description;
            description.traits.push_back(std::make_unique<RecordRect>(items[i]));
            children.push_back(
                std::make_unique<WindowText>("Item " + std::to_string(i), std::move(description)));
        }
        arrange->AddObject(std::make_unique<WindowSection>(std::move(children), 0.0f,
                                                           WindowObjectDescription{}, "TestOrder"));
        WindowCreationSystem::Instance().windows.push_back(std::move(arrange));
        performance = WindowNamed("Performance Window");
        input = WindowNamed("Input Window");
        ASSERT_NE(performance, nullptr);
        ASSERT_NE(input, nullptr);
        Window* settings = WindowNamed("Engine Settings Window");
        ASSERT_NE(settings, nullptr);
        auto* checkbox = Find<WindowCheckbox>(settings->root.get(),
                                              [](auto& box) { return box.label == "Pause"; });
        ASSERT_NE(checkbox, nullptr);
        checkbox->traits.push_back(std::make_unique<RecordRect>(pause));
    });
    const std::string output = GetCapturedStdout();
    EXPECT_EQ(sectionOrders["TestOrder"], (std::vector<int>{0, 3, 1, 2}));
    EXPECT_NE(output.find("3 onto 1\n"), std::string::npos) << output;
}

TEST_F(ToolWindowsTest, SettingsWindowWritesSwitchesRestartsAndTogglesDrawingAids) {
    tree.WriteFile("Data/EngineSettingFiles/Tools.json",
                   json{{"defaultEntityFile", ""}, {"runOnStart", "true"}}.dump(2));
    Rect runOnStart, settingsPath, restart, collidersBox, textboxesBox, togglesHeader;
    int passes = 0;
    Window* firstSettingsWindow = nullptr;
    WindowCheckbox* restartedPause = nullptr;
    bool restartedCollidersChecked = true;
    bool restartedPaused = false;
    bool pauseShown = false;
    int outlined = 0;
    int outlinedAfterToggle = -1;
    // Clicks into a box, moves to its end, erases `erase` characters, types `text` and presses
    // Enter. This GUI library version sees keys by their held state once per frame; each key is
    // held until the window has it down, which the GUI has then seen.
    const auto typeInto = [&](const Rect& rect, const std::string& text, int erase) {
        Click(CentreOf(rect));
        Until([] { return ImGui::GetIO().WantTextInput; });
        PressKey("End");
        for (int i = 0; i < erase; ++i) {
            PressKey("BackSpace");
        }
        Type(text);
        PressKey("Return");
    };
    Until([&] { return runOnStart.Drawn() && settingsPath.Drawn() && restart.Drawn(); });
    // The box shows 1 for the loaded "true"; typing 1 over it writes the member as "1".
    typeInto(runOnStart, "1", 3);
    Until([&] { return SettingsFile("Tools.json").find("\"1\"") != std::string::npos; });
    Do([&] {
        const json saved = json::parse(SettingsFile("Tools.json"));
        EXPECT_EQ(saved.at("runOnStart"), "1") << "written as a string";
        EXPECT_FALSE(engine.paused) << "takes effect at the next restart";
    });
    typeInto(settingsPath, "Fresh.json", 12);
    Until([&] { return !SettingsFile("Fresh.json").empty(); });
    Do([&] {
        const json fresh = json::parse(SettingsFile("Fresh.json"));
        EXPECT_EQ(fresh, (json{{"defaultEntityFile", ""}, {"runOnStart", "0"}}));
        EXPECT_EQ(ReadFileText(tree.perUserData() / "EngineSettingFiles" / "SettingsRouter.txt"),
                  "Fresh.json");
        EXPECT_EQ(EngineSettingsSystem::Instance().settingsJson.at("runOnStart"), "0");
    });
    // Text boxes are outlined in red.
    Until([&] {
        outlined = RedPixelsOnScreen("outlined");
        return outlined > 100;
    });
    Click(CentreOf(togglesHeader));
    Until([&] { return textboxesBox.Drawn() && collidersBox.Drawn(); });
    Click(CentreOf(textboxesBox));
    Until([&] { return !showTextboxes; });
    // The screen shows a frame drawn after the toggle once the frame after it runs.
    Until([&] {
        outlinedAfterToggle = RedPixelsOnScreen("not-outlined");
        return outlinedAfterToggle == 0;
    });
    Click(CentreOf(collidersBox));
    Until([&] { return !Collider::showDebugColliders; });
    Do([&] { sectionOrders["RearrangeToggles"] = {1, 0}; });
    Click(CentreOf(restart));
    // The next pass runs on the switched settings file: paused, so the script's frames still
    // run but no input is delivered.
    Until([&] { return passes == 2; });
    Until([&] {
        restartedPaused = engine.paused;
        pauseShown = restartedPause->checked;
        return restartedPaused && pauseShown;
    });
    Play([&] {
        ++passes;
        Window* settings = WindowNamed("Engine Settings Window");
        ASSERT_NE(settings, nullptr);
        const auto attach = [&](auto* widget, Rect& rect) {
            ASSERT_NE(widget, nullptr);
            widget->traits.push_back(std::make_unique<RecordRect>(rect));
        };
        WindowObject* root = settings->root.get();
        if (passes == 2) {
            EXPECT_NE(settings, firstSettingsWindow);
            auto* colliders = Find<WindowCheckbox>(
                root, [](auto& box) { return box.label == "Show Debug Colliders"; });
            ASSERT_NE(colliders, nullptr);
            restartedCollidersChecked = colliders->checked;
            restartedPause =
                Find<WindowCheckbox>(root, [](auto& box) { return box.label == "Pause"; });
            ASSERT_NE(restartedPause, nullptr);
            return;
        }
        firstSettingsWindow = settings;
        attach(Find<WindowInputText>(root, [](auto& box) { return box.label == "runOnStart"; }),
               runOnStart);
        attach(Find<WindowInputText>(root, [](auto& box) { return box.label == "Settings Path: "; }),
               settingsPath);
        attach(Find<WindowButton>(root, [](auto& button) { return button.label == "Restart"; }),
               restart);
        attach(Find<WindowCheckbox>(root,
                                    [](auto& box) { return box.label == "Show Debug Colliders"; }),
               collidersBox);
        attach(Find<WindowCheckbox>(root, [](auto& box) { return box.label == "Show Textboxes"; }),
               textboxesBox);
        attach(Find<WindowDropdown>(root, [](auto& dropdown) { return dropdown.label == "Toggles"; }),
               togglesHeader);
    });
    EXPECT_EQ(passes, 2);
    EXPECT_GT(outlined, 100) << "text boxes are outlined";
    EXPECT_EQ(outlinedAfterToggle, 0) << "no outline anywhere";
    EXPECT_TRUE(restartedPaused) << "the switched settings start paused";
    EXPECT_TRUE(pauseShown) << "the rebuilt Pause box shows it";
    EXPECT_FALSE(restartedCollidersChecked) << "the toggle kept its state over the restart";
    EXPECT_EQ(sectionOrders["RearrangeToggles"], (std::vector<int>{1, 0}));
}

}  // namespace
