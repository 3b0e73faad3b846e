// The real game executable with sound, on a throw-away data tree whose start scene holds a player
// with a Weapon, an AudioSource and the AudioListener: a shot fired with the real mouse button is
// heard in what the game's sound device put out (OpenAL Soft's wave driver records it), and the
// game runs just the same with the null output or with no output device at all.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "support/GameRun.h"
#include "support/SceneJson.h"
#include "support/TempDirectory.h"
#include "support/TraceMessages.h"
#include "support/WaveRecording.h"

namespace {

using namespace std::chrono_literals;
using nlohmann::json;

constexpr const char* kNoOutputNotice = "no audio output could be opened";
constexpr auto kRecordingLimit = 20s;
// Play without a shot, as the device counts it, before the trigger is pulled.
constexpr double kQuietSeconds = 1.5;
// How long the trigger is held.
constexpr auto kTriggerHold = 300ms;
// How long B (bound, used by nothing) is held while the game is watched for writing.
constexpr auto kWatchedHold = 1500ms;
// The pistol clip peaks at about 0.69, and the listener stands at the shot: full volume.
constexpr float kShotPeak = 0.5f;

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
        run.CopyStockTree();
        run.CopyShippedFiles({"DefaultInputMappings.txt", "PistolBullet.json"});
        run.WriteStartSettings("Scenes/Arena.json", "1");
    }

    void WriteScene(const json& sound, bool playOnStart) const {
        run.WriteFile("Data/Scenes/Arena.json", ArenaScene(sound, playOnStart));
    }

    GameRun run;
};

TEST_F(GameAudioTest, AShotFiredWithTheMouseIsHeardByThePlayersListener) {
    WriteScene({{"soundClip", "pistol_shot.ogg"},
                {"strength", 1000000.0},
                {"maxVolume", 1.0},
                {"isLooping", 0},
                {"isContinuous", 0}},
               false);
    run.RecordSound();
    ASSERT_TRUE(run.StartOn("Arena.json"));
    run.window().PointAt(900, 150);
    // A stretch of play without a shot: the recording must stay silent through it. The recording
    // grows as the device mixes, in step with the clock, and is readable while it grows.
    ASSERT_TRUE(WaitUntil([&] { return WaveRecording(run.SoundFile()).Seconds() > kQuietSeconds; },
                          kRecordingLimit))
        << "the game's device records nothing";
    run.PressButton(DisplayWindow::kLeftButton, "CLICK", kTriggerHold);
    EXPECT_TRUE(WaitUntil([&] { return WaveRecording(run.SoundFile()).Peak() > kShotPeak; },
                          kRecordingLimit))
        << "the shot never reached the device";
    ASSERT_TRUE(run.CloseWindow());
    EXPECT_EQ(run.Wait(), 0);

    const WaveRecording heard(run.SoundFile());
    ASSERT_GT(heard.Seconds(), kQuietSeconds) << "the game recorded too little";
    const std::optional<double> first = heard.FirstSound();
    ASSERT_TRUE(first) << "the shot was not heard";
    EXPECT_GT(*first, 0.9) << "something was heard before the trigger was pulled";
    EXPECT_GT(heard.Peak(), kShotPeak);
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
    // Sounds that keep every part of the audio code busy each frame: a looping source that
    // follows the player, heard by the player's listener.
    WriteScene({{"soundClip", "sample_beep.ogg"},
                {"strength", 1000000.0},
                {"isLooping", 1},
                {"isContinuous", 1}},
               true);
    GameRun::Environment environment;  // the null driver, GameRun's own choice
    TempDirectory configs;
    if (GetParam().noDevice) {
        // The only driver allowed writes to a folder that does not exist, so no device opens.
        WaveRecording::WriteDriverConfig(configs.path() / "no-device.conf",
                                         configs.path() / "missing" / "out.wav");
        environment = {{"ALSOFT_CONF", (configs.path() / "no-device.conf").string()},
                       {"ALSOFT_DRIVERS", std::nullopt}};
    }
    ASSERT_TRUE(run.StartOn("Arena.json", environment));

    // B is bound to an input that nothing uses. A press and release the game has seen show that
    // it has played its first frames; the next press is held down while the game is watched, and
    // its release, once seen, shows that the game played all through the hold.
    run.PressKey("b", "BEEP");
    const std::string outputBefore = run.Output() + run.Errors();
    const std::vector<std::string> logBefore = run.TraceLines();
    run.PressKey("b", "BEEP", kWatchedHold);
    EXPECT_EQ(run.Output() + run.Errors(), outputBefore) << "the running game keeps writing";
    const std::vector<std::string> logAfter = run.TraceLines();
    ASSERT_GE(logAfter.size(), logBefore.size());
    EXPECT_TRUE(std::equal(logBefore.begin(), logBefore.end(), logAfter.begin()));
    // What the game logs of each input message it is sent.
    constexpr const char* kReceived = "Engine Received Message: InputMessage";
    EXPECT_EQ(std::vector<std::string>(logAfter.begin() + logBefore.size(), logAfter.end()),
              (std::vector<std::string>{InputSentTrace("BEEP", true), kReceived,
                                        InputSentTrace("BEEP", false), kReceived}))
        << "the running game logs more than the input it got";
    ASSERT_TRUE(run.CloseWindow());
    EXPECT_EQ(run.Wait(), 0);

    const std::string said = run.Output() + run.Errors();
    EXPECT_EQ(CountOccurrences(said, kNoOutputNotice), GetParam().notices) << said;
    EXPECT_EQ(CountOccurrences(said, "AL lib"), 0u) << said;
    EXPECT_EQ(CountOccurrences(said, "ALSA lib"), 0u) << said;
}

INSTANTIATE_TEST_SUITE_P(Outputs, GameWithoutAudioTest,
                         ::testing::Values(OutputCase{"NullDriver", false, 0},
                                           OutputCase{"NoDevice", true, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
