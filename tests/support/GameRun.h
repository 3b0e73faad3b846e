#pragma once
// The real `game` executable run as a person runs it, in folders of its own: a throw-away working
// tree (a copy of the repository's data, or only the stock pieces a test adds its files to), a
// per-user folder (XDG_DATA_HOME), files that catch its standard output and error, its sound
// device (OpenAL Soft's null output, or the wave driver recording into a file) and a private X
// display for its window. The same folders serve one run after another.
//
// Every wait is on what the game shows: its trace log, its console, its files, its window's
// pixels, its exit. Input goes in through the X server, and the calls that name the input a key
// or button is bound to return only once the game has traced that input's message, so a press is
// held until the game has seen it, whatever its frame rate.

#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/ChildProcess.h"
#include "support/DisplayWindow.h"
#include "support/PrivateDisplay.h"
#include "support/TempDirectory.h"
#include "support/WaveRecording.h"

class GameRun {
public:
    // Variables to set for the game; an empty optional removes one.
    using Environment = std::map<std::string, std::optional<std::string>>;

    static constexpr std::chrono::milliseconds kStartLimit{30000};
    static constexpr std::chrono::milliseconds kSceneLimit{60000};
    static constexpr std::chrono::milliseconds kInputLimit{20000};
    static constexpr std::chrono::milliseconds kExitLimit{30000};

    GameRun();
    ~GameRun();
    GameRun(const GameRun&) = delete;
    GameRun& operator=(const GameRun&) = delete;

    // The working tree, prepared before Start.
    // The repository's Data and Shaders copied, its Assets linked.
    void CopyShippedTree() const;
    // Only what every run draws with (shaders, meshes, Assets); the test writes the rest.
    void CopyStockTree() const;
    // Files of the repository's Data folder, copied to the same place in the working tree.
    void CopyShippedFiles(const std::vector<std::string>& names) const;
    // Writes a file below the working tree, creating its folders.
    void WriteFile(const std::filesystem::path& relative, const std::string& text) const;
    // Runs with the per-user folder of `other`, as a second checkout on the same machine does.
    // `other` must outlive this run.
    void SharePerUserFolderWith(const GameRun& other) { xdg = other.xdg; }
    // Engine settings that load `entityFile` ("" for none) at the start, running ("1") or paused.
    // Without `showTools` the tool windows start hidden, as the shipped game starts: clicks at the
    // window's edges then reach the game.
    void WriteStartSettings(const std::string& entityFile, const std::string& runOnStart,
                            bool showTools = true) const;
    // The sound the game puts out is recorded into SoundFile() instead of going nowhere.
    void RecordSound();

    // Starts the game (behind `wrapper`, a program that runs it, when given) on the private
    // display; false when there is no display. The trace logs of earlier runs are removed first,
    // so every line read is this run's.
    bool Start(const Environment& overrides = {}, const std::vector<std::string>& wrapper = {});
    // Waits until the engine has started (its first trace line), which is after the start's
    // mirror of the data.
    bool WaitForStart();
    // Waits until the game's window is on the screen and gives it the keyboard focus.
    bool OpenWindow();
    // Start and WaitForStart in one, saying what the game said when it did not start.
    ::testing::AssertionResult StartRunning(const Environment& overrides = {},
                                            const std::vector<std::string>& wrapper = {});
    // Starts the game and waits until its window has the keyboard focus and the game has
    // switched to `scene`.
    ::testing::AssertionResult StartOn(const std::string& scene, const Environment& overrides = {});
    DisplayWindow& window() { return *gameWindow; }
    // The command line the game gets after its name ("--record", FILE, ...).
    std::vector<std::string> arguments;
    bool Running() { return game && game->Running(); }

    const std::filesystem::path& WorkingTree() const { return tree; }
    // The per-user copy of Data the game works on while it runs.
    std::filesystem::path PerUserData() const;
    std::filesystem::path SoundFile() const;
    std::string Trace() const;
    std::vector<std::string> TraceLines() const;
    std::string Output() const;
    std::string Errors() const;
    // The scene the game switched to last; empty before the first switch.
    std::string Scene() const;
    bool WaitForScene(const std::string& scene, std::chrono::milliseconds timeout = kSceneLimit);
    bool WaitForTrace(const std::string& text, std::chrono::milliseconds timeout = kStartLimit);

    // Input the game has seen: each returns once the game traced the message of `input` (as
    // "CLICK", "UP", ...), the input the mapping file binds the key or button to.
    void KeyDown(const std::string& key, const std::string& input);
    void KeyUp(const std::string& key, const std::string& input);
    void ButtonDown(int button, const std::string& input);
    void ButtonUp(int button, const std::string& input);
    // Down, held for `hold` once the game has seen it (input: how long a person keeps it down),
    // and up again.
    void PressKey(const std::string& key, const std::string& input,
                  std::chrono::milliseconds hold = {});
    void PressButton(int button, const std::string& input, std::chrono::milliseconds hold = {});
    // The left button pressed and let go at a window pixel, as the CLICK input.
    void Click(int x, int y);

    // Asks the game to close through its window, as a window manager does.
    bool CloseWindow();
    bool Signal(int stopSignal);
    // The exit status, or nothing when the game did not end in time (it is then killed).
    std::optional<int> Wait(std::chrono::milliseconds timeout = kExitLimit);

private:
    void AwaitInput(const std::string& what, const std::string& input, bool pressed,
                    std::size_t sentBefore);
    std::size_t CountSent(const std::string& input, bool pressed) const;

    TempDirectory temp;
    std::filesystem::path tree;
    std::filesystem::path xdg;
    Environment sound;
    PrivateDisplay display;
    std::unique_ptr<DisplayWindow> gameWindow;
    std::unique_ptr<ChildProcess> game;
};
