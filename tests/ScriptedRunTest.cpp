// One whole session of the real `game` executable, scripted as a person would have it: start,
// play the first level (the menu's Start button, move, shoot), open the editor and save an
// entity with "Save To:", restart from the Engine Settings window and quit through the window.
// The run must end cleanly: status 0 and nothing on standard error. In the sanitized build
// (scripts/test --sanitize) this is the leak check of a whole run, since LeakSanitizer reports
// at the exit of the game. Screenshots of each step are kept under build/e2e-screenshots/.

#include <gtest/gtest.h>

#include <stb_image.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <nlohmann/json.hpp>

#include "support/ChildProcess.h"
#include "support/PrivateDisplay.h"
#include "support/TempDirectory.h"
#include "support/TraceMessages.h"

namespace {

namespace fs = std::filesystem;
using json = nlohmann::json;
using namespace std::chrono_literals;

constexpr const char* kSwitching = "SceneSystem::ChangeScene - Switching to scene: ";
constexpr const char* kClick = "Input message sent: InputType::CLICK, 1";
constexpr const char* kSavedName = "ScriptedRun.json";
const fs::path kShots = fs::path(TARNWICK_SOURCE_DIR) / "build" / "e2e-screenshots";

// Window pixels of the widgets used, in the 1080 x 720 game window. The tool windows open at
// fixed places (the Hierarchy and the Inspector on the left, Engine Settings on the right) and
// ImGui lays their rows out one line apart.
struct Point {
    int x;
    int y;
};
constexpr Point kStartButton{540, 360};
constexpr Point kRootHeader{150, 53};
constexpr Point kSceneSelect{57, 76};
constexpr Point kSaveToBox{185, 391};
constexpr Point kRestartButton{830, 426};

std::vector<std::string> Keys(const json& object) {
    std::vector<std::string> keys;
    for (const auto& [key, value] : object.items()) {
        keys.push_back(key);
    }
    return keys;
}

class ScriptedRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(display.name().empty()) << "no private X server";
        fs::create_directories(kShots);
        fs::create_directories(game);
        fs::copy(fs::path(TARNWICK_SOURCE_DIR) / "Data", game / "Data",
                 fs::copy_options::recursive);
        fs::copy(fs::path(TARNWICK_SOURCE_DIR) / "Shaders", game / "Shaders",
                 fs::copy_options::recursive);
        fs::create_directory_symlink(fs::path(TARNWICK_SOURCE_DIR) / "Assets", game / "Assets");
        fs::remove(game / "Data" / "Trace_Log.txt");
        fs::remove(game / "Data" / kSavedName);
    }

    void TearDown() override {
        if (child && child->Running()) {
            child->Terminate(5s);
        }
    }

    void Start() {
        child = std::make_unique<ChildProcess>(
            ChildProcess::Options{{TARNWICK_GAME_EXECUTABLE},
                                  game,
                                  {{"XDG_DATA_HOME", (temp.path() / "xdg").string()},
                                   {"DISPLAY", display.name()},
                                   {"ALSOFT_DRIVERS", "null"}},
                                  temp.path() / "out.txt",
                                  temp.path() / "err.txt"});
        ASSERT_TRUE(WaitUntil(
            [&] {
                return display.Run({"/usr/bin/xdotool", "search", "--name", "^Tarnwick$"},
                                   &window) == 0;
            },
            30s));
        window = window.substr(0, window.find('\n'));
        ASSERT_TRUE(WaitForScene("MenuScene.json")) << Errors();
        X({"windowfocus", "--sync", window});
        std::this_thread::sleep_for(500ms);
    }

    void X(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), "/usr/bin/xdotool");
        EXPECT_EQ(display.Run(arguments), 0) << arguments[1];
    }
    void PointAt(Point at) {
        X({"mousemove", "--window", window, std::to_string(at.x), std::to_string(at.y)});
    }
    // Held long enough for the game to see the press and the release in different frames.
    void Press(const std::string& what, bool mouse = false) {
        X({mouse ? "mousedown" : "keydown", what});
        std::this_thread::sleep_for(250ms);
        X({mouse ? "mouseup" : "keyup", what});
        std::this_thread::sleep_for(250ms);
    }
    void Click(Point at) {
        PointAt(at);
        std::this_thread::sleep_for(250ms);
        Press("1", true);
    }

    fs::path PerUserData() const { return temp.path() / "xdg" / "OrreryTestDirectory" / "Data"; }
    std::string Trace() const { return ReadFileText(PerUserData() / "Trace_Log.txt"); }
    std::string Errors() const { return ReadFileText(temp.path() / "err.txt"); }
    // The scene the game switched to last.
    std::string Scene() const {
        std::string last;
        for (const std::string& line : TraceMessages(PerUserData() / "Trace_Log.txt")) {
            if (line.starts_with(kSwitching)) {
                last = line.substr(std::string(kSwitching).size());
            }
        }
        return last;
    }
    bool WaitForScene(const std::string& scene) {
        return WaitUntil([&] { return Scene() == scene; }, 60s);
    }

    // The window's pixels now (RGB), also kept as a file for a person to look at.
    std::vector<unsigned char> Shot(const std::string& name) {
        const fs::path file = kShots / ("ScriptedRun-" + name + ".png");
        EXPECT_EQ(display.Run({"/usr/bin/import", "-window", window, file.string()}), 0);
        int width = 0;
        int height = 0;
        int channels = 0;
        unsigned char* pixels = stbi_load(file.string().c_str(), &width, &height, &channels, 3);
        if (pixels == nullptr) {
            ADD_FAILURE() << "no screenshot " << file;
            return {};
        }
        std::vector<unsigned char> rgb(pixels,
                                       pixels + static_cast<std::size_t>(width) * height * 3);
        stbi_image_free(pixels);
        return rgb;
    }

    TempDirectory temp;
    fs::path game = temp.path() / "game";
    PrivateDisplay display;
    std::unique_ptr<ChildProcess> child;
    std::string window;
};

