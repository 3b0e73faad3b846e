// No edit is lost: the real game, run on a throw-away tree, mirrors a per-user edit back when it
// is ended by a signal, keeps an edit of a killed run at the next start, leaves an edit made in
// the working tree during the run alone (keeping both versions when the run edited the file too),
// carries nothing of another checkout into this one, and, when a file cannot be mirrored back,
// mirrors every other one, names that file and exits with a failure status.

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/mount.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/ChildProcess.h"
#include "support/GameRun.h"
#include "support/TraceMessages.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr const char* kEdited = "{\"edited\": true}";
// The least an edit is dated later than the working tree's copy.
constexpr auto kEditLater = 10ms;

class LostEditsTest : public ::testing::Test {
protected:
    void SetUp() override {
        run.CopyStockTree();
        run.WriteFile("Data/Scenes/Level.json", "{\"level\": 1}");
        run.WriteFile("Data/Scenes/Other.json", "{\"other\": 1}");
    }

    // An edit made in the per-user copy while the game runs, as the editor's "Save To:" does. It
    // is dated now, and at least a little later than the working tree's copy, so it reads as the
    // newer one even where the file system's clock is too coarse to tell them apart.
    void EditPerUserLevel() const {
        const fs::path edit = run.PerUserData() / "Scenes" / "Level.json";
        std::ofstream(edit) << kEdited;
        fs::last_write_time(edit, std::max(fs::file_time_type::clock::now(),
                                           fs::last_write_time(WorkingLevel()) + kEditLater));
    }

    fs::path WorkingLevel() const { return run.WorkingTree() / "Data" / "Scenes" / "Level.json"; }

    GameRun run;
};

TEST_F(LostEditsTest, AStopSignalEndsTheRunNormallyAndTheEditIsMirroredBack) {
    for (const int stopSignal : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(stopSignal);
        run.WriteFile("Data/Scenes/Level.json", "{\"level\": 1}");
        ASSERT_TRUE(run.StartRunning());
        EditPerUserLevel();
        ASSERT_TRUE(run.Signal(stopSignal));
        EXPECT_EQ(run.Wait(), 0) << run.Errors();
        EXPECT_EQ(ReadFileText(WorkingLevel()), kEdited);
        EXPECT_TRUE(run.Trace().ends_with("] End\n"));
        EXPECT_NE(run.Trace().find("Engine::Shutdown"), std::string::npos);
    }
}

TEST_F(LostEditsTest, AnEditOfAKilledRunIsKeptAtTheNextStart) {
    ASSERT_TRUE(run.StartRunning());
    EditPerUserLevel();
    ASSERT_TRUE(run.Signal(SIGKILL));
    EXPECT_FALSE(run.Wait().value_or(0) == 0);
    EXPECT_EQ(ReadFileText(WorkingLevel()), "{\"level\": 1}")
        << "a killed run mirrors nothing back";
    ASSERT_TRUE(run.StartRunning());
    EXPECT_EQ(ReadFileText(run.PerUserData() / "Scenes" / "Level.json"), kEdited)
        << "the start did not overwrite the edit";
    ASSERT_TRUE(run.WaitForTrace("WARNING: Program::StartUp - kept ")) << run.Trace();
    const std::string trace = run.Trace();
    EXPECT_NE(trace.find("Level.json"), std::string::npos);
    EXPECT_EQ(trace.find("Other.json"), std::string::npos) << "only the edited file is named";
    // A normal end of this run brings the edit home.
    ASSERT_TRUE(run.Signal(SIGTERM));
    EXPECT_EQ(run.Wait(), 0);
    EXPECT_EQ(ReadFileText(WorkingLevel()), kEdited);
}

// Files saved beside `file` by the mirror ("<file>.run-<time>"), by their content.
std::vector<std::string> SavedBeside(const fs::path& file) {
    std::vector<std::string> found;
    for (const auto& entry : fs::directory_iterator(file.parent_path())) {
        if (entry.path().filename().string().starts_with(file.filename().string() + ".run-")) {
            found.push_back(ReadFileText(entry.path()));
        }
    }
    return found;
}

