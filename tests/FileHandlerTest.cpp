// The file layer under the per-user data mirror: splitting paths, streams, and reading and
// mirroring whole folders.

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <vector>

#include "SharedDependencies/Source/FileHandler.h"
#include "SharedDependencies/Source/SplitString.h"
#include "SharedDependencies/Source/Stream.h"
#include "SharedDependencies/Source/StreamOpenError.h"
#include "support/TempDirectory.h"

namespace {

namespace fs = std::filesystem;

// The extension list the program mirrors its data with.
const std::vector<std::string> kMirroredExtensions{".json", ".txt", ".TXT"};
const std::vector<std::string> kPathSeparators{"\\", "\\\\", "/", "//"};

struct SplitCase {
    const char* name;
    std::string text;
    std::vector<std::string> delimiters;
    std::vector<std::string> expected;
};

TEST(SplitStringTest, SplitsAtDelimitersWithoutEmptyTokens) {
    const std::vector<SplitCase> cases{
        {"mixed separators", "a//b\\c/", kPathSeparators, {"a", "b", "c"}},
        {"empty text", "", kPathSeparators, {}},
        {"separators only", "/\\//\\\\", kPathSeparators, {}},
        {"no separator", "Level.json", kPathSeparators, {"Level.json"}},
        {"leading and trailing", "//Scenes/Level.json/", kPathSeparators, {"Scenes", "Level.json"}},
        {"double backslash", "Data\\\\Scenes", kPathSeparators, {"Data", "Scenes"}},
        {"multi-character delimiter", "Update::Sprite::Draw", {"::"}, {"Update", "Sprite", "Draw"}},
        {"first listed delimiter wins", "xaby", {"a", "ab"}, {"x", "by"}},
        {"listed order beats length", "xaby", {"ab", "a"}, {"x", "y"}},
        {"empty delimiter ignored", "ab", {"", "b"}, {"a"}},
        {"no delimiters", "a/b", {}, {"a/b"}},
    };
    for (const SplitCase& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        EXPECT_EQ(SplitString(testCase.text, testCase.delimiters), testCase.expected);
    }
}

struct OpenFailureCase {
    const char* name;
    const char* relativePath;
    std::ios::openmode mode;
};

TEST(StreamTest, FailedOpenThrowsNamingThePath) {
    TempDirectory temp;
    const std::vector<OpenFailureCase> cases{
        {"read a missing file", "missing.json", Stream::kRead},
        {"read-write needs an existing file", "missing.txt", Stream::kReadWrite},
        {"append cannot create a missing folder", "NoFolder/created.json",
         Stream::kReadWriteAppend},
        {"truncate cannot create a missing folder", "NoFolder/settings.json",
         Stream::kWriteTruncate},
    };
    for (const OpenFailureCase& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        const std::string path = (temp.path() / testCase.relativePath).string();
        try {
            Stream stream(path, testCase.mode);
            ADD_FAILURE() << "opened " << path;
        } catch (const StreamOpenError& error) {
            EXPECT_EQ(std::string(error.what()), "Failed To Open Stream: " + path);
        }
        EXPECT_FALSE(fs::exists(path));
    }
}

TEST(StreamTest, FailedOpenIsCatchableAsRuntimeError) {
    EXPECT_THROW(Stream("/nonexistent-folder/Scenes/Missing.json", Stream::kRead),
                 std::runtime_error);
}

TEST(StreamTest, ReadWriteAppendCreatesMissingFileEmpty) {
    TempDirectory temp;
    Stream stream((temp.path() / "DefaultInputMappings.txt").string(), Stream::kReadWriteAppend);
    std::string content;
    stream.ReadAll(content);
    EXPECT_EQ(content, "");
    EXPECT_TRUE(fs::exists(temp.path() / "DefaultInputMappings.txt"));
}

TEST(StreamTest, ReadWriteAppendReadsFromStartAndWritesAtEnd) {
    TempDirectory temp;
    const fs::path file = temp.WriteFile("mesh.txt", "first\n");
    {
        Stream stream(file.string(), Stream::kReadWriteAppend);
        std::string line;
        std::getline(stream, line);
        EXPECT_EQ(line, "first");
        stream.clear();
        stream << "second\n";
    }
    EXPECT_EQ(temp.ReadFile("mesh.txt"), "first\nsecond\n");
}

TEST(StreamTest, ReadAllAppendsRemainingContent) {
    TempDirectory temp;
    const fs::path file = temp.WriteFile("scene.json", "{\n  \"a\": 1\n}\n");
    Stream stream(file.string(), Stream::kRead);
    std::string header;
    std::getline(stream, header);
    std::string content = "kept|";
    stream.ReadAll(content);
    EXPECT_EQ(content, "kept|  \"a\": 1\n}\n");
}

// Clear must leave a stream usable even after a read loop ran into the end of the file and left
// it failed.
TEST(StreamTest, ClearAfterReadingToEndEmptiesFileForRewrite) {
    TempDirectory temp;
    const fs::path file = temp.WriteFile("settings.json", "a much longer\nold content\n");
    {
        Stream stream(file.string(), Stream::kReadWriteAppend);
        std::string line;
        while (std::getline(stream, line)) {
        }
        ASSERT_TRUE(stream.fail());
        stream.Clear();
        stream << "new";
        EXPECT_TRUE(stream.good());
    }
    EXPECT_EQ(temp.ReadFile("settings.json"), "new");
}

TEST(StreamTest, ClearOfVanishedFileRaisesResizeError) {
    TempDirectory temp;
    const fs::path file = temp.WriteFile("gone.json", "content");
    Stream stream(file.string(), Stream::kReadWriteAppend);
    fs::remove(file);
    try {
        stream.Clear();
        FAIL() << "Clear truncated a file that no longer exists";
    } catch (const fs::filesystem_error& error) {
        EXPECT_NE(std::string(error.what()).find("resize_file"), std::string::npos) << error.what();
    }
}

TEST(ReadDirectoryTest, KeysAreWalkPathsOfMatchingFiles) {
    TempDirectory temp;
    temp.WriteFile("Data/Settings.json", "settings");
    temp.WriteFile("Data/Scenes/Deep/Level.json", "level");
    temp.WriteFile("Data/Mappings.TXT", "mappings");
    temp.WriteFile("Data/Odd.Txt", "odd");
    temp.WriteFile("Data/image.png", "png");
    temp.WriteFile("Data/Scenes/Loud.JSON", "loud");
    const std::string folder = (temp.path() / "Data").string();

    std::unordered_map<std::string, std::string> files;
    FileHandler::ReadDirectory(files, folder, kMirroredExtensions);

    const std::unordered_map<std::string, std::string> expected{
        {folder + "/Settings.json", "settings"},
        {folder + "/Scenes/Deep/Level.json", "level"},
        {folder + "/Mappings.TXT", "mappings"},
    };
    EXPECT_EQ(files, expected);
}

TEST(ReadDirectoryTest, RejectsWhatIsNotAFolder) {
    TempDirectory temp;
    const fs::path file = temp.WriteFile("file.json", "{}");
    for (const fs::path& folder : {temp.path() / "missing", file}) {
        SCOPED_TRACE(folder.string());
        std::unordered_map<std::string, std::string> files;
        try {
            FileHandler::ReadDirectory(files, folder.string(), kMirroredExtensions);
            ADD_FAILURE() << "read " << folder;
        } catch (const std::invalid_argument& error) {
            EXPECT_STREQ(error.what(), "Invalid Folder For ReadDirectory().");
        }
    }
}

// A source tree and a destination that already holds files, copied with the mirror's extension
// list.
class CopyDirectoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        temp.WriteFile("Data/Scenes/Level.json", "{ \"level\": 1 }\n");
        temp.WriteFile("Data/Deep/Er/Notes.TXT", "notes\n");
        temp.WriteFile("Data/Top.txt", "top\n");
        temp.WriteFile("Data/Odd.Txt", "odd\n");
        temp.WriteFile("Data/Scenes/Loud.JSON", "loud\n");
        temp.WriteFile("Data/Textures/image.png", "png");
        temp.WriteFile("Mirror/Top.txt", "an older and much longer top file\n");
        temp.WriteFile("Mirror/OnlyHere.json", "kept\n");
    }

    std::string Folder(const char* name) const { return (temp.path() / name).string(); }

    TempDirectory temp;
};

