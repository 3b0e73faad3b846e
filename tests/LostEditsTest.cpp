// No edit is lost: the real game, run on a throw-away tree, mirrors a per-user edit back when it
// is ended by a signal, keeps an edit of a killed run at the next start, and, when a file cannot
// be mirrored back, mirrors every other one, names that file and exits with a failure status.

#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "support/ChildProcess.h"
#include "support/StockData.h"
#include "support/TempDirectory.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr const char* kEdited = "{\"edited\": true}";

class LostEditsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "needs an X display (scripts/test gives one)";
        fs::create_directories(game / "Data" / "Scenes");
        fs::create_directories(game / "Shaders");
        CopyStockData(game);
        std::ofstream(game / "Data" / "Scenes" / "Level.json") << "{\"level\": 1}";
        std::ofstream(game / "Data" / "Scenes" / "Other.json") << "{\"other\": 1}";
    }

    // `arguments` runs the game; a wrapper may stand before it.
    std::unique_ptr<ChildProcess> Start(
        std::vector<std::string> arguments = {TARNWICK_GAME_EXECUTABLE}) const {
        // The previous run's log must not count as this run having started.
        fs::remove(PerUserData() / "Trace_Log.txt");
        auto child = std::make_unique<ChildProcess>(ChildProcess::Options{
            std::move(arguments),
            game,
            {{"XDG_DATA_HOME", xdg.string()}, {"ALSOFT_DRIVERS", "null"}},
            temp.path() / "out.txt",
            temp.path() / "err.txt"});
        EXPECT_TRUE(WaitUntil([&] { return PerUserTrace().find("Engine::Initialize") !=
                                           std::string::npos; },
                              20s))
            << ReadFileText(temp.path() / "err.txt");
        return child;
    }

    // An edit made in the per-user copy while the game runs, as the editor's "Save To:" does.
    void EditPerUserLevel() const {
        std::this_thread::sleep_for(1100ms);  // a modification time later than the tree's
        std::ofstream(PerUserData() / "Scenes" / "Level.json") << kEdited;
    }

    fs::path PerUserData() const { return xdg / "OrreryTestDirectory" / "Data"; }
    std::string PerUserTrace() const { return ReadFileText(PerUserData() / "Trace_Log.txt"); }

    TempDirectory temp;
    fs::path game = temp.path() / "game";
    fs::path xdg = temp.path() / "xdg";
};

TEST_F(LostEditsTest, AStopSignalEndsTheRunNormallyAndTheEditIsMirroredBack) {
    for (const int stopSignal : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(stopSignal);
        std::ofstream(game / "Data" / "Scenes" / "Level.json") << "{\"level\": 1}";
        const auto child = Start();
        EditPerUserLevel();
        ASSERT_EQ(kill(child->Pid(), stopSignal), 0);
        EXPECT_EQ(child->Wait(20s), 0) << ReadFileText(temp.path() / "err.txt");
        EXPECT_EQ(ReadFileText(game / "Data" / "Scenes" / "Level.json"), kEdited);
        EXPECT_TRUE(PerUserTrace().ends_with("] End\n"));
        EXPECT_NE(PerUserTrace().find("Engine::Shutdown"), std::string::npos);
    }
}

TEST_F(LostEditsTest, AnEditOfAKilledRunIsKeptAtTheNextStart) {
    {
        const auto child = Start();
        EditPerUserLevel();
        ASSERT_EQ(kill(child->Pid(), SIGKILL), 0);
        EXPECT_FALSE(child->Wait(20s).value_or(0) == 0);
    }
    EXPECT_EQ(ReadFileText(game / "Data" / "Scenes" / "Level.json"), "{\"level\": 1}")
        << "a killed run mirrors nothing back";
    const auto child = Start();
    EXPECT_EQ(ReadFileText(PerUserData() / "Scenes" / "Level.json"), kEdited)
        << "the start did not overwrite the edit";
    ASSERT_TRUE(WaitUntil(
        [&] { return PerUserTrace().find("WARNING: Program::StartUp - kept ") != std::string::npos; },
        10s))
        << PerUserTrace();
    const std::string trace = PerUserTrace();
    EXPECT_NE(trace.find("Level.json"), std::string::npos);
    EXPECT_EQ(trace.find("Other.json"), std::string::npos) << "only the edited file is named";
    // A normal end of this run brings the edit home.
    ASSERT_EQ(kill(child->Pid(), SIGTERM), 0);
    EXPECT_EQ(child->Wait(20s), 0);
    EXPECT_EQ(ReadFileText(game / "Data" / "Scenes" / "Level.json"), kEdited);
}