// A designer edits files in the working tree (a map in the tile editor, a scene in a text
// editor) while the game runs; the run saves one of them too.
TEST_F(LostEditsTest, AWorkingTreeEditDuringTheRunStandsAndAConflictKeepsBoth) {
    ASSERT_TRUE(run.StartRunning());
    const fs::path other = run.WorkingTree() / "Data" / "Scenes" / "Other.json";
    std::ofstream(other) << "{\"other\": \"designer\"}";
    EditPerUserLevel();
    std::ofstream(WorkingLevel()) << "{\"level\": \"designer\"}";
    ASSERT_TRUE(run.Signal(SIGTERM));
    EXPECT_EQ(run.Wait(), 0) << "keeping both is no failure\n" << run.Errors();

    EXPECT_EQ(ReadFileText(other), "{\"other\": \"designer\"}");
    EXPECT_EQ(ReadFileText(WorkingLevel()), "{\"level\": \"designer\"}");
    EXPECT_EQ(SavedBeside(WorkingLevel()), std::vector<std::string>{kEdited});
    EXPECT_TRUE(SavedBeside(other).empty());
    const std::vector<std::string> warnings = TraceMessages(run.PerUserData() / "Trace_Log.txt");
    std::vector<std::string> conflicts;
    std::copy_if(warnings.begin(), warnings.end(), std::back_inserter(conflicts),
                 [](const std::string& line) {
                     return line.starts_with("WARNING: Program::Exit - ");
                 });
    ASSERT_EQ(conflicts.size(), 1u) << run.Trace();
    EXPECT_NE(conflicts[0].find(WorkingLevel().filename().string() + " changed"),
              std::string::npos)
        << conflicts[0];
    EXPECT_NE(conflicts[0].find("Level.json.run-"), std::string::npos) << conflicts[0];
    EXPECT_NE(run.Errors().find("Level.json.run-"), std::string::npos) << run.Errors();

    // The next run starts from the designer's files and saves nothing beside again.
    ASSERT_TRUE(run.StartRunning());
    EXPECT_EQ(ReadFileText(run.PerUserData() / "Scenes" / "Level.json"),
              "{\"level\": \"designer\"}");
    ASSERT_TRUE(run.Signal(SIGTERM));
    EXPECT_EQ(run.Wait(), 0);
    EXPECT_EQ(SavedBeside(WorkingLevel()).size(), 1u);
}

// Two checkouts on one machine share the per-user folder: run A, quit; run B, quit. B's
// uncommitted edit stays, and nothing of A's comes into B, whether A's run ended normally or was
// killed (its unsaved edit is then moved aside in the per-user folder, named in B's trace).
TEST_F(LostEditsTest, TwoCheckoutsSharingThePerUserFolderKeepTheirOwnFiles) {
    for (const bool aKilled : {false, true}) {
        SCOPED_TRACE(aKilled ? "A killed" : "A quit");
        fs::remove_all(run.PerUserData().parent_path());
        run.WriteFile("Data/Scenes/Level.json", "{\"level\": 1}");
        GameRun b;
        b.CopyStockTree();
        b.SharePerUserFolderWith(run);
        b.WriteFile("Data/Scenes/Level.json", "{\"level\": \"B's uncommitted edit\"}");

        ASSERT_TRUE(run.StartRunning());
        EditPerUserLevel();
        std::ofstream(run.PerUserData() / "Scenes" / "OnlyA.json") << "{\"a\": 1}";
        ASSERT_TRUE(run.Signal(aKilled ? SIGKILL : SIGTERM));
        run.Wait();

        ASSERT_TRUE(b.StartRunning());
        ASSERT_TRUE(b.Signal(SIGTERM));
        EXPECT_EQ(b.Wait(), 0) << b.Errors();
        const std::string startTrace = b.Trace();
        const fs::path bScenes = b.WorkingTree() / "Data" / "Scenes";
        EXPECT_EQ(ReadFileText(bScenes / "Level.json"),
                  "{\"level\": \"B's uncommitted edit\"}");
        EXPECT_FALSE(fs::exists(bScenes / "OnlyA.json"));
        EXPECT_TRUE(SavedBeside(bScenes / "Level.json").empty());
        if (aKilled) {
            EXPECT_EQ(SavedBeside(run.PerUserData() / "Scenes" / "Level.json"),
                      std::vector<std::string>{kEdited});
            EXPECT_NE(startTrace.find("another checkout (" +
                                      (run.WorkingTree() / "Data").string() + ")"),
                      std::string::npos)
                << startTrace;
        } else {
            EXPECT_EQ(ReadFileText(WorkingLevel()), kEdited) << "A's own edit went home";
            EXPECT_EQ(startTrace.find("WARNING: Program::StartUp"), std::string::npos)
                << startTrace;
        }
    }
}

