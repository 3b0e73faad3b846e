// The real game executable with sound, on a throw-away data tree whose start scene holds a player
// with a Weapon, an AudioSource and the AudioListener: a shot fired with the real mouse button is
// heard in what the game's sound device put out (OpenAL Soft's wave driver records it), each
// weapon is heard as its own clip from its first sample, a held flamethrower as one unbroken loop
// that ends with the trigger, a menu button's press as a click, and the game runs just the same
// with the null output or with no output device at all.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <filesystem>
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
constexpr int kLeft = DisplayWindow::kLeftButton;
// Silence this long parts one sound from the next in a recording.
constexpr double kSoundGap = 0.05;
// How long a tap of the trigger may take to be heard before it counts as lost in a cooldown.
constexpr auto kTapHeardLimit = 1500ms;
// A recording compared with a clip: the clip itself at any volume is near 1 (the output mixes it
// sample for sample), an unrelated sound near 0. The noise clips share their generator's seed, so
// the pistol's and the rifle's, filtered differently from the same noise, come to about 0.6.
// Compared over at most this long from the start, shorter than any weapon's cooldown.
constexpr double kSameSound = 0.98;
constexpr double kOtherSound = 0.75;
constexpr double kComparedSeconds = 0.2;
// Where the clip's first sample may lie around the first sound heard: a sample or two, as the
// first samples of a clip that fades in can be too quiet to count.
constexpr double kAlignmentSlack = 0.002;

struct WeaponSound {
    const char* key;
    const char* input;
    const char* clip;
};
constexpr WeaponSound kWeapons[] = {
    {"1", "_PISTOL", "pistol_shot.ogg"},
    {"2", "_RIFLE", "rifle_shot.ogg"},
    {"3", "_SNIPER", "sniper_shot.ogg"},
    {"4", "_SHOTGUN", "shotgun_blast.ogg"},
    {"5", "_FLAMETHROWER", "flamethrower_burst.ogg"},
    {"6", "_CURVEBALL", "curveball_throw.ogg"},
};
constexpr const char* kFlameClip = "flamethrower_burst.ogg";
constexpr const char* kSourceClip = "sample_beep.ogg";

