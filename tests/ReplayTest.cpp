// Recording a run and replaying it: a session of the real game played with real input, recorded
// with --record, replayed with --replay to the same world at every checkpoint; recordings that
// cannot be replayed refused with one clear error; a replay on changed data reports where it
// parts from its recording.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "replay/ReplayFile.h"
#include "support/ArenaLevel.h"
#include "support/GameRun.h"
#include "support/TempDirectory.h"
#include "support/TraceMessages.h"

namespace {

namespace fs = std::filesystem;
using json = nlohmann::json;
using namespace std::chrono_literals;

constexpr int kLeft = DisplayWindow::kLeftButton;
constexpr int kCentreX = 540;
constexpr int kCentreY = 360;
// Where the arena's enemy starts, 600 units right of the player's start at (-1664, -960): window
// pixel (307, 656), the view being held inside the level's corner, centred on (-364, -72), at 3
// units a pixel. The enemy runs straight at the player, so it stays on the line of fire.
constexpr int kAimX = 307;
constexpr int kAimY = 656;
constexpr const char* kSceneLine = "ReplayRunSystem - tick ";
constexpr const char* kSameWorld = ": the same world at every checkpoint";
constexpr const char* kDiverges = "ReplayRunSystem - the replay diverges from its recording at tick ";

struct WeaponKey {
    const char* key;
    const char* input;
};
constexpr WeaponKey kWeapons[] = {{"2", "_RIFLE"},        {"3", "_SNIPER"},
                                  {"4", "_SHOTGUN"},      {"5", "_FLAMETHROWER"},
                                  {"6", "_CURVEBALL"},    {"1", "_PISTOL"}};

// The trace lines that name the scene loaded when a tick began, in order.
std::vector<std::string> SceneLines(const std::vector<std::string>& trace) {
    std::vector<std::string> lines;
    for (const std::string& line : trace) {
        if (line.starts_with(kSceneLine)) {
            lines.push_back(line);
        }
    }
    return lines;
}

std::optional<std::string> FinishLine(const std::vector<std::string>& trace) {
    for (const std::string& line : trace) {
        if (line.starts_with("ReplayRunSystem - replay finished after tick ")) {
            return line;
        }
    }
    return std::nullopt;
}

class ReplayTest : public ::testing::Test {
protected:
    void SetUp() override {
        run.CopyShippedTree();
        WriteArena(600.0);
    }

    // The arena level with its enemy `enemyX` units right of the player, slow, one hit kills.
    void WriteArena(double enemyX) const { WriteArenaLevel(run.WorkingTree(), enemyX, 20.0); }

    // Replays the recording back to back and returns its trace and how long it took.
    std::pair<std::vector<std::string>, std::chrono::steady_clock::duration> Replay() {
        run.arguments = {"--replay", recording.string(), "--fast"};
        const auto start = std::chrono::steady_clock::now();
        EXPECT_TRUE(run.StartRunning());
        EXPECT_EQ(run.Wait(120s), 0) << run.Errors();
        return {run.TraceLines(), std::chrono::steady_clock::now() - start};
    }

