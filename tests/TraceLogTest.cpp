// The trace log: line format, the standard-output echo of warnings and errors, and truncation.

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <iomanip>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "engine/DataDirectories.h"
#include "engine/TraceLog.h"
#include "support/TempDirectory.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kLogFileName = "Trace_Log.txt";
// "[YYYY-MM-DD HH:MM:SS] ", the start of every line.
const std::string kLinePrefixPattern = R"(\[\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2}\] )";

// Points the data directory at a temporary folder, so the log is written there, and restores it.
class TraceLogTest : public ::testing::Test {
protected:
    void SetUp() override { DataDirectory = temp.path().string() + "/"; }
    void TearDown() override { DataDirectory = savedDataDirectory; }

    std::string LogContent() const { return temp.ReadFile(kLogFileName); }
    fs::path LogPath() const { return temp.path() / kLogFileName; }

    TempDirectory temp;
    const std::string savedDataDirectory = DataDirectory;
};

struct WriterCase {
    const char* name;
    void (*write)(std::string);
    const char* tag;
    bool echoed;
};

const std::vector<WriterCase> kWriters{
    {"Log", TraceLog::Log, "", false},
    {"Warning", TraceLog::Warning, "WARNING: ", true},
    {"Error", TraceLog::Error, "ERROR: ", true},
};

TEST_F(TraceLogTest, WritesOneStampedLineAndEchoesOnlyWarningsAndErrors) {
    for (const WriterCase& writer : kWriters) {
        SCOPED_TRACE(writer.name);
        fs::remove(LogPath());

        testing::internal::CaptureStdout();
        writer.write("SceneSystem::ChangeScene - Switching to scene: MenuScene.json");
        const std::string echoed = testing::internal::GetCapturedStdout();

        const std::string line = LogContent();
        EXPECT_TRUE(std::regex_match(
            line,
            std::regex(kLinePrefixPattern + writer.tag +
                       R"(SceneSystem::ChangeScene - Switching to scene: MenuScene\.json\n)")))
            << line;
        EXPECT_EQ(echoed, writer.echoed ? line : "");
    }
}

TEST_F(TraceLogTest, EmptyMessageStillWritesALine) {
    for (const WriterCase& writer : kWriters) {
        SCOPED_TRACE(writer.name);
        fs::remove(LogPath());
        testing::internal::CaptureStdout();
        writer.write("");
        testing::internal::GetCapturedStdout();

        const std::string line = LogContent();
        EXPECT_TRUE(std::regex_match(line, std::regex(kLinePrefixPattern + writer.tag + "\n")))
            << line;
    }
}

TEST_F(TraceLogTest, LinesAccumulateInCallOrder) {
    testing::internal::CaptureStdout();
    TraceLog::Log("first");
    TraceLog::Warning("second");
    TraceLog::Error("third");
    testing::internal::GetCapturedStdout();

    const std::string content = LogContent();
    EXPECT_TRUE(std::regex_match(
        content, std::regex(kLinePrefixPattern + "first\n" + kLinePrefixPattern +
                            "WARNING: second\n" + kLinePrefixPattern + "ERROR: third\n")))
        << content;
}

TEST_F(TraceLogTest, TruncateEmptiesTheLogForTheNextLines) {
    TraceLog::Log("from the previous engine pass");
    TraceLog::Truncate();
    EXPECT_EQ(LogContent(), "");

    TraceLog::Log("Engine::Initialize");
    EXPECT_TRUE(
        std::regex_match(LogContent(), std::regex(kLinePrefixPattern + "Engine::Initialize\n")));
}

// Lines of a start-up, written before the data directory points at the run's folder, reach the
// run's log when it starts, first and in order with their own times; the folder the directory
// pointed at before gets nothing. Warnings and errors are shown at once all the same.
TEST_F(TraceLogTest, HeldLinesOpenTheNextLogAndNeverReachTheEarlierFolder) {
    const fs::path before = temp.path() / "before";
    const fs::path run = temp.path() / "run";
    fs::create_directories(before);
    DataDirectory = before.string() + "/";

    TraceLog::Hold();
    testing::internal::CaptureStdout();
    TraceLog::Log("held");
    TraceLog::Warning("held warning");
    const std::string echoed = testing::internal::GetCapturedStdout();
    EXPECT_TRUE(
        std::regex_match(echoed, std::regex(kLinePrefixPattern + "WARNING: held warning\n")))
        << echoed;
    EXPECT_FALSE(fs::exists(before / kLogFileName));

    temp.WriteFile(fs::path("run") / kLogFileName, "[2026-01-01 00:00:00] an earlier run\n");
    DataDirectory = run.string() + "/";
    TraceLog::Truncate();
    TraceLog::Log("Engine::Initialize");
    const std::string firstPass = temp.ReadFile(fs::path("run") / kLogFileName);
    EXPECT_TRUE(std::regex_match(
        firstPass,
        std::regex(kLinePrefixPattern + "held\n" + kLinePrefixPattern + "WARNING: held warning\n" +
                   kLinePrefixPattern + "Engine::Initialize\n")))
        << firstPass;
    EXPECT_FALSE(fs::exists(before / kLogFileName));

    TraceLog::Truncate();
    EXPECT_EQ(temp.ReadFile(fs::path("run") / kLogFileName), "") << "held lines open one log only";
}

// A log that cannot be opened costs only its own line: nothing is raised, nothing is created,
// and warnings still reach standard output.
TEST_F(TraceLogTest, UnopenableLogLosesOnlyTheFileLine) {
    DataDirectory = (temp.path() / "missing").string() + "/";

    testing::internal::CaptureStdout();
    EXPECT_NO_THROW(TraceLog::Log("lost"));
    EXPECT_NO_THROW(TraceLog::Warning("still shown"));
    EXPECT_NO_THROW(TraceLog::Truncate());
    const std::string echoed = testing::internal::GetCapturedStdout();

    EXPECT_TRUE(std::regex_match(echoed, std::regex(kLinePrefixPattern + "WARNING: still shown\n")))
        << echoed;
    EXPECT_FALSE(fs::exists(temp.path() / "missing"));
}

TEST(TraceLogTimestampTest, IsTheCurrentLocalTimeInWholeSeconds) {
    const std::time_t before = std::time(nullptr);
    const std::string stamp = TraceLog::Timestamp();
    const std::time_t after = std::time(nullptr);

    ASSERT_TRUE(std::regex_match(stamp, std::regex(R"(\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2})")))
        << stamp;
    std::tm parsed{};
    parsed.tm_isdst = -1;
    std::istringstream(stamp) >> std::get_time(&parsed, "%Y-%m-%d %H:%M:%S");
    const std::time_t stamped = std::mktime(&parsed);
    EXPECT_GE(stamped, before);
    EXPECT_LE(stamped, after);
}

}  // namespace
