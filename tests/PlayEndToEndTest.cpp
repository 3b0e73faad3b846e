// The shipped game played end to end as a person would: the real `game` executable on an X
// server of the test's own, driven with xdotool, watched through screenshots, the trace log, its
// console and its exit status. The screenshots are kept under build/e2e-screenshots/ for a person
// to look at. The first level is replaced by a small arena built from the shipped player, so a
// scripted player can meet its one enemy.

#include <gtest/gtest.h>

#include <stb_image.h>

#include <algorithm>
#include <chrono>
#include <fstream>
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
#include "support/WaveRecording.h"

namespace {

namespace fs = std::filesystem;
using json = nlohmann::json;
using namespace std::chrono_literals;

constexpr const char* kSwitching = "SceneSystem::ChangeScene - Switching to scene: ";
const fs::path kShots = fs::path(TARNWICK_SOURCE_DIR) / "build" / "e2e-screenshots";

struct Screenshot {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;

    // Pixels that differ noticeably between the two shots inside the rectangle.
    int Differences(const Screenshot& other, int x0, int y0, int x1, int y1) const {
        int count = 0;
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3;
                const int d = std::abs(rgb[i] - other.rgb[i]) + std::abs(rgb[i + 1] - other.rgb[i + 1]) +
                              std::abs(rgb[i + 2] - other.rgb[i + 2]);
                count += d > 30 ? 1 : 0;
            }
        }
        return count;
    }
};

class PlayEndToEndTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(display.name().empty()) << "no private X server";
        fs::create_directories(kShots);
        fs::create_directories(game);
        fs::copy(fs::path(TARNWICK_SOURCE_DIR) / "Data", game / "Data",
                 fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        fs::copy(fs::path(TARNWICK_SOURCE_DIR) / "Shaders", game / "Shaders",
                 fs::copy_options::recursive);
        fs::create_directory_symlink(fs::path(TARNWICK_SOURCE_DIR) / "Assets", game / "Assets");
        fs::remove(game / "Data" / "Trace_Log.txt");
    }

    void TearDown() override {
        if (child && child->Running()) {
            child->Terminate(5s);
        }
    }

    // The first level keeps its walls and floor but holds only the shipped player, on the open
    // bottom row, and one enemy `enemyDistance` to its right on that row running at `enemySpeed`.
    // The shipped second level follows it.
    void WriteArena(double enemyDistance, double enemySpeed) const {
        const json shipped = json::parse(ReadFileText(game / "Data" / "Scenes" / "MainScene.json"));
        // The second row from the bottom of the 30 x 17 map of 128-unit cells is open.
        const double rowY = 128.0 - 1088.0;
        const double playerX = 2 * 128.0 - 1920.0;
        json player = shipped.at("Player");
        player["Transform"]["Transform"]["position"] = {{"x", playerX}, {"y", rowY}};
        json enemy = shipped.at("Enemy0");
        enemy["Transform"]["Transform"]["position"] = {{"x", playerX + enemyDistance}, {"y", rowY}};
        enemy["BasicEnemyBehavior"]["BasicEnemyBehavior"]["moveSpeed"] = enemySpeed;
        enemy["BasicEnemyBehavior"]["BasicEnemyBehavior"]["health"] = 1.0;
        const json arena = {{"Player", player},
                            {"Enemy0", enemy},
                            {"BorderWalls", shipped.at("BorderWalls")},
                            {"Level", shipped.at("Level")},
                            {"Lamp", shipped.at("Lamp3")}};
        std::ofstream(game / "Data" / "Scenes" / "MainScene.json") << arena.dump(2);
    }

    // The game's sound goes to a wave file (OpenAL Soft's wave driver), readable once it exits.
    void Start() {
        WaveRecording::WriteDriverConfig(temp.path() / "alsoft.conf", temp.path() / "sound.wav");
        child = std::make_unique<ChildProcess>(ChildProcess::Options{
            {TARNWICK_GAME_EXECUTABLE},
            game,
            {{"XDG_DATA_HOME", (temp.path() / "xdg").string()},
             {"DISPLAY", display.name()},
             {"ALSOFT_CONF", (temp.path() / "alsoft.conf").string()}},
            temp.path() / "out.txt",
            temp.path() / "err.txt"});
        ASSERT_TRUE(WaitUntil(
            [&] {
                return display.Run({"/usr/bin/xdotool", "search", "--name", "^Tarnwick$"},
                                   &window) == 0;
            },
            20s));
        window = window.substr(0, window.find('\n'));
        ASSERT_TRUE(WaitUntil([&] { return Scene() == "MenuScene.json"; }, 20s));
        X({"windowfocus", "--sync", window});
        std::this_thread::sleep_for(500ms);
    }

    void X(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), "/usr/bin/xdotool");
        EXPECT_EQ(display.Run(arguments), 0) << arguments[1];
    }
    void PointAt(int x, int y) {
        X({"mousemove", "--window", window, std::to_string(x), std::to_string(y)});
    }
    // A press held long enough for the game to see it held (it polls once per frame).
    void Press(const std::string& what, bool mouse = false) {
        X({mouse ? "mousedown" : "keydown", what});
        std::this_thread::sleep_for(150ms);
        X({mouse ? "mouseup" : "keyup", what});
    }

    std::string Trace() const {
        return ReadFileText(temp.path() / "xdg" / "OrreryTestDirectory" / "Data" / "Trace_Log.txt");
    }
    // The scene the game switched to last.
    std::string Scene() const {
        std::string last;
        for (const std::string& line : TraceMessages(temp.path() / "xdg" / "OrreryTestDirectory" /
                                                     "Data" / "Trace_Log.txt")) {
            if (line.starts_with(kSwitching)) {
                last = line.substr(std::string(kSwitching).size());
            }
        }
        return last;
    }
    bool WaitForScene(const std::string& scene) {
        return WaitUntil([&] { return Scene() == scene; }, 30s);
    }

    Screenshot Shot(const std::string& name) {
        const fs::path file = kShots / (std::string(::testing::UnitTest::GetInstance()
                                                        ->current_test_info()
                                                        ->name()) +
                                        "-" + name + ".png");
        EXPECT_EQ(display.Run({"/usr/bin/import", "-window", window, file.string()}), 0);
        Screenshot shot;
        int channels = 0;
        unsigned char* pixels =
            stbi_load(file.string().c_str(), &shot.width, &shot.height, &channels, 3);
        if (pixels == nullptr) {
            ADD_FAILURE() << "no screenshot " << file;
            return shot;
        }
        shot.rgb.assign(pixels, pixels + static_cast<std::size_t>(shot.width) * shot.height * 3);
        stbi_image_free(pixels);
        return shot;
    }

    TempDirectory temp;
    fs::path game = temp.path() / "game";
    PrivateDisplay display;
    std::unique_ptr<ChildProcess> child;
    std::string window;
};

