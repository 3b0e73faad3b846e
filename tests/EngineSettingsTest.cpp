// Engine settings files: the router, what an engine start takes from the active settings file,
// the fallback to the default settings, and how a save replaces the file.

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "engine/DataDirectories.h"
#include "engine/Engine.h"
#include "engine/EngineSettings.h"
#include "entities/SceneSystem.h"
#include "game/GameComposition.h"
#include "graphics/GraphicsSystem.h"
#include "support/ChildProcess.h"
#include "support/GameTree.h"
#include "support/TraceMessages.h"
#include "tools/EngineSettingsSystem.h"

namespace {

constexpr const char* kErrorTag = "ERROR: ";

std::vector<std::string> Errors(const std::vector<std::string>& messages) {
    std::vector<std::string> errors;
    std::copy_if(messages.begin(), messages.end(), std::back_inserter(errors),
                 [](const std::string& message) { return message.starts_with(kErrorTag); });
    return errors;
}

// Beyond this many bytes every write to a file fails, as on a full disk; the trace log's few
// lines stay below it.
constexpr rlim_t kWriteLimit = 4096;

// Makes writes past `bytes` of any file fail with EFBIG while it lives (the signal such a write
// raises is ignored, so the writer sees the error).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) : previousHandler(std::signal(SIGXFSZ, SIG_IGN)) {
        getrlimit(RLIMIT_FSIZE, &previous);
        rlimit limited = previous;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &previous);
        std::signal(SIGXFSZ, previousHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    void (*previousHandler)(int);
    rlimit previous{};
};

std::string SettingsText(const std::string& runOnStart, const std::string& defaultEntityFile) {
    return nlohmann::json{{"defaultEntityFile", defaultEntityFile}, {"runOnStart", runOnStart}}
        .dump(2);
}

// Works on the per-user copy directly: no start-up mirror runs here, and Engine::Initialize
// points DataDirectory at that copy as well.
class EngineSettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(tree.perUserData());
        DataDirectory = tree.perUserData().string() + "/";
    }

    std::filesystem::path SettingsFolder() const {
        return tree.perUserData() / "EngineSettingFiles";
    }
    std::string RouterPath() const { return (SettingsFolder() / "SettingsRouter.txt").string(); }

    void WriteSettingsFile(const std::string& name, const std::string& text) const {
        const std::filesystem::path path = SettingsFolder() / name;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << text;
    }

    std::set<std::string> SettingsFolderListing() const {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(SettingsFolder())) {
            names.insert(entry.path().filename().string());
        }
        return names;
    }

    std::vector<std::string> Trace() const {
        return TraceMessages(tree.perUserData() / "Trace_Log.txt");
    }

    // Engine passes need the window's OpenGL context (systems create GL objects at start).
    void OpenWindow() {
        GraphicsSystem::Instance().Initialize();
        ASSERT_TRUE(GraphicsSystem::Instance().IsReady())
            << GraphicsSystem::Instance().startFailure;
    }
    void TearDown() override { GraphicsSystem::Instance().ShutDown(); }

    GameTree tree;
    Engine& engine = Engine::Instance();
};

TEST_F(EngineSettingsTest, RunOnStartDecidesWhetherAPassStartsPaused) {
    struct Case {
        const char* runOnStart;
        bool paused;
    };
    const Case cases[] = {
        {"0", true},   {"1", false},  {"true", false}, {"false", true}, {"2", false},
        {"-1", false}, {"0.0", true}, {"0.5", false},  {" 0 ", true},
    };
    OpenWindow();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.runOnStart);
        WriteSettingsFile("SettingsRouter.txt", "Active.json");
        WriteSettingsFile("Active.json", SettingsText(c.runOnStart, ""));
        engine.paused = !c.paused;

        engine.Initialize(GameComposition().engineSystems);
        EXPECT_EQ(EngineSettings::runOnStart, !c.paused);
        EXPECT_EQ(engine.paused, c.paused);
        EXPECT_TRUE(Errors(Trace()).empty());
        engine.Shutdown();
    }
}