struct CopiedFileCase {
    const char* relativePath;
    std::optional<std::string> expected;  // nullopt: must not exist in the destination
};

TEST_F(CopyDirectoryTest, MirrorsMatchingFilesAndKeepsTheRest) {
    FileHandler::CopyDirectory(Folder("Data"), Folder("Mirror"), kMirroredExtensions);

    const std::vector<CopiedFileCase> cases{
        {"Scenes/Level.json", "{ \"level\": 1 }\n"},
        {"Deep/Er/Notes.TXT", "notes\n"},
        {"Top.txt", "top\n"},
        {"OnlyHere.json", "kept\n"},
        {"Odd.Txt", std::nullopt},
        {"Scenes/Loud.JSON", std::nullopt},
        {"Textures/image.png", std::nullopt},
    };
    for (const CopiedFileCase& testCase : cases) {
        SCOPED_TRACE(testCase.relativePath);
        const fs::path copied = fs::path("Mirror") / testCase.relativePath;
        if (testCase.expected) {
            EXPECT_EQ(temp.ReadFile(copied), *testCase.expected);
        } else {
            EXPECT_FALSE(fs::exists(temp.path() / copied));
        }
    }
    EXPECT_EQ(temp.ReadFile("Data/Top.txt"), "top\n");
}

// Copying back and forth is how edits made on the per-user copy return to the working tree.
TEST_F(CopyDirectoryTest, RoundTripReturnsEditsToTheSource) {
    FileHandler::CopyDirectory(Folder("Data"), Folder("Mirror"), kMirroredExtensions);
    temp.WriteFile("Mirror/Scenes/Level.json", "{}\n");
    FileHandler::CopyDirectory(Folder("Mirror"), Folder("Data"), kMirroredExtensions);

    EXPECT_EQ(temp.ReadFile("Data/Scenes/Level.json"), "{}\n");
    EXPECT_EQ(temp.ReadFile("Data/OnlyHere.json"), "kept\n");
}