TEST_F(LostEditsTest, AFileThatCannotBeMirroredBackIsNamedAndTheRestIsMirrored) {
    ASSERT_TRUE(run.StartRunning());
    // Files written while the game runs; one of them meets a folder where it should go.
    const fs::path scenes = run.WorkingTree() / "Data" / "Scenes";
    std::ofstream(run.PerUserData() / "Scenes" / "Blocked.json") << "{}";
    std::ofstream(run.PerUserData() / "Scenes" / "New.json") << "{\"new\": 1}";
    fs::create_directories(scenes / "Blocked.json" / "in the way");
    // A scratch file of an interrupted earlier mirror.
    std::ofstream(scenes / "Old.json.partial") << "half";
    ASSERT_TRUE(run.Signal(SIGTERM));
    EXPECT_EQ(run.Wait(), 1) << "a failed mirror is not a success";
    EXPECT_EQ(ReadFileText(scenes / "New.json"), "{\"new\": 1}");
    EXPECT_FALSE(fs::exists(scenes / "Old.json.partial"));
    const std::string error = run.Errors();
    EXPECT_NE(error.find("Blocked.json"), std::string::npos) << error;
    const std::string trace = run.Trace();
    EXPECT_NE(trace.find("] Catch\n"), std::string::npos);
    EXPECT_NE(trace.find("ERROR: Program::Exit - not mirrored back: "), std::string::npos);
    EXPECT_NE(trace.find("Blocked.json"), std::string::npos);
    EXPECT_TRUE(trace.ends_with("] End\n"));
}

