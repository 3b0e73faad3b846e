// The kernel's file notifications as the live reload reads them: a saved file is reported once its
// writes have settled, once however many steps the save took, also in a folder made after the
// watch began, and a file only read is not reported.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/FileWatcher.h"
#include "support/TempDirectory.h"

namespace {

namespace fs = std::filesystem;

TEST(FileWatcherTest, ReportsEachSavedFileOnceWhenItHasSettled) {
    TempDirectory temp;
    temp.WriteFile("Data/Scenes/Level.json", "{}");
    temp.WriteFile("Data/Read.json", "{}");
    const std::string root = (temp.path() / "Data").string();
    FileWatcher watcher;
    std::string problem;
    ASSERT_TRUE(watcher.Watch({root, (temp.path() / "Missing").string()}, problem)) << problem;

    // Saved in two steps, as an editor that writes and then rewrites does.
    temp.WriteFile("Data/Scenes/Level.json", "{\"a\": 1}");
    temp.WriteFile("Data/Scenes/Level.json", "{\"a\": 2}");
    // Saved the safe way: a new file renamed over the old.
    temp.WriteFile("Data/Scenes/Other.json.tmp", "{}");
    fs::rename(temp.path() / "Data/Scenes/Other.json.tmp", temp.path() / "Data/Scenes/Other.json");
    // A folder made after the watch began, and a file in it.
    fs::create_directories(temp.path() / "Data/Tilemaps");
    const auto madeFolder = FileWatcher::Clock::now();
    temp.WriteFile("Data/Tilemaps/Map.json", "{}");
    std::ifstream(temp.path() / "Data/Read.json").get();

    EXPECT_TRUE(watcher.TakeChanges(madeFolder).empty()) << "nothing has settled yet";
    const auto later = FileWatcher::Clock::now() + 2 * FileWatcher::kSettleTime;
    // The folder's own watch may come after its first file was written: it is then reported
    // from the folder's listing. Either way it comes once.
    std::vector<std::string> changes = watcher.TakeChanges(later);
    std::sort(changes.begin(), changes.end());
    EXPECT_EQ(changes, (std::vector<std::string>{root + "/Scenes/Level.json",
                                                 root + "/Scenes/Other.json",
                                                 root + "/Scenes/Other.json.tmp",
                                                 root + "/Tilemaps/Map.json"}));
    EXPECT_TRUE(watcher.TakeChanges(later).empty()) << "each change is reported once";
}

}  // namespace
