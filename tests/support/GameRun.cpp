#include "support/GameRun.h"

#include <gtest/gtest.h>

#include <signal.h>

#include <fstream>
#include <thread>

#include <nlohmann/json.hpp>

#include "support/StockData.h"
#include "support/TraceMessages.h"

namespace {
namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr const char* kWindowTitle = "Tarnwick";
constexpr const char* kTraceLog = "Trace_Log.txt";
constexpr const char* kFirstTraceLine = "Engine::Initialize";
constexpr auto kStopLimit = 5s;

const fs::path kSource = TARNWICK_SOURCE_DIR;
}  // namespace

GameRun::GameRun()
    : tree(temp.path() / "game"),
      xdg(temp.path() / "xdg"),
      sound{{"ALSOFT_DRIVERS", "null"}, {"ALSOFT_CONF", std::nullopt}} {
    fs::create_directories(tree / "Data");
    fs::create_directories(tree / "Shaders");
}

GameRun::~GameRun() {
    if (Running()) {
        game->Terminate(kStopLimit);
    }
}

void GameRun::CopyShippedTree() const {
    const auto options = fs::copy_options::recursive | fs::copy_options::overwrite_existing;
    fs::copy(kSource / "Data", tree / "Data", options);
    fs::copy(kSource / "Shaders", tree / "Shaders", options);
    fs::create_directory_symlink(kSource / "Assets", tree / "Assets");
}

void GameRun::CopyStockTree() const {
    CopyStockData(tree);
}

void GameRun::CopyShippedFiles(const std::vector<std::string>& names) const {
    for (const std::string& name : names) {
        fs::create_directories((tree / "Data" / name).parent_path());
        fs::copy_file(kSource / "Data" / name, tree / "Data" / name,
                      fs::copy_options::overwrite_existing);
    }
}

