// The real game executable, run in a throw-away data tree and closed as a window manager would.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>

#include "support/GameRun.h"
#include "support/TempDirectory.h"

namespace {

class GameProcessTest : public ::testing::Test {
protected:
    void SetUp() override {
        run.CopyStockTree();
        run.WriteFile("Data/Scenes/Level.json", "{\"level\": 1}\n");
    }

    GameRun run;
};

TEST_F(GameProcessTest, ClosingTheWindowExitsCleanlyAndMirrorsTheDataBack) {
    ASSERT_TRUE(run.StartRunning());

    // The start-up mirror copied the working tree's data.
    EXPECT_EQ(ReadFileText(run.PerUserData() / "Scenes" / "Level.json"), "{\"level\": 1}\n");
    // A file written to the per-user copy while the game runs reaches the working tree at exit.
    std::ofstream(run.PerUserData() / "Saved.json") << "{}";

    ASSERT_TRUE(run.CloseWindow());
    EXPECT_EQ(run.Wait(), 0);

    const std::string mirroredLog = ReadFileText(run.WorkingTree() / "Data" / "Trace_Log.txt");
    ASSERT_FALSE(mirroredLog.empty());
    const std::string lastLine =
        mirroredLog.substr(mirroredLog.rfind('\n', mirroredLog.size() - 2) + 1);
    EXPECT_TRUE(lastLine.ends_with("] Try\n")) << lastLine;
    EXPECT_EQ(ReadFileText(run.WorkingTree() / "Data" / "Saved.json"), "{}");
    // The per-user log goes on past the copy.
    const std::string perUserLog = run.Trace();
    EXPECT_TRUE(perUserLog.ends_with("] End\n")) << perUserLog;
    EXPECT_NE(perUserLog.find("] Finished ShutDowns\n"), std::string::npos);
}

TEST_F(GameProcessTest, CannotRunReportsOneLineAndExitsWithStatusOne) {
    // A regular file where the per-user folder should go makes the folder impossible to create.
    TempDirectory blocked;
    const std::filesystem::path blocker = blocked.WriteFile("blocker", "x");
    struct Case {
        const char* what;
        GameRun::Environment environment;
    };
    const Case cases[] = {
        {"no display", {{"DISPLAY", std::nullopt}, {"WAYLAND_DISPLAY", std::nullopt}}},
        {"unwritable per-user folder", {{"XDG_DATA_HOME", (blocker / "xdg").string()}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // The run's own display and per-user folder stand where the case names none.
        ASSERT_TRUE(run.Start(c.environment));
        EXPECT_EQ(run.Wait(), 1);
        const std::string error = run.Errors();
        EXPECT_EQ(std::count(error.begin(), error.end(), '\n'), 1) << error;
        EXPECT_EQ(error.rfind("Tarnwick cannot run: ", 0), 0u) << error;
    }
}

}  // namespace