    GameRun run;
    TempDirectory files;
    fs::path recording = files.path() / "session.jsonl";
};

// The menu, the level: a walk, every weapon fired, the enemy shot dead, the next level. The
// recording replays to the same world at every checkpoint, twice, with the same scene switches at
// the same ticks, in less time than it took to play.
TEST_F(ReplayTest, APlayedSessionReplaysToTheSameWorldTwiceAndFasterThanItWasPlayed) {
    run.arguments = {"--record", recording.string()};
    const auto playStart = std::chrono::steady_clock::now();
    ASSERT_TRUE(run.StartOn("MenuScene.json"));
    run.window().PointAt(kCentreX, kCentreY);
    ASSERT_TRUE(WaitUntil([&] { return CountOccurrences(run.Output(), "OnHover") >= 1; }, 20s));
    run.PressButton(kLeft, "CLICK");
    ASSERT_TRUE(run.WaitForScene("MainScene.json"));
    run.PressKey("w", "UP", 300ms);
    run.window().PointAt(kCentreX, 100);
    for (const WeaponKey& weapon : kWeapons) {
        run.PressKey(weapon.key, weapon.input);
        run.PressButton(kLeft, "CLICK", 100ms);
    }
    run.window().PointAt(kAimX, kAimY);
    run.ButtonDown(kLeft, "CLICK");
    const bool cleared = run.WaitForScene("Level2Scene.json");
    run.ButtonUp(kLeft, "CLICK");
    ASSERT_TRUE(cleared) << "the enemy was never hit";
    ASSERT_TRUE(run.CloseWindow());
    ASSERT_EQ(run.Wait(), 0) << run.Errors();
    const auto played = std::chrono::steady_clock::now() - playStart;
    const std::vector<std::string> recorded = run.TraceLines();
    const std::vector<std::string> recordedScenes = SceneLines(recorded);
    ASSERT_EQ(recordedScenes.size(), 3u) << "menu, level, next level";
    EXPECT_TRUE(recordedScenes[2].ends_with(": scene Level2Scene.json")) << recordedScenes[2];

    std::string error;
    const std::optional<ReplayRecording> file = ReadReplayFile(recording.string(), error);
    ASSERT_TRUE(file) << error;
    int digests = 0;
    int inputs = 0;
    for (const ReplayEvent& event : file->events) {
        digests += event.kind == ReplayEvent::Kind::kDigest ? 1 : 0;
        inputs += event.kind == ReplayEvent::Kind::kInput ? 1 : 0;
    }
    EXPECT_GT(digests, 3);
    EXPECT_GT(inputs, 2 * 8) << "every press and release of the session";

    for (int replay = 1; replay <= 2; ++replay) {
        SCOPED_TRACE("replay " + std::to_string(replay));
        const auto [trace, took] = Replay();
        const std::optional<std::string> finished = FinishLine(trace);
        ASSERT_TRUE(finished) << run.Trace();
        EXPECT_TRUE(finished->ends_with(kSameWorld)) << *finished;
        EXPECT_EQ(*finished, "ReplayRunSystem - replay finished after tick " +
                                 std::to_string(file->endTick) + kSameWorld);
        EXPECT_EQ(SceneLines(trace), recordedScenes);
        EXPECT_LT(took, played) << "back to back, the ticks run faster than the clock";
    }

    // The same recording on a level whose enemy starts elsewhere: the first checkpoint inside
    // the level differs, and the replay says so once and goes on to its end.
    WriteArena(700.0);
    const auto [trace, took] = Replay();
    std::size_t reports = 0;
    for (const std::string& line : trace) {
        reports += line.find(kDiverges) != std::string::npos ? 1 : 0;
    }
    EXPECT_EQ(reports, 1u) << run.Trace();
    ASSERT_TRUE(FinishLine(trace));
    EXPECT_NE(FinishLine(trace)->find(": it diverged at tick "), std::string::npos);
}

// A recording that cannot be replayed is refused whole, before the game starts, with one line
// that names the file and the fault.
TEST(ReplayFileTest, RecordingsThatCannotBeReplayedAreRefusedNamingTheLineAndTheFault) {
    const std::string start =
        R"({"replay": 1, "ticksPerSecond": 60.0, "seed": 7, "startScene": "Scenes/MenuScene.json", "runOnStart": true, "digestEvery": 30})";
    struct Case {
        const char* what;
        std::string text;
        const char* fault;
    };
    const std::vector<Case> cases = {
        {"empty", "", "the file is empty"},
        {"cut short", start + "\n{\"tick\": 1, \"input\": \"UP\", \"pressed\": true}\n",
         "no end line"},
        {"not a recording", "{\"level\": 1}\n{\"end\": 0}\n", "line 1: the first line"},
        {"another format", R"({"replay": 2})" "\n", "line 1: the recording's format 2"},
        {"tick rate out of range",
         R"({"replay": 1, "ticksPerSecond": 0.5, "seed": 7, "startScene": "", "runOnStart": true, "digestEvery": 30})"
         "\n{\"end\": 0}\n",
         "\"ticksPerSecond\" is not from 10 to 1000"},
        {"unknown input", start + "\n{\"tick\": 3, \"input\": \"JUMPS\", \"pressed\": true}\n",
         "line 2: \"JUMPS\" names no input"},
        {"ticks out of order",
         start + "\n{\"tick\": 5, \"pointer\": [1, 2]}\n{\"tick\": 4, \"pointer\": [1, 2]}\n",
         "line 3: its tick comes before"},
        {"pointer not a pair", start + "\n{\"tick\": 5, \"pointer\": [1]}\n", "line 2: \"pointer\""},
        {"negative tick", start + "\n{\"tick\": -5, \"scene\": \"A.json\"}\n", "line 2: \"tick\""},
        {"not JSON", start + "\n{\"tick\": 5, \n", "line 2: the line is not a JSON object"},
        {"after the end", start + "\n{\"end\": 0}\n{\"tick\": 1, \"scene\": \"A.json\"}\n",
         "line 3: a line follows the end line"},
        {"end before its events", start + "\n{\"tick\": 9, \"scene\": \"A.json\"}\n{\"end\": 3}\n",
         "line 3: the end comes before the last event"},
    };
    TempDirectory temp;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path file = temp.path() / "bad.jsonl";
        std::ofstream(file, std::ios::trunc) << c.text;
        std::string error;
        EXPECT_FALSE(ReadReplayFile(file.string(), error));
        EXPECT_TRUE(error.starts_with(file.string())) << error;
        EXPECT_NE(error.find(c.fault), std::string::npos) << error;
    }
    std::string error;
    EXPECT_FALSE(ReadReplayFile((temp.path() / "missing.jsonl").string(), error));
    EXPECT_NE(error.find("cannot be opened"), std::string::npos) << error;