TEST_F(CopyDirectoryTest, TrailingSeparatorsDoNotChangeWhereFilesGo) {
    FileHandler::CopyDirectory(Folder("Data") + "/", Folder("Fresh") + "/", kMirroredExtensions);

    EXPECT_EQ(temp.ReadFile("Fresh/Scenes/Level.json"), "{ \"level\": 1 }\n");
    EXPECT_EQ(temp.ReadFile("Fresh/Top.txt"), "top\n");
}

TEST(CopyDirectoryFoldersTest, CreatesMissingSourceAndDestination) {
    TempDirectory temp;
    const fs::path source = temp.path() / "Missing" / "Data";
    const fs::path destination = temp.path() / "User" / "OrreryTestDirectory" / "Data";

    FileHandler::CopyDirectory(source.string(), destination.string(), kMirroredExtensions);

    EXPECT_TRUE(fs::is_directory(source));
    EXPECT_TRUE(fs::is_directory(destination));
    EXPECT_TRUE(fs::is_empty(destination));
}

TEST(CopyDirectoryFoldersTest, DestinationThatIsAFileRaisesCreateError) {
    TempDirectory temp;
    temp.WriteFile("Data/Level.json", "{}");
    const fs::path blocker = temp.WriteFile("Blocker", "a file where a folder should be");
    try {
        FileHandler::CopyDirectory((temp.path() / "Data").string(), (blocker / "Data").string(),
                                   kMirroredExtensions);
        FAIL() << "copied below a regular file";
    } catch (const fs::filesystem_error& error) {
        EXPECT_NE(std::string(error.what()).find("create_directories"), std::string::npos)
            << error.what();
    }
}

}  // namespace

