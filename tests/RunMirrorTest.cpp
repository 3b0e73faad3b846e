// The per-user copy and the working tree, run after run: what a start takes, what an exit hands
// back, and what happens when both sides changed a file, a run was killed, or the copy came from
// another checkout. Real folders, one RunMirror per run as the program makes them.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "engine/RunMirror.h"
#include "support/TempDirectory.h"

namespace {

namespace fs = std::filesystem;

const std::vector<std::string> kMirroredExtensions{".json", ".txt", ".TXT"};
constexpr const char* kTraceLog = "Trace_Log.txt";

// Two checkouts ("A", "B") and the per-user folder they share, with its state file beside it.
class RunMirrorTest : public ::testing::Test {
protected:
    void SetUp() override {
        temp.WriteFile("A/Scenes/Level.json", "level 1");
        temp.WriteFile("A/Scenes/Other.json", "other 1");
        temp.WriteFile("B/Scenes/Level.json", "level 1");
        temp.WriteFile("B/Scenes/Other.json", "other 1");
    }

    RunMirror Mirror(const char* checkout) const {
        return RunMirror((temp.path() / checkout).string(), (temp.path() / "User").string(),
                         (temp.path() / "User.mirror.json").string(), kMirroredExtensions,
                         {kTraceLog});
    }

    void Write(const std::string& relative, const std::string& text) const {
        temp.WriteFile(relative, text);
    }
    std::optional<std::string> Read(const std::string& relative) const {
        if (!fs::exists(temp.path() / relative)) {
            return std::nullopt;
        }
        return temp.ReadFile(relative);
    }
    // The files saved beside `relative` ("<relative>.run-<time>"), by their content.
    std::vector<std::string> Beside(const std::string& relative) const {
        const fs::path file = temp.path() / relative;
        std::vector<std::string> found;
        if (!fs::is_directory(file.parent_path())) {
            return found;
        }
        for (const auto& entry : fs::directory_iterator(file.parent_path())) {
            if (entry.path().filename().string().starts_with(file.filename().string() + ".run-")) {
                found.push_back(temp.ReadFile(fs::relative(entry.path(), temp.path())));
            }
        }
        return found;
    }
    static std::string AllWarnings(const RunMirror::Report& report) {
        std::string text;
        for (const std::string& warning : report.warnings) {
            text += warning + "\n";
        }
        return text;
    }

