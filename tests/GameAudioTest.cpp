// The real game executable with sound, on a throw-away data tree whose start scene holds a player
// with a Weapon, an AudioSource and the AudioListener: a shot fired with the real mouse button is
// heard in what the game's sound device put out (OpenAL Soft's wave driver records it), and the
// game runs just the same with the null output or with no output device at all.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <thread>

#include <nlohmann/json.hpp>

#include "gameplay/Weapon.h"
#include "support/ChildProcess.h"
#include "support/PrivateDisplay.h"
#include "support/SceneJson.h"
#include "support/StockData.h"
#include "support/TempDirectory.h"
#include "support/TraceMessages.h"
#include "support/WaveRecording.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using nlohmann::json;

constexpr const char* kSceneSwitch = "SceneSystem::ChangeScene - Switching to scene: Arena.json";
constexpr const char* kNoOutputNotice = "no audio output could be opened";

// A player who hears with its own ears and plays `sound` from its AudioSource.
std::string ArenaScene(const json& sound, bool playOnStart) {
    json player = PlayerJson(0, 0, 200, 600.0);
    player["AudioListener"] = EntryJson("AudioListener", nullptr);
    player["AudioSource"] =
        EntryJson("AudioSource", {{"bufferedSound", sound}, {"playOnStart", playOnStart ? 1 : 0}});
    player["SoundEffect"] = EntryJson("SoundEffect", {{"sound name", "button_click.ogg"}});
    return json{{"Player", player}}.dump(2);
}

class GameAudioTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(game / "Data" / "Scenes");
        fs::create_directories(game / "Shaders");
        CopyStockData(game);
        const fs::path shipped = fs::path(TARNWICK_SOURCE_DIR) / "Data";
        for (const char* file : {"DefaultInputMappings.txt", "PistolBullet.json"}) {
            fs::copy_file(shipped / file, game / "Data" / file);
        }
        temp.WriteFile("game/Data/EngineSettingFiles/SettingsRouter.txt", "Play.json");
        temp.WriteFile("game/Data/EngineSettingFiles/Play.json",
                       R"({"defaultEntityFile": "Scenes/Arena.json", "runOnStart": "1"})");
    }

    void WriteScene(const json& sound, bool playOnStart) const {
        temp.WriteFile("game/Data/Scenes/Arena.json", ArenaScene(sound, playOnStart));
    }

    ChildProcess::Options Options(std::map<std::string, std::optional<std::string>> env) const {
        env.emplace("XDG_DATA_HOME", (temp.path() / "xdg").string());
        return {{TARNWICK_GAME_EXECUTABLE}, game, env, output(), errors()};
    }

    fs::path output() const { return temp.path() / "out.txt"; }
    fs::path errors() const { return temp.path() / "err.txt"; }
    fs::path traceLog() const {
        return temp.path() / "xdg" / "OrreryTestDirectory" / "Data" / "Trace_Log.txt";
    }

    bool WaitForStartScene() const {
        return WaitUntil(
            [&] { return ReadFileText(traceLog()).find(kSceneSwitch) != std::string::npos; }, 30s);
    }

    // Asks the game to close as a window manager would, and returns its exit status.
    static std::optional<int> Close(ChildProcess& child, const std::string& display) {
        const bool asked = WaitUntil(
            [&] {
                ChildProcess closer(
                    {{TARNWICK_CLOSE_WINDOW, "Tarnwick", std::to_string(child.Pid())},
                     {},
                     {{"DISPLAY", display}},
                     {},
                     {}});
                return closer.Wait(10s) == 0;
            },
            20s);
        if (!asked) {
            return std::nullopt;
        }
        return child.Wait(20s);
    }

    TempDirectory temp;
    fs::path game = temp.path() / "game";
};

