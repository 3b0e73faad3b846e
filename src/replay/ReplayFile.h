#pragma once
// A recorded run, as `game --record FILE` writes it and `game --replay FILE` reads it: JSON
// Lines, one object per line.
//
//   {"replay": 1, "ticksPerSecond": 60.0, "seed": 8237461, "startScene": "Scenes/MenuScene.json",
//    "runOnStart": true, "digestEvery": 30}                      the first line: how the run began
//   {"tick": 12, "input": "CLICK", "pressed": true}              an input delivered in tick 12
//   {"tick": 12, "pointer": [-310.5, 144.25]}                   the pointer's world position from
//                                                                tick 12 on
//   {"tick": 40, "scene": "MainScene.json"}                     the scene loaded when tick 40 began
//   {"tick": 60, "digest": "9f3c0a1b22d4e5f6"}                  the world after tick 60
//   {"end": 412}                                                 the last tick of the run
//
// Events come in tick order. A file without its end line (a run that crashed, a copy cut
// short) is refused as a whole.

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "engine/InputType.h"
#include "engine/Vector2.h"

struct ReplayStart {
    double ticksPerSecond = 60.0;
    std::uint64_t seed = 0;
    std::string startScene;
    bool runOnStart = true;
    std::uint64_t digestEvery = 30;
};

struct ReplayEvent {
    enum class Kind { kInput, kPointer, kScene, kDigest };
    Kind kind = Kind::kInput;
    std::uint64_t tick = 0;
    InputType input = InputType::UNKNOWN;
    bool pressed = false;
    Vector2 pointer;
    // The scene's file name, or the digest's text.
    std::string text;
};

struct ReplayRecording {
    ReplayStart start;
    std::vector<ReplayEvent> events;
    std::uint64_t endTick = 0;
};

// Reads a whole recording. On a fault, nothing and `error` says which line and why.
std::optional<ReplayRecording> ReadReplayFile(const std::string& path, std::string& error);

// Writes the lines of a recording as they happen.
class ReplayWriter {
public:
    explicit ReplayWriter(std::ostream& out) : out(out) {}
    void Start(const ReplayStart& start);
    void Event(const ReplayEvent& event);
    void End(std::uint64_t lastTick);

private:
    std::ostream& out;
};