// The optional members: the tick rate read when it is a number in its range, the tool switch when
// it holds a number or a boolean; each faulty one keeps its default with one error that names it
// and the file, and the rest of the settings are kept.
TEST_F(EngineSettingsTest, OptionalMembersAreReadAndAFaultyOneKeepsItsDefaultAndTheRest) {
    struct Case {
        const char* members;
        double ticksPerSecond;
        bool showTools;
        std::vector<std::string> reported;
    };
    const std::vector<Case> cases = {
        {"", 60.0, true, {}},
        {", \"ticksPerSecond\": \"120\"", 120.0, true, {}},
        {", \"ticksPerSecond\": \"10\"", 10.0, true, {}},
        {", \"ticksPerSecond\": \"5\"", 60.0, true, {"ticksPerSecond"}},
        {", \"ticksPerSecond\": \"1e9\"", 60.0, true, {"ticksPerSecond"}},
        {", \"ticksPerSecond\": \"fast\"", 60.0, true, {"ticksPerSecond"}},
        {", \"ticksPerSecond\": 120", 60.0, true, {"ticksPerSecond"}},
        {", \"showTools\": \"0\"", 60.0, false, {}},
        {", \"showTools\": \"false\"", 60.0, false, {}},
        {", \"showTools\": \"1\"", 60.0, true, {}},
        {", \"showTools\": \"hidden\"", 60.0, true, {"showTools"}},
        {", \"showTools\": 0", 60.0, true, {"showTools"}},
        {", \"ticksPerSecond\": \"30\", \"showTools\": \"0\"", 30.0, false, {}},
        {", \"ticksPerSecond\": \"5\", \"showTools\": \"x\"", 60.0, true,
         {"ticksPerSecond", "showTools"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.members);
        std::filesystem::remove(tree.perUserData() / "Trace_Log.txt");
        WriteSettingsFile("SettingsRouter.txt", "Active.json");
        WriteSettingsFile("Active.json", std::string("{\"defaultEntityFile\": \"Scenes/A.json\", "
                                                     "\"runOnStart\": \"1\"") +
                                             c.members + "}");
        EngineSettings::ticksPerSecond = 1.0;
        EngineSettings::showTools = !c.showTools;
        LoadEngineSettings();
        EXPECT_EQ(EngineSettings::ticksPerSecond, c.ticksPerSecond);
        EXPECT_EQ(EngineSettings::showTools, c.showTools);
        EXPECT_EQ(EngineSettings::defaultEntityFile, "Scenes/A.json");
        EXPECT_TRUE(EngineSettings::runOnStart);
        const std::vector<std::string> errors = Errors(Trace());
        ASSERT_EQ(errors.size(), c.reported.size());
        for (std::size_t i = 0; i < errors.size(); ++i) {
            EXPECT_NE(errors[i].find(c.reported[i]), std::string::npos) << errors[i];
            EXPECT_NE(errors[i].find("Active.json"), std::string::npos) << errors[i];
        }
    }
}

TEST_F(EngineSettingsTest, TrailingLineBreaksAndBlanksOfTheRouterAreNotPartOfTheName) {
    WriteSettingsFile("Active.json", SettingsText("1", "Scenes/Trimmed.json"));
    for (const char* router : {"Active.json", "Active.json\n", "Active.json\r\n", "Active.json \t\n\n"}) {
        SCOPED_TRACE(::testing::PrintToString(std::string(router)));
        WriteSettingsFile("SettingsRouter.txt", router);
        EngineSettings::defaultEntityFile.clear();
        EngineSettings::runOnStart = false;

        LoadEngineSettings();

        EXPECT_EQ(EngineSettings::defaultEntityFile, "Scenes/Trimmed.json");
        EXPECT_TRUE(EngineSettings::runOnStart);
        EXPECT_TRUE(Errors(Trace()).empty());
    }
    // Saving goes to the same file.
    WriteSettingsFile("SettingsRouter.txt", "Active.json\r\n");
    SaveSettings({{"defaultEntityFile", "Scenes/Saved.json"}, {"runOnStart", "0"}});
    EXPECT_FALSE(std::filesystem::exists(SettingsFolder() / "Active.json\r\n"));
    LoadEngineSettings();
    EXPECT_EQ(EngineSettings::defaultEntityFile, "Scenes/Saved.json");
}

TEST_F(EngineSettingsTest, UnusableSettingsStartTheEngineWithDefaultsAndOneError) {
    const std::string active = (SettingsFolder() / "Active.json").string();
    const std::string valid = SettingsText("1", "Scenes/Level.json");
    struct Case {
        const char* what;
        bool folderExists;
        std::optional<std::string> router;    // nothing: no router file
        std::optional<std::string> settings;  // nothing: no "Active.json"
        std::string namedFile;
        std::string reason;
    };
    const Case cases[] = {
        {"no settings folder", false, {}, {}, RouterPath(), "Failed To Open Stream"},
        {"no router file", true, {}, valid, RouterPath(), "names no settings file"},
        {"empty router file", true, "", valid, RouterPath(), "names no settings file"},
        // The router may be what is wrong, so the error names it as well.
        {"no settings file", true, "Active.json", {}, active,
         "is empty (it did not exist; \"" + RouterPath() + "\" names it)"},
        {"empty settings file", true, "Active.json", "", active, "is empty"},
        {"invalid JSON", true, "Active.json", "{\"runOnStart\": ", active, "parse error"},
        {"not an object", true, "Active.json", "[\"1\"]", active, "not a JSON object"},
        {"no runOnStart", true, "Active.json", R"({"defaultEntityFile": "Scenes/Level.json"})",
         active, "\"runOnStart\" is missing"},
        {"no defaultEntityFile", true, "Active.json", R"({"runOnStart": "1"})", active,
         "\"defaultEntityFile\" is missing"},
        {"runOnStart not a string", true, "Active.json",
         R"({"defaultEntityFile": "Scenes/Level.json", "runOnStart": 1})", active,
         "\"runOnStart\" is not a string"},
        {"defaultEntityFile not a string", true, "Active.json",
         R"({"defaultEntityFile": 7, "runOnStart": "1"})", active,
         "\"defaultEntityFile\" is not a string"},
        {"runOnStart not JSON", true, "Active.json", SettingsText("yes", "Scenes/Level.json"),
         active, "neither a number nor a boolean"},
        {"runOnStart a quoted string", true, "Active.json",
         SettingsText("\"1\"", "Scenes/Level.json"), active, "neither a number nor a boolean"},
        {"runOnStart null", true, "Active.json", SettingsText("null", "Scenes/Level.json"), active,
         "neither a number nor a boolean"},
        {"runOnStart empty", true, "Active.json", SettingsText("", "Scenes/Level.json"), active,
         "neither a number nor a boolean"},
    };
    OpenWindow();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(SettingsFolder());
        if (c.folderExists) {
            std::filesystem::create_directories(SettingsFolder());
        }
        if (c.router) {
            WriteSettingsFile("SettingsRouter.txt", *c.router);
        }
        if (c.settings) {
            WriteSettingsFile("Active.json", *c.settings);
        }
        // Left over from an earlier start; the fallback must replace them.
        EngineSettings::runOnStart = true;
        EngineSettings::defaultEntityFile = "Scenes/Stale.json";
        engine.paused = false;

        engine.Initialize(GameComposition().engineSystems);
        EXPECT_FALSE(EngineSettings::runOnStart);
        EXPECT_EQ(EngineSettings::defaultEntityFile, "");
        EXPECT_TRUE(engine.paused);
        EXPECT_TRUE(engine.running);
        EXPECT_EQ(SceneSystem::Instance().currentScene, nullptr);
        const std::vector<std::string> errors = Errors(Trace());
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_NE(errors[0].find("\"" + c.namedFile + "\""), std::string::npos) << errors[0];
        EXPECT_NE(errors[0].find(c.reason), std::string::npos) << errors[0];
        engine.Shutdown();
    }
}