TEST_F(ScriptedRunTest, PlayEditSaveRestartAndQuitEndCleanly) {
    Start();
    const json level = json::parse(ReadFileText(game / "Data" / "Scenes" / "MainScene.json"));

    // Play: the menu's Start button opens the first level; invincible, so the level's enemies
    // cannot end it early; move and shoot.
    PointAt(kStartButton);
    ASSERT_TRUE(WaitUntil(
        [&] { return ReadFileText(temp.path() / "out.txt").find("OnHover") != std::string::npos; },
        20s))
        << "the Start button sees the pointer";
    Click(kStartButton);
    ASSERT_TRUE(WaitForScene("MainScene.json")) << Errors();
    X({"keydown", "shift"});
    Press("i");
    X({"keyup", "shift"});
    std::this_thread::sleep_for(500ms);
    const std::vector<unsigned char> before = Shot("1-level");
    X({"keydown", "d"});
    std::this_thread::sleep_for(600ms);
    X({"keyup", "d"});
    std::this_thread::sleep_for(300ms);
    EXPECT_NE(Shot("2-moved"), before) << "the view follows the moving player";
    const std::size_t clicks = CountOccurrences(Trace(), kClick);
    PointAt({900, 360});
    for (int shot = 0; shot < 3; ++shot) {
        Press("1", true);
    }
    EXPECT_GE(CountOccurrences(Trace(), kClick), clicks + 3) << "three shots fired";
    Shot("3-shot");

    // The editor: F1 hides and shows it; open the root's row, select the level's entity (the
    // root's first child) and save it under a typed name.
    Press("F1");
    Press("F1");
    Click(kRootHeader);
    Click(kSceneSelect);
    Shot("4-selected");
    Click(kSaveToBox);
    X({"type", "--delay", "50", kSavedName});
    Press("Return");
    ASSERT_TRUE(WaitUntil([&] { return fs::exists(PerUserData() / kSavedName); }, 10s))
        << "the selected entity was saved";
    Shot("5-saved");
    // What was saved is the level: the scene's entities are its children.
    const json saved = json::parse(ReadFileText(PerUserData() / kSavedName));
    EXPECT_EQ(Keys(saved), Keys(level)) << saved.dump(2);

    // Restart from the Engine Settings window: the engine shuts down and starts again, with a
    // new trace log, on the start scene.
    Click(kRestartButton);
    ASSERT_TRUE(WaitForScene("MenuScene.json")) << Errors();
    EXPECT_EQ(Trace().find(std::string(kSwitching) + "MainScene.json"), std::string::npos);
    Shot("6-restarted");

    // Quit through the window, as a window manager asks.
    ASSERT_EQ(display.Run({TARNWICK_CLOSE_WINDOW, "Tarnwick", std::to_string(child->Pid())}), 0);
    EXPECT_EQ(child->Wait(60s), 0) << Errors();
    EXPECT_EQ(Errors(), "") << "nothing on standard error: no sanitizer report, no failure";
    EXPECT_TRUE(fs::exists(game / "Data" / kSavedName)) << "the save was mirrored back";
}

}  // namespace