// A player who hears with its own ears and plays `sound` from its AudioSource. Its Weapon names
// no clips, as the shipped scenes do, so each type plays its own.
std::string ArenaScene(const json& sound, bool playOnStart) {
    json player = PlayerJson(0, 0, 200, 600.0);
    for (const char* key : {"PISTOL_SOUND", "RIFLE_SOUND", "SNIPER_SOUND", "SHOTGUN_SOUND",
                            "FLAMETHROWER_SOUND", "CURVEBALL_SOUND", "CUSTOM_SOUND"}) {
        player["Weapon"]["Weapon"].erase(key);
    }
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
        run.WriteStartSettings("Scenes/Arena.json", "1", false);
    }

    void WriteScene(const json& sound, bool playOnStart) const {
        run.WriteFile("Data/Scenes/Arena.json", ArenaScene(sound, playOnStart));
    }

    // Shots sound through a source whose own clip no weapon type uses.
    void StartArenaWithWeapons() {
        run.CopyShippedFiles({"RifleBullet.json", "SniperBullet.json", "ShotgunBullet.json",
                              "FlamethrowerFlame.json", "CurveballBoomerang.json"});
        WriteScene({{"soundClip", kSourceClip},
                    {"strength", 1000000.0},
                    {"maxVolume", 1.0},
                    {"isLooping", 0},
                    {"isContinuous", 0}},
                   false);
        run.RecordSound();
        ASSERT_TRUE(run.StartOn("Arena.json"));
        run.window().PointAt(900, 150);
    }

    WaveRecording Heard() const { return WaveRecording(run.SoundFile()); }

    // The start of the first sound heard after `after` seconds of the recording.
    std::optional<double> SoundAfter(double after) const {
        for (double onset : Heard().Onsets(kSoundGap)) {
            if (onset > after) {
                return onset;
            }
        }
        return std::nullopt;
    }

    // Taps the trigger until a sound starts after `after`: a tap can fall within the cooldown of
    // the weapon fired before.
    std::optional<double> TapUntilHeard(double after) {
        std::optional<double> onset;
        WaitUntil(
            [&] {
                run.PressButton(kLeft, "CLICK");
                return WaitUntil([&] { return (onset = SoundAfter(after)).has_value(); },
                                 kTapHeardLimit);
            },
            kRecordingLimit);
        return onset;
    }

    // Waits until the sound that starts at `onset` has ended, and returns its end.
    double WaitForSoundEnd(double onset) const {
        WaitUntil(
            [&] {
                const WaveRecording heard = Heard();
                return heard.Seconds() > heard.SoundEnd(onset, kSoundGap) + 2 * kSoundGap;
            },
            kRecordingLimit);
        return Heard().SoundEnd(onset, kSoundGap);
    }

    WaveRecording Clip(const std::string& name) const {
        return WaveRecording(run.WorkingTree() / "Assets" / "Sounds" / name);
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

// Each weapon is tapped once, in turn, with silence between: each is heard as its own clip (and
// as no other weapon's), from its first sample, and the shots whole.
TEST_F(GameAudioTest, EachWeaponIsHeardAsItsOwnClipFromItsFirstSample) {
    StartArenaWithWeapons();
    std::vector<double> onsets;
    double after = 0.0;
    for (const WeaponSound& weapon : kWeapons) {
        run.PressKey(weapon.key, weapon.input);
        const std::optional<double> onset = TapUntilHeard(after);
        ASSERT_TRUE(onset) << weapon.input << " was never heard";
        onsets.push_back(*onset);
        after = WaitForSoundEnd(*onset);
    }
    ASSERT_TRUE(run.CloseWindow());
    EXPECT_EQ(run.Wait(), 0);

    const WaveRecording heard = Heard();
    for (std::size_t i = 0; i < onsets.size(); ++i) {
        const WeaponSound& weapon = kWeapons[i];
        SCOPED_TRACE(weapon.input);
        const WaveRecording clip = Clip(weapon.clip);
        const double clipSpan = *clip.LastSound() - *clip.FirstSound();
        const double heardSpan = heard.SoundEnd(onsets[i], kSoundGap) - onsets[i];
        // A tap holds the flamethrower for a few updates only: its loop is cut short.
        const double compared = std::min({kComparedSeconds, clipSpan, heardSpan});
        EXPECT_GT(heard.BestLikeness(clip, onsets[i], compared, kAlignmentSlack), kSameSound);
        for (const char* other :
             {kWeapons[0].clip, kWeapons[1].clip, kWeapons[2].clip, kWeapons[3].clip,
              kWeapons[4].clip, kWeapons[5].clip, kSourceClip}) {
            if (std::string(other) != weapon.clip) {
                EXPECT_LT(heard.BestLikeness(Clip(other), onsets[i], compared, kAlignmentSlack),
                          kOtherSound)
                    << "like " << other;
            }
        }
        if (std::string(weapon.clip) != kFlameClip) {
            EXPECT_GE(heardSpan, clipSpan - kAlignmentSlack) << "cut short";
        }
    }
}

// Held, the flamethrower is heard as one copy of its loop running on from the press, with no
// restart anywhere (a restart or a gap puts the recording out of step with the loop), and falls
// silent soon after the release.
TEST_F(GameAudioTest, AHeldFlamethrowerIsOneUnbrokenLoopThatEndsSoonAfterTheRelease) {
    constexpr double kHeldSeconds = 2.5;
    constexpr double kWindow = 0.05;
    // The release reaches the game within a frame or two, and the recording is read a little
    // behind the device's clock.
    constexpr double kEndAfterRelease = 0.25;
    StartArenaWithWeapons();
    run.PressKey("5", "_FLAMETHROWER");
    run.ButtonDown(kLeft, "CLICK");
    std::optional<double> onset;
    ASSERT_TRUE(WaitUntil([&] { return (onset = SoundAfter(0.0)).has_value(); }, kRecordingLimit))
        << "the flamethrower was never heard";
    ASSERT_TRUE(
        WaitUntil([&] { return Heard().Seconds() > *onset + kHeldSeconds; }, kRecordingLimit));
    run.ButtonUp(kLeft, "CLICK");
    const double released = Heard().Seconds();
    ASSERT_TRUE(WaitUntil([&] { return Heard().Seconds() > released + 4 * kEndAfterRelease; },
                          kRecordingLimit));
    ASSERT_TRUE(run.CloseWindow());
    EXPECT_EQ(run.Wait(), 0);

    const WaveRecording heard = Heard();
    EXPECT_EQ(heard.Onsets(kSoundGap), std::vector<double>{*onset}) << "one sound";
    const double end = heard.SoundEnd(*onset, kSoundGap);
    EXPECT_GT(end, released - kWindow) << "it stopped while still held";
    EXPECT_LT(end, released + kEndAfterRelease) << "it went on after the release";

    const WaveRecording loop = Clip(kFlameClip);
    double start = *onset;
    EXPECT_GT(heard.BestLikeness(loop, *onset, kWindow, kAlignmentSlack, &start), kSameSound)
        << "it does not start with the loop's first sample";
    for (double t = 0.0; start + t + kWindow < released - kWindow; t += kWindow) {
        EXPECT_GT(heard.Likeness(loop, start + t, kWindow, t), kSameSound)
            << t << " s into the hold";
    }
}

// The shipped menu: the pointer resting over Start is silent; pressing it clicks, and the click
// is heard whole although the level replaces the menu at once.
TEST(MenuSoundTest, APressedButtonClicksAndOneOnlyHoveredIsSilent) {
    constexpr int kStartX = 540;
    constexpr int kStartY = 360;
    GameRun run;
    run.CopyShippedTree();
    run.RecordSound();
    ASSERT_TRUE(run.StartOn("MenuScene.json"));
    run.window().PointAt(kStartX, kStartY);
    ASSERT_TRUE(
        WaitUntil([&] { return CountOccurrences(run.Output(), "OnHover") >= 1; }, kRecordingLimit))
        << "the Start button never saw the pointer";
    const auto heard = [&] { return WaveRecording(run.SoundFile()); };
    const double hovered = heard().Seconds();
    ASSERT_TRUE(
        WaitUntil([&] { return heard().Seconds() > hovered + kQuietSeconds; }, kRecordingLimit));
    const double pressed = heard().Seconds();
    run.Click(kStartX, kStartY);
    ASSERT_TRUE(run.WaitForScene("MainScene.json"));
    ASSERT_TRUE(
        WaitUntil([&] { return heard().Seconds() > pressed + kQuietSeconds; }, kRecordingLimit));
    ASSERT_TRUE(run.CloseWindow());
    EXPECT_EQ(run.Wait(), 0);

    const WaveRecording recording = heard();
    EXPECT_EQ(recording.Peak(0.0, pressed), 0.0f) << "heard before the press";
    const std::vector<double> onsets = recording.Onsets(kSoundGap);
    ASSERT_EQ(onsets.size(), 1u) << "one click";
    EXPECT_GE(onsets[0], pressed);
    const WaveRecording click(run.WorkingTree() / "Assets" / "Sounds" / "button_click.ogg");
    const double clickSpan = *click.LastSound() - *click.FirstSound();
    EXPECT_GT(recording.BestLikeness(click, onsets[0], clickSpan, kAlignmentSlack), kSameSound);
    EXPECT_GE(recording.SoundEnd(onsets[0], kSoundGap) - onsets[0], clickSpan - kAlignmentSlack)
        << "cut short by the scene switch";
}

enum class Output {
    // OpenAL Soft's null driver: an output that takes everything and plays nothing.
    NullDriver,
    // The only driver allowed writes to a folder that does not exist, so no device opens.
    DeviceThatCannotOpen,
    // A driver OpenAL Soft does not know: no output at all.
    UnknownDriver,
};

struct OutputCase {
    const char* name;
    Output output;
    // The one line said about the missing output, on standard output and in the run's trace log.
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
    if (GetParam().output == Output::DeviceThatCannotOpen) {
        WaveRecording::WriteDriverConfig(configs.path() / "no-device.conf",
                                         configs.path() / "missing" / "out.wav");
        environment = {{"ALSOFT_CONF", (configs.path() / "no-device.conf").string()},
                       {"ALSOFT_DRIVERS", std::nullopt}};
    } else if (GetParam().output == Output::UnknownDriver) {
        environment = {{"ALSOFT_DRIVERS", "no-such-driver"}};
    }
    ASSERT_TRUE(run.StartOn("Arena.json", environment));
    // The audio starts before the engine points the data directory at the per-user copy: what it
    // says belongs in the run's log all the same, and nothing is written into the working tree.
    const std::filesystem::path workingLog = run.WorkingTree() / "Data" / "Trace_Log.txt";
    EXPECT_FALSE(std::filesystem::exists(workingLog)) << "a stray log in the working tree";
    EXPECT_EQ(CountOccurrences(run.Trace(), kNoOutputNotice), GetParam().notices) << run.Trace();

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
    // The exit hands the run's log back into the working tree, the notice with it.
    EXPECT_EQ(CountOccurrences(ReadFileText(workingLog), kNoOutputNotice), GetParam().notices);
}

INSTANTIATE_TEST_SUITE_P(Outputs, GameWithoutAudioTest,
                         ::testing::Values(OutputCase{"NullDriver", Output::NullDriver, 0},
                                           OutputCase{"NoDevice", Output::DeviceThatCannotOpen, 1},
                                           OutputCase{"UnknownDriver", Output::UnknownDriver, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