    TempDirectory temp;
};

// A normal run: the run's edits go back; an edit made in the working tree during the run stands.
TEST_F(RunMirrorTest, ARunHandsBackItsEditsAndLeavesTheWorkingTreesOwn) {
    RunMirror run = Mirror("A");
    const RunMirror::Report start = run.Start();
    EXPECT_TRUE(start.failed.empty() && start.warnings.empty());
    EXPECT_EQ(Read("User/Scenes/Level.json"), "level 1");

    Write("User/Scenes/Level.json", "level 1 edited by the run");
    Write("User/Scenes/New.json", "made by the run");
    Write("A/Scenes/Other.json", "other 1 edited in the tile editor");
    Write("A/Scenes/Drawn.json", "made in the working tree");
    Write(std::string("User/") + kTraceLog, "this run's trace");
    const RunMirror::Report finish = run.Finish();

    EXPECT_TRUE(finish.failed.empty() && finish.warnings.empty()) << AllWarnings(finish);
    EXPECT_EQ(Read("A/Scenes/Level.json"), "level 1 edited by the run");
    EXPECT_EQ(Read("A/Scenes/New.json"), "made by the run");
    EXPECT_EQ(Read("A/Scenes/Other.json"), "other 1 edited in the tile editor");
    EXPECT_EQ(Read("A/Scenes/Drawn.json"), "made in the working tree");
    EXPECT_EQ(Read(std::string("A/") + kTraceLog), "this run's trace");

    // The next run starts from the working tree as it now stands, with nothing to report.
    RunMirror next = Mirror("A");
    const RunMirror::Report again = next.Start();
    EXPECT_TRUE(again.warnings.empty()) << AllWarnings(again);
    EXPECT_EQ(Read("User/Scenes/Other.json"), "other 1 edited in the tile editor");
    EXPECT_EQ(Read("User/Scenes/Drawn.json"), "made in the working tree");
}

// Both sides changed a file during the run: the working tree's version stands, the run's is saved
// beside it, and one warning names both. A file deleted in the working tree stays deleted unless
// the run edited it.
TEST_F(RunMirrorTest, AFileBothSidesChangedKeepsBoth) {
    Write("A/Scenes/Gone.json", "gone");
    Write("A/Scenes/GoneEdited.json", "gone edited");
    RunMirror run = Mirror("A");
    run.Start();
    Write("User/Scenes/Level.json", "the run's level");
    Write("A/Scenes/Level.json", "the designer's level");
    Write("User/Scenes/GoneEdited.json", "the run's edit of a deleted file");
    fs::remove(temp.path() / "A/Scenes/Gone.json");
    fs::remove(temp.path() / "A/Scenes/GoneEdited.json");
    // A trace log left in the working tree is the run's output, never an edit in conflict.
    Write(std::string("A/") + kTraceLog, "someone else's trace");
    Write(std::string("User/") + kTraceLog, "this run's trace");
    const RunMirror::Report finish = run.Finish();

    EXPECT_TRUE(finish.failed.empty());
    EXPECT_EQ(Read("A/Scenes/Level.json"), "the designer's level");
    EXPECT_EQ(Beside("A/Scenes/Level.json"), std::vector<std::string>{"the run's level"});
    EXPECT_EQ(Read("A/Scenes/Gone.json"), std::nullopt);
    EXPECT_TRUE(Beside("A/Scenes/Gone.json").empty());
    EXPECT_EQ(Read("A/Scenes/GoneEdited.json"), std::nullopt);
    EXPECT_EQ(Beside("A/Scenes/GoneEdited.json"),
              std::vector<std::string>{"the run's edit of a deleted file"});
    EXPECT_EQ(Read(std::string("A/") + kTraceLog), "this run's trace");
    EXPECT_TRUE(Beside(std::string("A/") + kTraceLog).empty());
    ASSERT_EQ(finish.warnings.size(), 2u) << AllWarnings(finish);
    const std::string level = *std::find_if(
        finish.warnings.begin(), finish.warnings.end(),
        [](const std::string& warning) { return warning.find("Level.json") != std::string::npos; });
    EXPECT_NE(level.find((temp.path() / "A/Scenes/Level.json").string() + " changed"),
              std::string::npos)
        << level;
    EXPECT_NE(level.find("Level.json.run-"), std::string::npos) << level;

    // Settled: the next start takes the working tree's files and saves nothing beside again,
    // and the copy of the deleted file is gone so no exit brings it back.
    RunMirror next = Mirror("A");
    const RunMirror::Report again = next.Start();
    EXPECT_TRUE(again.warnings.empty()) << AllWarnings(again);
    EXPECT_EQ(Read("User/Scenes/Level.json"), "the designer's level");
    EXPECT_EQ(Read("User/Scenes/Gone.json"), std::nullopt);
    EXPECT_EQ(Read("User/Scenes/GoneEdited.json"), std::nullopt);
    next.Finish();
    EXPECT_EQ(Read("A/Scenes/Gone.json"), std::nullopt);
    EXPECT_EQ(Beside("A/Scenes/Level.json").size(), 1u);
}

// A run that never finished (killed): its edits are kept at the next start and go back at that
// run's end, unless the working tree changed the same file since: then the working tree's
// version is used and the killed run's is saved beside it.
TEST_F(RunMirrorTest, AnUnfinishedRunsEditsAreKeptUnlessTheWorkingTreeChangedToo) {
    Mirror("A").Start();
    Write("User/Scenes/Level.json", "killed run's level");
    Write("User/Scenes/Other.json", "killed run's other");
    Write("User/Scenes/Made.json", "made by the killed run");
    Write("A/Scenes/Other.json", "designer's other");

    RunMirror next = Mirror("A");
    const RunMirror::Report start = next.Start();
    EXPECT_TRUE(start.failed.empty());
    EXPECT_EQ(Read("User/Scenes/Level.json"), "killed run's level");
    EXPECT_EQ(Read("User/Scenes/Made.json"), "made by the killed run");
    EXPECT_EQ(Read("User/Scenes/Other.json"), "designer's other");
    EXPECT_EQ(Beside("A/Scenes/Other.json"), std::vector<std::string>{"killed run's other"});
    const std::string warnings = AllWarnings(start);
    EXPECT_NE(warnings.find("kept " + (temp.path() / "User/Scenes/Level.json").string()),
              std::string::npos)
        << warnings;
    EXPECT_NE(warnings.find("Other.json.run-"), std::string::npos) << warnings;
    EXPECT_EQ(start.warnings.size(), 3u) << warnings;

    next.Finish();
    EXPECT_EQ(Read("A/Scenes/Level.json"), "killed run's level");
    EXPECT_EQ(Read("A/Scenes/Made.json"), "made by the killed run");
    EXPECT_EQ(Read("A/Scenes/Other.json"), "designer's other");
}

// Two checkouts share the per-user folder. Whatever A's runs left there, B's run works on B's
// files and hands nothing of A's into B; edits A never got back are moved aside, not lost.
TEST_F(RunMirrorTest, NothingOfAnotherCheckoutIsCarriedIntoThisOne) {
    struct Case {
        const char* name;
        bool aEndsNormally;
    };
    for (const Case& c : {Case{"AEnded", true}, Case{"AKilled", false}}) {
        SCOPED_TRACE(c.name);
        fs::remove_all(temp.path() / "User");
        fs::remove(temp.path() / "User.mirror.json");
        fs::remove(temp.path() / "A/Scenes/OnlyA.json");
        Write("A/Scenes/Level.json", "level 1");
        Write("B/Scenes/Level.json", "B's uncommitted level");

        RunMirror a = Mirror("A");
        a.Start();
        Write("User/Scenes/Level.json", "A's run's level");
        Write("User/Scenes/OnlyA.json", "A's run made it");
        if (c.aEndsNormally) {
            a.Finish();
        }

        RunMirror b = Mirror("B");
        const RunMirror::Report start = b.Start();
        EXPECT_TRUE(start.failed.empty());
        EXPECT_EQ(Read("User/Scenes/Level.json"), "B's uncommitted level");
        EXPECT_EQ(Read("User/Scenes/OnlyA.json"), std::nullopt);
        if (c.aEndsNormally) {
            EXPECT_TRUE(start.warnings.empty()) << AllWarnings(start);
        } else {
            EXPECT_EQ(Beside("User/Scenes/Level.json"),
                      std::vector<std::string>{"A's run's level"});
            EXPECT_EQ(Beside("User/Scenes/OnlyA.json"),
                      std::vector<std::string>{"A's run made it"});
            const std::string warnings = AllWarnings(start);
            EXPECT_EQ(start.warnings.size(), 2u) << warnings;
            EXPECT_NE(warnings.find("another checkout (" + (temp.path() / "A").string() + ")"),
                      std::string::npos)
                << warnings;
        }
        const RunMirror::Report finish = b.Finish();
        EXPECT_TRUE(finish.failed.empty() && finish.warnings.empty()) << AllWarnings(finish);
        EXPECT_EQ(Read("B/Scenes/Level.json"), "B's uncommitted level");
        EXPECT_EQ(Read("B/Scenes/OnlyA.json"), std::nullopt);
        EXPECT_EQ(Read("A/Scenes/Level.json"),
                  c.aEndsNormally ? "A's run's level" : "level 1");
    }
}

// A copy whose origin cannot be told (no state file, or one that does not read) is treated as
// another checkout's: its differing files are moved aside, the working tree's are used.
TEST_F(RunMirrorTest, ACopyOfUnknownOriginIsMovedAside) {
    for (const char* state : {"", "{ not json", "{\"checkout\": 3}"}) {
        SCOPED_TRACE(state);
        fs::remove_all(temp.path() / "User");
        Write("User/Scenes/Level.json", "from somewhere");
        Write("User/Scenes/Other.json", "other 1");
        fs::remove(temp.path() / "User.mirror.json");
        if (state[0] != '\0') {
            Write("User.mirror.json", state);
        }
        const RunMirror::Report start = Mirror("A").Start();
        EXPECT_EQ(Read("User/Scenes/Level.json"), "level 1");
        EXPECT_EQ(Beside("User/Scenes/Level.json"), std::vector<std::string>{"from somewhere"});
        EXPECT_EQ(start.warnings.size(), 1u) << AllWarnings(start);
    }
}

// The files the mirror takes: the listed extensions exactly, in every sub-folder, whatever the
// folders are spelled with.
TEST_F(RunMirrorTest, OnlyListedExtensionsAreMirrored) {
    Write("A/Deep/Er/Notes.TXT", "notes");
    Write("A/Odd.Txt", "odd");
    Write("A/Scenes/Loud.JSON", "loud");
    Write("A/Textures/image.png", "png");
    RunMirror run((temp.path() / "A").string() + "/", (temp.path() / "User").string() + "/",
                  (temp.path() / "User.mirror.json").string(), kMirroredExtensions);
    run.Start();
    EXPECT_EQ(Read("User/Scenes/Level.json"), "level 1");
    EXPECT_EQ(Read("User/Deep/Er/Notes.TXT"), "notes");
    for (const char* absent : {"User/Odd.Txt", "User/Scenes/Loud.JSON", "User/Textures/image.png"}) {
        EXPECT_EQ(Read(absent), std::nullopt) << absent;
    }
}

// A file that cannot be written is named and leaves its target whole; every other file is still
// mirrored, scratch files of an interrupted earlier mirror are removed, and a link that leads
// nowhere is reported only when it looks like data.
TEST_F(RunMirrorTest, FailuresAreNamedAndTheRestIsMirrored) {
    RunMirror run = Mirror("A");
    run.Start();
    Write("User/Scenes/Blocked.json", "made by the run");
    Write("User/Scenes/Other.json", "other edited");
    fs::create_directories(temp.path() / "A/Scenes/Blocked.json/inside");
    Write("A/Scenes/Old.json.partial", "half");
    Write("A/notes.partial", "not ours");
    fs::create_symlink(temp.path() / "nowhere", temp.path() / "A/.#Lock.json");
    fs::create_symlink(temp.path() / "nowhere", temp.path() / "A/lockfile");

    const RunMirror::Report finish = run.Finish();
    ASSERT_EQ(finish.failed.size(), 1u);
    EXPECT_NE(finish.failed[0].find("Blocked.json"), std::string::npos) << finish.failed[0];
    EXPECT_TRUE(fs::is_directory(temp.path() / "A/Scenes/Blocked.json/inside"));
    EXPECT_EQ(Read("A/Scenes/Other.json"), "other edited");
    EXPECT_EQ(Read("A/Scenes/Old.json.partial"), std::nullopt);
    EXPECT_EQ(Read("A/notes.partial"), "not ours");
    EXPECT_EQ(finish.skipped.size(), 1u);
    for (const auto& entry : fs::recursive_directory_iterator(temp.path() / "A/Scenes")) {
        EXPECT_NE(entry.path().extension(), ".partial") << entry.path();
    }

    // The failed file's edit is still the copy's own at the next start: it is kept, not lost.
    fs::remove_all(temp.path() / "A/Scenes/Blocked.json");
    RunMirror next = Mirror("A");
    const RunMirror::Report again = next.Start();
    EXPECT_EQ(Read("User/Scenes/Blocked.json"), "made by the run");
    EXPECT_NE(AllWarnings(again).find("kept "), std::string::npos) << AllWarnings(again);
    EXPECT_TRUE(next.Finish().failed.empty());
    EXPECT_EQ(Read("A/Scenes/Blocked.json"), "made by the run");
}

TEST(RunMirrorFoldersTest, MissingFoldersAreMadeAndAFileInTheWayIsAnError) {
    TempDirectory temp;
    const fs::path working = temp.path() / "Missing" / "Data";
    const fs::path perUser = temp.path() / "User" / "OrreryTestDirectory" / "Data";
    RunMirror(working.string(), perUser.string(), (temp.path() / "state.json").string(),
              kMirroredExtensions)
        .Start();
    EXPECT_TRUE(fs::is_directory(working));
    EXPECT_TRUE(fs::is_empty(perUser));

    const fs::path blocker = temp.WriteFile("Blocker", "a file where a folder should be");
    try {
        RunMirror(working.string(), (blocker / "Data").string(),
                  (temp.path() / "state.json").string(), kMirroredExtensions)
            .Start();
        FAIL() << "copied below a regular file";
    } catch (const fs::filesystem_error& error) {
        EXPECT_NE(std::string(error.what()).find("create_directories"), std::string::npos)
            << error.what();
    }
}

}  // namespace
