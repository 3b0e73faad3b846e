// The tool windows over the running game, driven with real X input on a private X server: the
// widget layer's identifiers and rearrangeable sections, the performance and input windows and
// their toggle key, and the engine settings window (settings boxes, switching the settings file,
// restart, the drawing-aid toggles).

#include <gtest/gtest.h>

#include <stb_image.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "engine/Engine.h"
#include "engine/EngineSettings.h"
#include "engine/Program.h"
#include "game/GameComposition.h"
#include "graphics/GraphicsSystem.h"
#include "physics/Collider.h"
#include "support/ChildProcess.h"
#include "support/GameTree.h"
#include "support/PrivateDisplay.h"
#include "support/StepRunner.h"
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

namespace {

namespace fs = std::filesystem;
using json = nlohmann::json;
using ::testing::internal::CaptureStdout;
using ::testing::internal::GetCapturedStdout;

constexpr int kStepFrameLimit = 600;

struct Rect {
    float x0 = 0.0f, y0 = 0.0f, x1 = 0.0f, y1 = 0.0f;
    int CentreX() const { return static_cast<int>((x0 + x1) * 0.5f); }
    int CentreY() const { return static_cast<int>((y0 + y1) * 0.5f); }
};

// Remembers where the widget it is attached to drew its last item.
class RecordRect : public WindowObjectTrait {
public:
    explicit RecordRect(Rect& rect) : rect(rect) {}
    void Apply() override {
        const ImVec2 min = ImGui::GetItemRectMin();
        const ImVec2 max = ImGui::GetItemRectMax();
        rect = {min.x, min.y, max.x, max.y};
    }
    Rect& rect;
};

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

class ToolWindowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(display.name().empty()) << "no private X server";
        setenv("DISPLAY", display.name().c_str(), 1);
        fs::copy_file(fs::path(TARNWICK_SOURCE_DIR) / "Data" / "DefaultInputMappings.txt",
                      tree.root() / "Data" / "DefaultInputMappings.txt");
        tree.WriteFile("Data/EngineSettingFiles/SettingsRouter.txt", "Tools.json");
        tree.WriteFile("Data/EngineSettingFiles/Tools.json",
                       json{{"defaultEntityFile", ""}, {"runOnStart", "1"}}.dump(2));
    }
    void TearDown() override { GraphicsSystem::Instance().ShutDown(); }

    void Run(const std::function<void()>& eachStart = {}) {
        ASSERT_TRUE(program.StartUp());
        program.RunEnginePasses([&] {
            engine.RegisterSystem(&runner);
            if (window.empty()) {
                ASSERT_EQ(display.Run({"/usr/bin/xdotool", "search", "--name", "^Tarnwick$"},
                                      &window),
                          0);
                window = window.substr(0, window.find('\n'));
                ASSERT_EQ(display.Run({"/usr/bin/xdotool", "windowfocus", "--sync", window}), 0);
            }
            if (eachStart) {
                eachStart();
            }
        });
        EXPECT_EQ(runner.failedStep, -1) << "a step never came true";
    }

    void X(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), "/usr/bin/xdotool");
        EXPECT_EQ(display.Run(arguments), 0) << arguments[1];
    }
    void PointAt(int x, int y) {
        X({"mousemove", "--window", window, std::to_string(x), std::to_string(y)});
    }
    static StepRunner::Step Frames(int count) {
        return [count, seen = 0]() mutable { return ++seen > count; };
    }
    // Pure red pixels on the X server's screen (the game's window with the GUI over it).
    int RedPixelsOnScreen() {
        const std::string shot = (tree.root() / "screen.png").string();
        EXPECT_EQ(display.Run({"/usr/bin/import", "-window", "root", shot}), 0);
        int width = 0;
        int height = 0;
        int channels = 0;
        unsigned char* pixels = stbi_load(shot.c_str(), &width, &height, &channels, 3);
        if (pixels == nullptr) {
            ADD_FAILURE() << "no screenshot";
            return -1;
        }
        int red = 0;
        for (int i = 0; i < width * height * 3; i += 3) {
            red += pixels[i] == 255 && pixels[i + 1] == 0 && pixels[i + 2] == 0 ? 1 : 0;
        }
        stbi_image_free(pixels);
        return red;
    }
    std::string SettingsFile(const std::string& name) const {
        return ReadFileText(tree.perUserData() / "EngineSettingFiles" / name);
    }

    PrivateDisplay display;
    GameTree tree;
    Program program{GameComposition()};
    Engine& engine = Engine::Instance();
    StepRunner runner{kStepFrameLimit};
    std::string window;
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
    const auto pressF2 = [&] {
        X({"keydown", "F2"});
        X({"keyup", "F2"});
    };
    auto& steps = runner.steps;
    steps.push_back(Frames(3));
    // Drag the item shown fourth onto the one shown second.
    steps.push_back([&] {
        PointAt(items[3].CentreX(), items[3].CentreY());
        X({"mousedown", "1"});
        return true;
    });
    steps.push_back(Frames(3));
    steps.push_back([&] {
        PointAt(items[3].CentreX() + 6, items[3].CentreY() - 6);
        return true;
    });
    steps.push_back(Frames(3));
    steps.push_back([&] {
        PointAt(items[1].CentreX(), items[1].CentreY());
        return true;
    });
    steps.push_back(Frames(3));
    steps.push_back([&] {
        X({"mouseup", "1"});
        return true;
    });
    steps.push_back(Frames(3));
    steps.push_back([&] {
        EXPECT_EQ(sectionOrders["TestOrder"], (std::vector<int>{0, 3, 1, 2}));
        pressF2();
        return true;
    });
    steps.push_back(hidden);
    steps.push_back([&] {
        pressF2();
        return true;
    });
    steps.push_back(visible);
    // Paused (through the real checkbox), the toggle key is not delivered.
    steps.push_back([&] {
        PointAt(pause.CentreX(), pause.CentreY());
        X({"click", "1"});
        return true;
    });
    steps.push_back([&] { return engine.paused; });
    steps.push_back([&] {
        pressF2();
        return true;
    });
    steps.push_back(Frames(30));
    steps.push_back([&] {
        EXPECT_TRUE(visible()) << "toggled while paused";
        return true;
    });
    CaptureStdout();
    Run([&] {
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
    const auto clickAt = [&](const Rect& rect) {
        PointAt(rect.CentreX(), rect.CentreY());
        X({"click", "1"});
    };
    auto& steps = runner.steps;
    // This GUI library version sees keys by their held state once per frame, so every key is
    // held over a few frames; typed characters are queued and need no such care.
    const auto holdKey = [&](const char* key) {
        steps.push_back([&, key] {
            X({"keydown", key});
            return true;
        });
        steps.push_back(Frames(2));
        steps.push_back([&, key] {
            X({"keyup", key});
            return true;
        });
        steps.push_back(Frames(1));
    };
    const auto typeInto = [&](const Rect& rect, const std::string& text, int erase) {
        steps.push_back([&] {
            clickAt(rect);
            return true;
        });
        steps.push_back(Frames(2));
        holdKey("End");
        for (int i = 0; i < erase; ++i) {
            holdKey("BackSpace");
        }
        steps.push_back([&, text] {
            X({"type", text});
            return true;
        });
        steps.push_back(Frames(2));
        holdKey("Return");
    };
    steps.push_back(Frames(3));
    // The box shows 1 for the loaded "true"; typing 1 over it writes the member as "1".
    typeInto(runOnStart, "1", 3);
    steps.push_back([&] { return SettingsFile("Tools.json").find("\"1\"") != std::string::npos; });
    steps.push_back([&] {
        const json saved = json::parse(SettingsFile("Tools.json"));
        EXPECT_EQ(saved.at("runOnStart"), "1") << "written as a string";
        EXPECT_FALSE(engine.paused) << "takes effect at the next restart";
        return true;
    });
    typeInto(settingsPath, "Fresh.json", 12);
    steps.push_back([&] { return !SettingsFile("Fresh.json").empty(); });
    steps.push_back([&] {
        const json fresh = json::parse(SettingsFile("Fresh.json"));
        EXPECT_EQ(fresh, (json{{"defaultEntityFile", ""}, {"runOnStart", "0"}}));
        EXPECT_EQ(ReadFileText(tree.perUserData() / "EngineSettingFiles" / "SettingsRouter.txt"),
                  "Fresh.json");
        EXPECT_EQ(EngineSettingsSystem::Instance().settingsJson.at("runOnStart"), "0");
        EXPECT_GT(RedPixelsOnScreen(), 100) << "text boxes are outlined";
        clickAt(togglesHeader);
        return true;
    });
    steps.push_back(Frames(3));
    steps.push_back([&] {
        clickAt(textboxesBox);
        return true;
    });
    steps.push_back([&] { return !showTextboxes; });
    steps.push_back(Frames(3));
    steps.push_back([&] {
        EXPECT_EQ(RedPixelsOnScreen(), 0) << "no outline anywhere";
        clickAt(collidersBox);
        return true;
    });
    steps.push_back([&] { return !Collider::showDebugColliders; });
    steps.push_back([&] {
        sectionOrders["RearrangeToggles"] = {1, 0};
        clickAt(restart);
        return true;
    });
    // The next pass runs on the switched settings file: paused, so the runner's frames still
    // count but no input is delivered.
    steps.push_back([&] { return passes == 2; });
    steps.push_back(Frames(3));
    steps.push_back([&] {
        EXPECT_TRUE(engine.paused) << "the switched settings start paused";
        EXPECT_TRUE(restartedPause->checked) << "the rebuilt Pause box shows it";
        return true;
    });
    Run([&] {
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
    EXPECT_FALSE(restartedCollidersChecked) << "the toggle kept its state over the restart";
    EXPECT_EQ(sectionOrders["RearrangeToggles"], (std::vector<int>{1, 0}));
}

}  // namespace