// A copy that cannot replace its target must leave the target as it was and no scratch file,
// and every other file is still copied.
TEST_F(CopyDirectoryTest, FailedReplaceLeavesTheTargetAndNoScratchFile) {
    fs::create_directories(temp.path() / "Mirror" / "Scenes" / "Level.json" / "inside");
    const MirrorReport report =
        FileHandler::CopyDirectory(Folder("Data"), Folder("Mirror"), kMirroredExtensions);
    ASSERT_EQ(report.failed.size(), 1u);
    EXPECT_NE(report.failed[0].find("Level.json"), std::string::npos) << report.failed[0];
    EXPECT_TRUE(fs::is_directory(temp.path() / "Mirror" / "Scenes" / "Level.json" / "inside"));
    EXPECT_EQ(temp.ReadFile("Mirror/Top.txt"), "top\n") << "the others are copied";
    for (const auto& entry : fs::recursive_directory_iterator(temp.path() / "Mirror")) {
        EXPECT_NE(entry.path().extension(), ".partial") << entry.path();
    }
}

TEST_F(CopyDirectoryTest, ScratchFilesOfAnInterruptedMirrorAreRemoved) {
    temp.WriteFile("Mirror/Scenes/Level.json.partial", "half");
    temp.WriteFile("Mirror/Gone.txt.partial", "half");
    temp.WriteFile("Mirror/notes.partial", "not ours");
    FileHandler::CopyDirectory(Folder("Data"), Folder("Mirror"), kMirroredExtensions);
    EXPECT_FALSE(fs::exists(temp.path() / "Mirror" / "Scenes" / "Level.json.partial"));
    EXPECT_FALSE(fs::exists(temp.path() / "Mirror" / "Gone.txt.partial"));
    EXPECT_TRUE(fs::exists(temp.path() / "Mirror" / "notes.partial"));
}

TEST_F(CopyDirectoryTest, NewerDifferingTargetsAreKeptOnlyWhenAsked) {
    FileHandler::CopyDirectory(Folder("Data"), Folder("Mirror"), kMirroredExtensions);
    const fs::path edited = temp.path() / "Mirror" / "Scenes" / "Level.json";
    temp.WriteFile("Mirror/Scenes/Level.json", "edited");
    fs::last_write_time(edited, fs::last_write_time(temp.path() / "Data" / "Scenes" / "Level.json") +
                                    std::chrono::seconds(5));
    const MirrorReport keeping =
        FileHandler::CopyDirectory(Folder("Data"), Folder("Mirror"), kMirroredExtensions, true);
    EXPECT_EQ(keeping.kept, std::vector<std::string>{edited.string()});
    EXPECT_EQ(temp.ReadFile("Mirror/Scenes/Level.json"), "edited");
    const MirrorReport replacing =
        FileHandler::CopyDirectory(Folder("Data"), Folder("Mirror"), kMirroredExtensions);
    EXPECT_TRUE(replacing.kept.empty());
    EXPECT_EQ(temp.ReadFile("Mirror/Scenes/Level.json"), "{ \"level\": 1 }\n");
}

TEST_F(CopyDirectoryTest, LinksThatCannotBeFollowedAreSkippedAndReported) {
    fs::create_symlink(temp.path() / "nowhere", temp.path() / "Data" / ".#Lock.json");
    fs::create_symlink(temp.path() / "nowhere", temp.path() / "Data" / "lockfile");
    const MirrorReport report =
        FileHandler::CopyDirectory(Folder("Data"), Folder("Mirror"), kMirroredExtensions);
    EXPECT_EQ(report.skipped.size(), 1u) << "only the one that looks like data is reported";
    EXPECT_EQ(temp.ReadFile("Mirror/Top.txt"), "top\n");
}