    // The real game: one line on its error output, the failure status, and no engine started.
    GameRun run;
    run.CopyStockTree();
    const fs::path cut = temp.path() / "cut.jsonl";
    std::ofstream(cut) << start << "\n";
    run.arguments = {"--replay", cut.string()};
    ASSERT_TRUE(run.Start());
    EXPECT_EQ(run.Wait(), 1);
    EXPECT_EQ(run.Errors(), "Tarnwick cannot replay: " + cut.string() +
                                ": the recording has no end line (cut short, or its run did not "
                                "end)\n");
    EXPECT_EQ(run.Trace(), "") << "the game did not start";
}

// Sessions recorded from real play of the shipped game (tests/data), replayed back to back on
// the shipped data: the same scene switches at the same ticks and the same world at every
// checkpoint. A changed level file changes what happens in play, and the replay says where.
TEST(RecordedSessionTest, ShippedSessionsReplayToTheirRecordedWorld) {
    struct Session {
        const char* file;
        std::vector<std::string> scenes;
    };
    const std::vector<Session> sessions = {
        {"lose-to-menu.jsonl", {"MenuScene.json", "MainScene.json", "LoseScene.json",
                                "MenuScene.json"}},
        {"level1-walk-and-every-weapon.jsonl", {"MenuScene.json", "MainScene.json"}},
        // Both levels cleared by aimed fire (recorded by ClearBothLevelsTest).
        {"clear-both-levels.jsonl",
         {"MenuScene.json", "MainScene.json", "Level2Scene.json", "WinScene.json"}},
    };
    for (const Session& session : sessions) {
        SCOPED_TRACE(session.file);
        const fs::path file = fs::path(TARNWICK_SOURCE_DIR) / "tests" / "data" / session.file;
        std::string error;
        const std::optional<ReplayRecording> recording = ReadReplayFile(file.string(), error);
        ASSERT_TRUE(recording) << error;
        std::vector<std::string> recordedScenes;
        for (const ReplayEvent& event : recording->events) {
            if (event.kind == ReplayEvent::Kind::kScene) {
                recordedScenes.push_back(event.text);
            }
        }
        EXPECT_EQ(recordedScenes, session.scenes);

        GameRun run;
        run.CopyShippedTree();
        run.arguments = {"--replay", file.string(), "--fast"};
        ASSERT_TRUE(run.StartRunning());
        ASSERT_EQ(run.Wait(120s), 0) << run.Errors();
        const std::vector<std::string> trace = run.TraceLines();
        std::vector<std::string> replayedScenes;
        for (const std::string& line : SceneLines(trace)) {
            replayedScenes.push_back(line.substr(line.find(": scene ") + 8));
        }
        EXPECT_EQ(replayedScenes, session.scenes);
        ASSERT_TRUE(FinishLine(trace)) << run.Trace();
        EXPECT_EQ(*FinishLine(trace), "ReplayRunSystem - replay finished after tick " +
                                          std::to_string(recording->endTick) + kSameWorld);
    }

    // The level's first enemy a cell further right: the lose session no longer plays out as
    // recorded.
    GameRun run;
    run.CopyShippedTree();
    const fs::path scene = run.WorkingTree() / "Data" / "Scenes" / "MainScene.json";
    json level = json::parse(ReadFileText(scene));
    level["Enemy0"]["Transform"]["Transform"]["position"]["x"] =
        level["Enemy0"]["Transform"]["Transform"]["position"]["x"].get<double>() + 128.0;
    std::ofstream(scene, std::ios::trunc) << level.dump(2);
    run.arguments = {"--replay",
                     (fs::path(TARNWICK_SOURCE_DIR) / "tests" / "data" / "lose-to-menu.jsonl")
                         .string(),
                     "--fast"};
    ASSERT_TRUE(run.StartRunning());
    run.Wait(120s);
    EXPECT_NE(run.Trace().find(kDiverges), std::string::npos) << run.Trace();
}

}  // namespace
