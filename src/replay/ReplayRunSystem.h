#pragma once
// Records a run's input, or replays a recorded run instead of the devices (ReplayFile.h has the
// file). Registered only when the program was started with --record or --replay.
//
// Recording writes how the run began (tick rate, random seed, start scene), then, tick by tick,
// the inputs delivered, the pointer's world position when it moves, the scene when it changes and
// a digest of the world every `digestEvery` ticks; the end line at the engine's shutdown. Only
// the first engine pass is recorded: a restart from the settings window ends the recording.
//
// Replaying starts from the recorded settings and seed, ignores the keyboard and mouse, and
// delivers the recorded inputs and pointer positions at their ticks. At every checkpoint it
// compares the scene and the digest with the recording; the first difference is reported in one
// trace warning naming its tick, and the replay goes on. After the recording's last tick the
// program ends normally.

#include <cstdint>
#include <fstream>
#include <memory>
#include <optional>
#include <string>

#include "engine/NamedSystem.h"
#include "replay/ReplayFile.h"

class ReplayRunSystem : public NamedSystem<SystemType::REPLAY_RUN_SYSTEM> {
public:
    static constexpr std::uint64_t kDigestEvery = 30;

    static ReplayRunSystem& Instance();

    // Records into `path` (created or replaced). False, with the reason, when the file cannot be
    // written.
    bool StartRecording(const std::string& path, std::string& error);
    // Replays the recording in `path`, its ticks back to back when `fast`. False, with the
    // reason, when the file cannot be read or is not a whole recording.
    bool StartReplay(const std::string& path, bool fast, std::string& error);

    void Initialize() override;
    void PreUpdate() override;
    void HandleMessage(const InputMessage& message) override;
    void ShutDown() override;

private:
    enum class Mode { kNone, kRecording, kReplaying, kDone };

    ReplayRunSystem() = default;

    // The checks and records made when tick `tick` begins (the world is that after tick - 1).
    void BeginRecordedTick(std::uint64_t tick);
    void BeginReplayedTick(std::uint64_t tick);
    // The scene loaded now, and traced when it changed since the last tick.
    const std::string& ObservedScene(std::uint64_t tick);
    std::string CurrentDigest() const;
    void Diverged(std::uint64_t tick, const std::string& what);
    void FinishReplay(std::uint64_t lastTick);

    Mode mode = Mode::kNone;
    std::string path;
    std::ofstream file;
    std::unique_ptr<ReplayWriter> writer;
    ReplayRecording recording;
    bool fast = false;
    // The next recorded event to apply or check.
    std::size_t nextEvent = 0;
    std::uint64_t lastTick = 0;
    std::string lastScene;
    std::optional<Vector2> lastPointer;
    // The recorded scene as of the current tick.
    std::string recordedScene;
    std::optional<std::uint64_t> firstDivergence;
};