TEST_F(LostEditsTest, AFileThatCannotBeMirroredBackIsNamedAndTheRestIsMirrored) {
    const auto child = Start();
    // Files written while the game runs; one of them meets a folder where it should go.
    std::ofstream(PerUserData() / "Scenes" / "Blocked.json") << "{}";
    std::ofstream(PerUserData() / "Scenes" / "New.json") << "{\"new\": 1}";
    fs::create_directories(game / "Data" / "Scenes" / "Blocked.json" / "in the way");
    // A scratch file of an interrupted earlier mirror.
    std::ofstream(game / "Data" / "Scenes" / "Old.json.partial") << "half";
    ASSERT_EQ(kill(child->Pid(), SIGTERM), 0);
    EXPECT_EQ(child->Wait(20s), 1) << "a failed mirror is not a success";
    EXPECT_EQ(ReadFileText(game / "Data" / "Scenes" / "New.json"), "{\"new\": 1}");
    EXPECT_FALSE(fs::exists(game / "Data" / "Scenes" / "Old.json.partial"));
    const std::string error = ReadFileText(temp.path() / "err.txt");
    EXPECT_NE(error.find("Blocked.json"), std::string::npos) << error;
    const std::string trace = PerUserTrace();
    EXPECT_NE(trace.find("] Catch\n"), std::string::npos);
    EXPECT_NE(trace.find("ERROR: Program::Exit - not mirrored back: "), std::string::npos);
    EXPECT_NE(trace.find("Blocked.json"), std::string::npos);
    EXPECT_TRUE(trace.ends_with("] End\n"));
}

// A folder the user may not write into (a read-only checkout, another user's files). The
// superuser ignores folder modes, so under root the game runs without the capabilities that
// override them, as an ordinary user would.
TEST_F(LostEditsTest, AReadOnlyScenesFolderLetsEveryOtherFileBeMirrored) {
    fs::create_directories(game / "Data" / "Archetypes");
    std::ofstream(game / "Data" / "Archetypes" / "Crate.json") << "{\"crate\": 1}";
    std::vector<std::string> arguments = {TARNWICK_GAME_EXECUTABLE};
    if (geteuid() == 0) {
        arguments.insert(arguments.begin(),
                         {"/usr/bin/setpriv", "--bounding-set=-dac_override,-dac_read_search",
                          "--inh-caps=-dac_override,-dac_read_search"});
    }
    const auto child = Start(arguments);
    EditPerUserLevel();
    std::ofstream(PerUserData() / "Archetypes" / "Crate.json") << kEdited;
    std::ofstream(PerUserData() / "Scenes" / "Added.json") << "{\"added\": 1}";
    fs::permissions(game / "Data" / "Scenes",
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    ASSERT_EQ(kill(child->Pid(), SIGTERM), 0);
    const auto status = child->Wait(20s);
    fs::permissions(game / "Data" / "Scenes", fs::perms::owner_write, fs::perm_options::add);

    EXPECT_EQ(status, 1) << "a failed mirror is not a success";
    EXPECT_EQ(ReadFileText(game / "Data" / "Archetypes" / "Crate.json"), kEdited);
    EXPECT_FALSE(fs::exists(game / "Data" / "Scenes" / "Added.json"));
    const std::string error = ReadFileText(temp.path() / "err.txt");
    for (const char* name : {"Level.json", "Added.json"}) {
        SCOPED_TRACE(name);
        EXPECT_NE(error.find(name), std::string::npos) << error;
        EXPECT_NE(PerUserTrace().find(name), std::string::npos);
    }
    EXPECT_EQ(error.find("Crate.json"), std::string::npos) << error;
    EXPECT_NE(ReadFileText(game / "Data" / "Trace_Log.txt").find("Engine::Shutdown"),
              std::string::npos)
        << "the trace log was mirrored back with the rest";
    EXPECT_EQ(ReadFileText(game / "Data" / "Scenes" / "Level.json"), "{\"level\": 1}")
        << "the read-only folder kept its file";
}

}  // namespace