// A folder the user may not write into (a read-only checkout, another user's files). The
// superuser ignores folder modes, so under root the game runs without the capabilities that
// override them, as an ordinary user would.
TEST_F(LostEditsTest, AReadOnlyScenesFolderLetsEveryOtherFileBeMirrored) {
    run.WriteFile("Data/Archetypes/Crate.json", "{\"crate\": 1}");
    std::vector<std::string> wrapper;
    GameRun::Environment environment;
    if (geteuid() == 0) {
        wrapper = {"/usr/bin/setpriv", "--bounding-set=-dac_override,-dac_read_search",
                   "--inh-caps=-dac_override,-dac_read_search"};
        // In a process started this way LeakSanitizer's tracer thread crashes at the exit more
        // often than not ("Tracer caught signal 11"), which ends the run with the sanitizers'
        // status instead of the game's. This one run goes without the leak check; every other
        // run of the game keeps it.
        if (const char* options = std::getenv("ASAN_OPTIONS")) {
            environment["ASAN_OPTIONS"] = std::string(options) + ":detect_leaks=0";
        }
    }
    ASSERT_TRUE(run.StartRunning(environment, wrapper));
    EditPerUserLevel();
    std::ofstream(run.PerUserData() / "Archetypes" / "Crate.json") << kEdited;
    std::ofstream(run.PerUserData() / "Scenes" / "Added.json") << "{\"added\": 1}";
    const fs::path scenes = run.WorkingTree() / "Data" / "Scenes";
    fs::permissions(scenes,
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    ASSERT_TRUE(run.Signal(SIGTERM));
    const auto status = run.Wait();
    fs::permissions(scenes, fs::perms::owner_write, fs::perm_options::add);

    EXPECT_EQ(status, 1) << "a failed mirror is not a success\n" << run.Errors();
    EXPECT_EQ(ReadFileText(run.WorkingTree() / "Data" / "Archetypes" / "Crate.json"), kEdited);
    EXPECT_FALSE(fs::exists(scenes / "Added.json"));
    const std::string error = run.Errors();
    for (const char* name : {"Level.json", "Added.json"}) {
        SCOPED_TRACE(name);
        EXPECT_NE(error.find(name), std::string::npos) << error;
        EXPECT_NE(run.Trace().find(name), std::string::npos);
    }
    EXPECT_EQ(error.find("Crate.json"), std::string::npos) << error;
    EXPECT_NE(ReadFileText(run.WorkingTree() / "Data" / "Trace_Log.txt").find("Engine::Shutdown"),
              std::string::npos)
        << "the trace log was mirrored back with the rest";
    EXPECT_EQ(ReadFileText(WorkingLevel()), "{\"level\": 1}")
        << "the read-only folder kept its file";
}

// A small file system of its own mounted over the working tree's scenes folder (the superuser
// only), taken away again when the test ends.
class FullScenesFolder {
public:
    explicit FullScenesFolder(const fs::path& scenes) : scenes(scenes) {
        const fs::path kept = scenes.parent_path() / "scenes-before-mount";
        fs::rename(scenes, kept);
        fs::create_directory(scenes);
        mounted = mount("tarnwick-test", scenes.c_str(), "tmpfs", 0, "size=256k") == 0;
        fs::copy(kept, scenes, fs::copy_options::recursive);
        fs::remove_all(kept);
    }
    ~FullScenesFolder() {
        if (mounted) {
            umount(scenes.c_str());
        }
    }
    FullScenesFolder(const FullScenesFolder&) = delete;
    FullScenesFolder& operator=(const FullScenesFolder&) = delete;

    // Writes a filler file until the file system has no block left.
    void Fill() const {
        std::ofstream filler(scenes / "filler.bin", std::ios::binary);
        const std::string block(4096, 'x');
        while (filler.write(block.data(), static_cast<std::streamsize>(block.size())) &&
               filler.flush()) {
        }
    }

    bool mounted = false;

private:
    fs::path scenes;
};

// A full disk at the exit: the two files that differ are named with the system's reason, and no
// file that needed no write is.
TEST_F(LostEditsTest, AFullDiskNamesOnlyTheEditedFilesAndSaysTheDiskIsFull) {
    const fs::path scenes = run.WorkingTree() / "Data" / "Scenes";
    FullScenesFolder full(scenes);
    if (!full.mounted) {
        GTEST_SKIP() << "mounting a small file system needs the superuser";
    }
    ASSERT_TRUE(run.StartRunning());
    EditPerUserLevel();
    std::ofstream(run.PerUserData() / "Scenes" / "Added.json") << "{\"added\": 1}";
    full.Fill();
    ASSERT_TRUE(run.Signal(SIGTERM));
    EXPECT_EQ(run.Wait(), 1) << "a failed mirror is not a success";

    const std::string error = run.Errors();
    EXPECT_EQ(CountOccurrences(error, "an edited file was not saved back"), 2u) << error;
    EXPECT_EQ(CountOccurrences(error, "No space left on device"), 2u) << error;
    for (const char* name : {"Level.json", "Added.json"}) {
        EXPECT_NE(error.find(name), std::string::npos) << error;
    }
    EXPECT_EQ(error.find("Other.json"), std::string::npos) << "unchanged: nothing to write";
    EXPECT_EQ(ReadFileText(WorkingLevel()), "{\"level\": 1}") << "the old file stays whole";
}

}  // namespace