TEST_F(GameAudioTest, AShotFiredWithTheMouseIsHeardByThePlayersListener) {
    PrivateDisplay display;
    ASSERT_FALSE(display.name().empty()) << "no private X server";
    WriteScene({{"soundClip", "pistol_shot.ogg"},
                {"strength", 1000000.0},
                {"maxVolume", 1.0},
                {"isLooping", 0},
                {"isContinuous", 0}},
               false);
    const fs::path recording = temp.path() / "out.wav";
    WaveRecording::WriteDriverConfig(temp.path() / "alsoft.conf", recording);

    ChildProcess child(Options({{"DISPLAY", display.name()},
                                {"ALSOFT_CONF", (temp.path() / "alsoft.conf").string()},
                                {"ALSOFT_DRIVERS", std::nullopt}}));
    ASSERT_TRUE(WaitForStartScene()) << ReadFileText(traceLog()) << ReadFileText(errors());
    std::string window;
    ASSERT_EQ(
        display.Run({"/usr/bin/xdotool", "search", "--sync", "--name", "^Tarnwick$"}, &window), 0);
    window = window.substr(0, window.find('\n'));
    ASSERT_EQ(display.Run({"/usr/bin/xdotool", "windowfocus", "--sync", window}), 0);
    ASSERT_EQ(display.Run({"/usr/bin/xdotool", "mousemove", "--window", window, "900", "150"}), 0);
    // A stretch of play without a shot: the recording must stay silent through it.
    std::this_thread::sleep_for(1s);
    ASSERT_EQ(display.Run({"/usr/bin/xdotool", "mousedown", "1"}), 0);
    std::this_thread::sleep_for(300ms);
    ASSERT_EQ(display.Run({"/usr/bin/xdotool", "mouseup", "1"}), 0);
    std::this_thread::sleep_for(700ms);
    EXPECT_EQ(Close(child, display.name()), 0);

    const WaveRecording heard(recording);
    ASSERT_GT(heard.Seconds(), 1.5) << "the game recorded too little";
    const std::optional<double> first = heard.FirstSound();
    ASSERT_TRUE(first) << "the shot was not heard";
    EXPECT_GT(*first, 0.9) << "something was heard before the trigger was pulled";
    // The pistol clip peaks at about 0.69, and the listener stands at the shot: full volume.
    EXPECT_GT(heard.Peak(), 0.5f);
}

struct OutputCase {
    const char* name;
    // Otherwise OpenAL Soft's null driver: an output that takes everything and plays nothing.
    bool noDevice;
    // The one line said about the missing output, on standard output.
    std::size_t notices;
};

void PrintTo(const OutputCase& c, std::ostream* out) {
    *out << c.name;
}

class GameWithoutAudioTest : public GameAudioTest,
                             public ::testing::WithParamInterface<OutputCase> {};

TEST_P(GameWithoutAudioTest, TheGameRunsAndSaysAtMostOneLineAboutIt) {
    const char* display = std::getenv("DISPLAY");
    ASSERT_NE(display, nullptr) << "needs an X display (scripts/test gives one)";
    // Sounds that keep every part of the audio code busy each frame: a looping source that
    // follows the player, heard by the player's listener.
    WriteScene({{"soundClip", "sample_beep.ogg"},
                {"strength", 1000000.0},
                {"isLooping", 1},
                {"isContinuous", 1}},
               true);
    std::map<std::string, std::optional<std::string>> env{{"DISPLAY", display}};
    if (GetParam().noDevice) {
        // The only driver allowed writes to a folder that does not exist, so no device opens.
        WaveRecording::WriteDriverConfig(temp.path() / "no-device.conf",
                                         temp.path() / "missing" / "out.wav");
        env["ALSOFT_CONF"] = (temp.path() / "no-device.conf").string();
        env["ALSOFT_DRIVERS"] = std::nullopt;
    } else {
        env["ALSOFT_DRIVERS"] = "null";
        env["ALSOFT_CONF"] = std::nullopt;
    }

    ChildProcess child(Options(env));
    ASSERT_TRUE(WaitForStartScene()) << ReadFileText(traceLog()) << ReadFileText(errors());
    std::this_thread::sleep_for(500ms);
    const std::string outputBefore = ReadFileText(output()) + ReadFileText(errors());
    const std::string logBefore = ReadFileText(traceLog());
    std::this_thread::sleep_for(1500ms);
    EXPECT_EQ(ReadFileText(output()) + ReadFileText(errors()), outputBefore)
        << "the running game keeps writing";
    EXPECT_EQ(ReadFileText(traceLog()), logBefore) << "the running game keeps logging";
    EXPECT_EQ(Close(child, display), 0);

    const std::string said = ReadFileText(output()) + ReadFileText(errors());
    EXPECT_EQ(CountOccurrences(said, kNoOutputNotice), GetParam().notices) << said;
    EXPECT_EQ(CountOccurrences(said, "AL lib"), 0u) << said;
    EXPECT_EQ(CountOccurrences(said, "ALSA lib"), 0u) << said;
}

INSTANTIATE_TEST_SUITE_P(Outputs, GameWithoutAudioTest,
                         ::testing::Values(OutputCase{"NullDriver", false, 0},
                                           OutputCase{"NoDevice", true, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
