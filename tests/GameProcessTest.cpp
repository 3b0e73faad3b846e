// The real game executable, run in a throw-away data tree and closed as a window manager would.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>

#include "support/ChildProcess.h"
#include "support/StockData.h"
#include "support/TempDirectory.h"

namespace {

using namespace std::chrono_literals;

class GameProcessTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(game / "Data" / "Scenes");
        std::filesystem::create_directories(game / "Shaders");
        CopyStockData(game);
        std::ofstream(game / "Data" / "Scenes" / "Level.json") << "{\"level\": 1}\n";
    }

    ChildProcess::Options Options(std::map<std::string, std::optional<std::string>> env) const {
        env.emplace("XDG_DATA_HOME", xdg.string());
        return {{TARNWICK_GAME_EXECUTABLE},
                game,
                env,
                temp.path() / "out.txt",
                temp.path() / "err.txt"};
    }

    std::filesystem::path PerUserData() const { return xdg / "OrreryTestDirectory" / "Data"; }

    static bool RequestClose(int pid) {
        ChildProcess closer(
            {{TARNWICK_CLOSE_WINDOW, "Tarnwick", std::to_string(pid)}, {}, {}, {}, {}});
        return closer.Wait(10s) == 0;
    }

    TempDirectory temp;
    std::filesystem::path game = temp.path() / "game";
    std::filesystem::path xdg = temp.path() / "xdg";
};

TEST_F(GameProcessTest, ClosingTheWindowExitsCleanlyAndMirrorsTheDataBack) {
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "needs an X display (scripts/test gives one)";
    ChildProcess child(Options({}));
    const auto traceLog = PerUserData() / "Trace_Log.txt";
    ASSERT_TRUE(WaitUntil(
        [&] { return ReadFileText(traceLog).find("Engine::Initialize") != std::string::npos; },
        20s))
        << ReadFileText(temp.path() / "err.txt");

    // The start-up mirror copied the working tree's data.
    EXPECT_EQ(ReadFileText(PerUserData() / "Scenes" / "Level.json"), "{\"level\": 1}\n");
    // A file written to the per-user copy while the game runs reaches the working tree at exit.
    std::ofstream(PerUserData() / "Saved.json") << "{}";

    ASSERT_TRUE(WaitUntil([&] { return RequestClose(child.Pid()); }, 20s));
    EXPECT_EQ(child.Wait(20s), 0);

    const std::string mirroredLog = ReadFileText(game / "Data" / "Trace_Log.txt");
    ASSERT_FALSE(mirroredLog.empty());
    const std::string lastLine =
        mirroredLog.substr(mirroredLog.rfind('\n', mirroredLog.size() - 2) + 1);
    EXPECT_TRUE(lastLine.ends_with("] Try\n")) << lastLine;
    EXPECT_EQ(ReadFileText(game / "Data" / "Saved.json"), "{}");
    // The per-user log goes on past the copy.
    const std::string perUserLog = ReadFileText(traceLog);
    EXPECT_TRUE(perUserLog.ends_with("] End\n")) << perUserLog;
    EXPECT_NE(perUserLog.find("] Finished ShutDowns\n"), std::string::npos);
}

TEST_F(GameProcessTest, CannotRunReportsOneLineAndExitsWithStatusOne) {
    // A regular file where the per-user folder should go makes the folder impossible to create.
    std::ofstream(temp.path() / "blocker") << "x";
    struct Case {
        const char* what;
        std::map<std::string, std::optional<std::string>> env;
    };
    const Case cases[] = {
        {"no display", {{"DISPLAY", std::nullopt}, {"WAYLAND_DISPLAY", std::nullopt}}},
        {"unwritable per-user folder",
         {{"XDG_DATA_HOME", (temp.path() / "blocker" / "xdg").string()}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // Options() adds the temporary per-user folder only where the case names none.
        ChildProcess child(Options(c.env));
        EXPECT_EQ(child.Wait(20s), 1);
        const std::string error = ReadFileText(temp.path() / "err.txt");
        EXPECT_EQ(std::count(error.begin(), error.end(), '\n'), 1) << error;
        EXPECT_EQ(error.rfind("Tarnwick cannot run: ", 0), 0u) << error;
    }
}

}  // namespace
