// The file layer under the per-user data mirror: splitting paths, streams, and reading whole
// folders. The mirror itself is tested in RunMirrorTest.

#include <gtest/gtest.h>

#include <filesystem>
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

}  // namespace