TEST_F(EngineSettingsTest, SaveReplacesTheActiveFileWithSortedIndentedText) {
    WriteSettingsFile("SettingsRouter.txt", "Active.json");
    WriteSettingsFile("Active.json", std::string(300, ' ') + SettingsText("0", ""));

    SaveSettings({{"runOnStart", "1"}, {"defaultEntityFile", "Scenes/Level.json"}});

    EXPECT_EQ(ReadFileText(SettingsFolder() / "Active.json"),
              "{\n  \"defaultEntityFile\": \"Scenes/Level.json\",\n  \"runOnStart\": \"1\"\n}");
    EXPECT_EQ(SettingsFolderListing(),
              (std::set<std::string>{"Active.json", "SettingsRouter.txt"}));
    LoadEngineSettings();
    EXPECT_TRUE(EngineSettings::runOnStart);
    EXPECT_EQ(EngineSettings::defaultEntityFile, "Scenes/Level.json");
    EXPECT_TRUE(Errors(Trace()).empty());
}

TEST_F(EngineSettingsTest, FailedSaveLeavesTheFolderAsItWasWithOneError) {
    const std::string previous = SettingsText("0", "Scenes/Level.json");
    const nlohmann::json valid = {{"runOnStart", "1"}, {"defaultEntityFile", ""}};
    // Far more than the size limit below, so the write cannot complete.
    const nlohmann::json large = {{"runOnStart", "1"},
                                  {"defaultEntityFile", std::string(4 * kWriteLimit, 'x')}};
    struct Case {
        const char* what;
        std::string router;
        nlohmann::json settings;
        bool writeFails = false;
    };
    const Case cases[] = {
        {"not serializable", "Active.json", {{"runOnStart", "1"}, {"defaultEntityFile", "\xff"}}},
        {"no active file named", "", valid},
        {"write refused part way", "Active.json", large, true},
        // The replacing rename fails; the scratch file must not be left behind.
        {"active name is a folder", "Folder", valid},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(SettingsFolder());
        WriteSettingsFile("SettingsRouter.txt", c.router);
        WriteSettingsFile("Active.json", previous);
        WriteSettingsFile("Folder/Inside.json", previous);
        const std::set<std::string> listing = SettingsFolderListing();
        std::filesystem::remove(tree.perUserData() / "Trace_Log.txt");

        std::optional<FileSizeLimit> limit;
        if (c.writeFails) {
            limit.emplace(kWriteLimit);
        }
        SaveSettings(c.settings);
        limit.reset();

        EXPECT_EQ(ReadFileText(SettingsFolder() / "Active.json"), previous);
        EXPECT_EQ(ReadFileText(SettingsFolder() / "Folder" / "Inside.json"), previous);
        EXPECT_EQ(SettingsFolderListing(), listing);
        const std::vector<std::string> errors = Errors(Trace());
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_TRUE(errors[0].starts_with("ERROR: SaveSettings - ")) << errors[0];
    }
}