void GameRun::WriteFile(const fs::path& relative, const std::string& text) const {
    const fs::path path = tree / relative;
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

void GameRun::WriteStartSettings(const std::string& entityFile, const std::string& runOnStart,
                                 bool showTools) const {
    WriteFile("Data/EngineSettingFiles/SettingsRouter.txt", "Start.json");
    nlohmann::json settings{{"defaultEntityFile", entityFile}, {"runOnStart", runOnStart}};
    if (!showTools) {
        settings["showTools"] = "0";
    }
    WriteFile("Data/EngineSettingFiles/Start.json", settings.dump(2));
}

void GameRun::RecordSound() {
    const fs::path config = temp.path() / "alsoft.conf";
    WaveRecording::WriteDriverConfig(config, SoundFile());
    sound = {{"ALSOFT_CONF", config.string()}, {"ALSOFT_DRIVERS", std::nullopt}};
}

bool GameRun::Start(const Environment& overrides, const std::vector<std::string>& wrapper) {
    if (display.name().empty()) {
        ADD_FAILURE() << "no private X server";
        return false;
    }
    fs::remove(tree / "Data" / kTraceLog);
    fs::remove(PerUserData() / kTraceLog);
    Environment environment = overrides;
    environment.insert({"XDG_DATA_HOME", xdg.string()});
    environment.insert({"DISPLAY", display.name()});
    environment.insert(sound.begin(), sound.end());
    std::vector<std::string> command = wrapper;
    command.push_back(TARNWICK_GAME_EXECUTABLE);
    command.insert(command.end(), arguments.begin(), arguments.end());
    game = std::make_unique<ChildProcess>(ChildProcess::Options{
        command, tree, environment, temp.path() / "out.txt", temp.path() / "err.txt"});
    gameWindow = std::make_unique<DisplayWindow>(display, kWindowTitle, game->Pid());
    return true;
}

bool GameRun::WaitForStart() {
    return WaitForTrace(kFirstTraceLine);
}

bool GameRun::OpenWindow() {
    return gameWindow->Find(kStartLimit) && gameWindow->Focus();
}

::testing::AssertionResult GameRun::StartRunning(const Environment& overrides,
                                                 const std::vector<std::string>& wrapper) {
    if (!Start(overrides, wrapper)) {
        return ::testing::AssertionFailure() << "the game was not started";
    }
    if (!WaitForStart()) {
        return ::testing::AssertionFailure() << "the engine never started:\n" << Errors();
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult GameRun::StartOn(const std::string& scene,
                                            const Environment& overrides) {
    if (!Start(overrides)) {
        return ::testing::AssertionFailure() << "the game was not started";
    }
    if (!OpenWindow()) {
        return ::testing::AssertionFailure() << "no window of the game to focus:\n" << Errors();
    }
    if (!WaitForScene(scene)) {
        return ::testing::AssertionFailure() << "never switched to " << scene << ":\n"
                                             << Trace() << Errors();
    }
    return ::testing::AssertionSuccess();
}

fs::path GameRun::PerUserData() const {
    return xdg / "OrreryTestDirectory" / "Data";
}

fs::path GameRun::SoundFile() const {
    return temp.path() / "sound.wav";
}

std::string GameRun::Trace() const {
    return ReadFileText(PerUserData() / kTraceLog);
}

std::vector<std::string> GameRun::TraceLines() const {
    return TraceMessages(PerUserData() / kTraceLog);
}

std::string GameRun::Output() const {
    return ReadFileText(temp.path() / "out.txt");
}

std::string GameRun::Errors() const {
    return ReadFileText(temp.path() / "err.txt");
}

std::string GameRun::Scene() const {
    return LastSceneSwitch(TraceLines());
}

bool GameRun::WaitForScene(const std::string& scene, std::chrono::milliseconds timeout) {
    return WaitUntil([&] { return Scene() == scene; }, timeout);
}

bool GameRun::WaitForTrace(const std::string& text, std::chrono::milliseconds timeout) {
    return WaitUntil([&] { return Trace().find(text) != std::string::npos; }, timeout);
}

std::size_t GameRun::CountSent(const std::string& input, bool pressed) const {
    return CountOccurrences(Trace(), InputSentTrace(input, pressed));
}

void GameRun::AwaitInput(const std::string& what, const std::string& input, bool pressed,
                         std::size_t sentBefore) {
    EXPECT_TRUE(WaitUntil([&] { return CountSent(input, pressed) > sentBefore; }, kInputLimit))
        << "the game never sent " << InputSentTrace(input, pressed) << " for " << what;
}

void GameRun::KeyDown(const std::string& key, const std::string& input) {
    const std::size_t before = CountSent(input, true);
    gameWindow->KeyDown(key);
    AwaitInput(key, input, true, before);
}

void GameRun::KeyUp(const std::string& key, const std::string& input) {
    const std::size_t before = CountSent(input, false);
    gameWindow->KeyUp(key);
    AwaitInput(key, input, false, before);
}

void GameRun::ButtonDown(int button, const std::string& input) {
    const std::size_t before = CountSent(input, true);
    gameWindow->ButtonDown(button);
    AwaitInput("button " + std::to_string(button), input, true, before);
}

void GameRun::ButtonUp(int button, const std::string& input) {
    const std::size_t before = CountSent(input, false);
    gameWindow->ButtonUp(button);
    AwaitInput("button " + std::to_string(button), input, false, before);
}

void GameRun::PressKey(const std::string& key, const std::string& input,
                       std::chrono::milliseconds hold) {
    KeyDown(key, input);
    std::this_thread::sleep_for(hold);
    KeyUp(key, input);
}

void GameRun::PressButton(int button, const std::string& input, std::chrono::milliseconds hold) {
    ButtonDown(button, input);
    std::this_thread::sleep_for(hold);
    ButtonUp(button, input);
}

void GameRun::Click(int x, int y) {
    gameWindow->PointAt(x, y);
    PressButton(DisplayWindow::kLeftButton, "CLICK");
}

bool GameRun::CloseWindow() {
    // The window may not exist yet: the request is sent once it does.
    return WaitUntil([&] { return gameWindow->Close(); }, kStartLimit);
}

bool GameRun::Signal(int stopSignal) {
    return kill(game->Pid(), stopSignal) == 0;
}

std::optional<int> GameRun::Wait(std::chrono::milliseconds timeout) {
    return game->Wait(timeout);
}