TEST_F(PlayEndToEndTest, MenuStartsTheLevelWhereThePlayerMovesFiresAndClearsItToTheNextLevel) {
    WriteArena(1500.0, 20.0);
    Start();
    // The game window is 1080 x 720 and the Start button sits at its centre.
    const Screenshot menu = Shot("1-menu");
    PointAt(540, 360);
    ASSERT_TRUE(WaitUntil([&] { return ReadFileText(temp.path() / "out.txt").find("OnHover") !=
                                       std::string::npos; },
                          10s));
    std::this_thread::sleep_for(200ms);
    const Screenshot hovered = Shot("2-start-hovered");
    EXPECT_GT(hovered.Differences(menu, 440, 320, 640, 400), 500) << "the Start button lights up";
    EXPECT_LT(hovered.Differences(menu, 0, 600, 300, 720), 50) << "the rest stays as it was";

    Press("1", true);
    ASSERT_TRUE(WaitForScene("MainScene.json"));
    std::this_thread::sleep_for(700ms);
    const Screenshot level = Shot("3-level");
    EXPECT_GT(level.Differences(menu, 300, 100, 700, 600), 20000) << "the level replaced the menu";

    // The pistol, held toward the enemy on the right until the level is cleared.
    PointAt(900, 360);
    X({"mousedown", "1"});
    const bool cleared = WaitForScene("Level2Scene.json");
    X({"mouseup", "1"});
    ASSERT_TRUE(cleared) << "the last enemy's death opens the next level";
    std::this_thread::sleep_for(700ms);
    // Invincible from here on, so the checks below are not cut short by the level's enemies.
    X({"keydown", "shift"});
    Press("i");
    X({"keyup", "shift"});
    const Screenshot next = Shot("4-next-level");
    EXPECT_GT(next.Differences(level, 0, 0, 760, 720), 20000) << "another level";

    // Moving: the camera follows the player, so the level shifts on screen.
    X({"keydown", "w"});
    std::this_thread::sleep_for(400ms);
    X({"keyup", "w"});
    std::this_thread::sleep_for(300ms);
    const Screenshot moved = Shot("5-moved");
    EXPECT_GT(moved.Differences(next, 0, 0, 760, 720), 2000) << "the view followed the player";

    // Every weapon key changes the shot; the trace shows the trigger being pulled.
    for (const char* key : {"2", "3", "4", "5", "6"}) {
        Press(key);
        Press("1", true);
    }
    EXPECT_GE(CountOccurrences(Trace(), "Input message sent: InputType::CLICK, 1"), 6u);
    X({"mousedown", "1"});
    std::this_thread::sleep_for(200ms);
    const Screenshot firing = Shot("6-firing");
    X({"mouseup", "1"});
    EXPECT_GT(firing.Differences(moved, 540, 200, 1080, 520), 50) << "shots on screen";

    // Closed through its window like any program; the shots were heard by the player.
    ASSERT_EQ(display.Run({TARNWICK_CLOSE_WINDOW, "Tarnwick", std::to_string(child->Pid())}), 0);
    EXPECT_EQ(child->Wait(20s), 0);
    EXPECT_GT(WaveRecording(temp.path() / "sound.wav").Peak(), 0.05f) << "the shots are audible";
}

TEST_F(PlayEndToEndTest, EnemysTouchLosesTheMenuButtonReturnsAndQuitEndsTheProgramCleanly) {
    WriteArena(400.0, 600.0);
    Start();
    PointAt(540, 360);
    std::this_thread::sleep_for(300ms);
    Press("1", true);
    ASSERT_TRUE(WaitForScene("MainScene.json"));
    ASSERT_TRUE(WaitForScene("LoseScene.json")) << "the enemy reached the player";
    std::this_thread::sleep_for(500ms);
    Shot("1-lost");
    // The lose scene's Menu button sits where the menu's Start button does.
    PointAt(540, 360);
    std::this_thread::sleep_for(300ms);
    Press("1", true);
    ASSERT_TRUE(WaitForScene("MenuScene.json"));
    // Quit, below Start: world (0, -400) is window pixel (540, 493).
    PointAt(540, 493);
    std::this_thread::sleep_for(300ms);
    Press("1", true);
    EXPECT_EQ(child->Wait(20s), 0) << ReadFileText(temp.path() / "err.txt");
    // The run's data was mirrored back into the working tree, ending with the exit lines.
    const std::vector<std::string> trace = TraceMessages(game / "Data" / "Trace_Log.txt");
    ASSERT_GE(trace.size(), 3u);
    // The log is mirrored during the exit, after its "Try" line.
    EXPECT_EQ(trace.back(), "Try");
    EXPECT_NE(std::find(trace.begin(), trace.end(), std::string(kSwitching) + "LoseScene.json"),
              trace.end());
}

}  // namespace