// Every file below the test's temporary root (the game tree and the per-user folder, which
// every name below would reach if it climbed out of the settings folder) with its content,
// leaving out the trace log, which the refusals write to.
std::map<std::filesystem::path, std::string> FilesBelow(const std::filesystem::path& root,
                                                        const std::filesystem::path& traceLog) {
    std::map<std::filesystem::path, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        if (entry.is_regular_file() && entry.path() != traceLog) {
            files[entry.path()] = ReadFileText(entry.path());
        }
    }
    return files;
}

TEST_F(EngineSettingsTest, NamesThatLeaveTheSettingsFolderAreRefusedAndTouchNoFile) {
    using namespace std::string_literals;
    // The settings folder is four levels below the temporary root; none of these climbs higher.
    const std::string badNames[] = {
        "..",
        ".",
        "../Escaped.json",
        "../../Escaped.json",
        "../../../../Escaped.json",
        "../../../../game/Data/Escaped.json",
        "..\\..\\Escaped.json",
        "Folder/Inside.json",
        "/Escaped.json",
        "Active.json\0../../Escaped.json"s,
        "Escaped.json\0"s,
    };
    const std::string previous = SettingsText("1", "Scenes/Level.json");
    const std::filesystem::path traceLog = tree.perUserData() / "Trace_Log.txt";
    const std::filesystem::path root = tree.root().parent_path();
    EngineSettingsSystem& window = EngineSettingsSystem::Instance();
    const nlohmann::json shown = {{"defaultEntityFile", "Scenes/Shown.json"}, {"runOnStart", "1"}};
    for (const std::string& name : badNames) {
        SCOPED_TRACE(::testing::PrintToString(name));
        std::filesystem::remove_all(SettingsFolder());
        WriteSettingsFile("Active.json", previous);
        WriteSettingsFile("Folder/Inside.json", previous);
        WriteSettingsFile("SettingsRouter.txt", name);
        const auto files = FilesBelow(root, traceLog);
        struct Step {
            const char* what;
            std::function<void()> run;
            std::string errorPrefix;
        };
        const Step steps[] = {
            {"load", [] { LoadEngineSettings(); }, "ERROR: LoadEngineSettings - "},
            {"save", [] { SaveSettings(DefaultSettingsJson()); }, "ERROR: SaveSettings - "},
            {"switch", [&] { window.SwitchSettingsFile(name); },
             "ERROR: EngineSettingsSystem::SwitchSettingsFile - "},
        };
        for (const Step& step : steps) {
            SCOPED_TRACE(step.what);
            std::filesystem::remove(traceLog);
            EngineSettings::runOnStart = true;
            EngineSettings::defaultEntityFile = "Scenes/Stale.json";
            window.settingsJson = shown;

            step.run();

            EXPECT_EQ(FilesBelow(root, traceLog), files);
            const std::vector<std::string> errors = Errors(Trace());
            ASSERT_EQ(errors.size(), 1u);
            EXPECT_TRUE(errors[0].starts_with(step.errorPrefix)) << errors[0];
            EXPECT_NE(errors[0].find("is not a file name inside EngineSettingFiles/"),
                      std::string::npos)
                << errors[0];
            EXPECT_EQ(window.settingsJson, shown);
            if (step.errorPrefix.find("Load") != std::string::npos) {
                EXPECT_FALSE(EngineSettings::runOnStart);
                EXPECT_EQ(EngineSettings::defaultEntityFile, "");
            }
        }
    }
}

// The window takes each member of a settings file it switches to, to show and save it again. A
// member that is an array or object (never a setting; a broken or hostile file, nested 100 000
// levels deep here) is not taken: copying, showing or writing it would go as deep as it nests.
TEST_F(EngineSettingsTest, SwitchingToAFileWithStructuredMembersTakesOnlyItsPlainValues) {
    const std::string nested = std::string(100000, '[') + std::string(100000, ']');
    WriteSettingsFile("SettingsRouter.txt", "Active.json");
    WriteSettingsFile("Deep.json",
                      R"({"defaultEntityFile": )" + nested + R"(, "runOnStart": "1"})");
    EngineSettingsSystem& window = EngineSettingsSystem::Instance();
    window.settingsJson = DefaultSettingsJson();

    window.SwitchSettingsFile("Deep.json");

    EXPECT_TRUE(window.settingsJson["defaultEntityFile"].is_null());
    EXPECT_EQ(window.settingsJson["runOnStart"], "1");
    const std::vector<std::string> errors = Errors(Trace());
    ASSERT_EQ(errors.size(), 1u) << ::testing::PrintToString(Trace());
    EXPECT_NE(errors[0].find((SettingsFolder() / "Deep.json").string()), std::string::npos)
        << errors[0];
    EXPECT_NE(errors[0].find("\"defaultEntityFile\""), std::string::npos) << errors[0];
}

TEST_F(EngineSettingsTest, NamesMadeOfDotsAreStillPlainFileNames) {
    for (const char* name : {"..Dotted.json", "Dotted..json", "...", "Name.With.Dots"}) {
        SCOPED_TRACE(name);
        std::filesystem::remove_all(SettingsFolder());
        WriteSettingsFile("SettingsRouter.txt", "Active.json");
        EngineSettingsSystem::Instance().settingsJson = DefaultSettingsJson();

        EngineSettingsSystem::Instance().SwitchSettingsFile(name);
        SaveSettings({{"defaultEntityFile", "Scenes/Dotted.json"}, {"runOnStart", "1"}});
        LoadEngineSettings();

        EXPECT_EQ(ReadFileText(SettingsFolder() / "SettingsRouter.txt"), name);
        EXPECT_EQ(SettingsFolderListing(), (std::set<std::string>{name, "SettingsRouter.txt"}));
        EXPECT_EQ(EngineSettings::defaultEntityFile, "Scenes/Dotted.json");
        EXPECT_TRUE(EngineSettings::runOnStart);
        EXPECT_TRUE(Errors(Trace()).empty());
    }
}

}  // namespace
