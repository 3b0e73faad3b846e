#include "replay/ReplayRunSystem.h"

#include <filesystem>
#include <utility>

#include "engine/Engine.h"
#include "engine/EngineSettings.h"
#include "engine/EnumNames.h"
#include "engine/InputMessage.h"
#include "engine/Random.h"
#include "engine/TickClock.h"
#include "engine/TraceLog.h"
#include "entities/Entity.h"
#include "entities/SceneSystem.h"
#include "input/InputSystem.h"
#include "physics/Transform.h"
#include "replay/WorldDigest.h"

namespace {
constexpr const char* kTrace = "ReplayRunSystem - ";
}  // namespace

ReplayRunSystem& ReplayRunSystem::Instance() {
    static auto* system = new ReplayRunSystem();
    return *system;
}

bool ReplayRunSystem::StartRecording(const std::string& file_path, std::string& error) {
    path = std::filesystem::absolute(file_path).string();
    file.open(path, std::ios::binary | std::ios::trunc);
    if (!file) {
        error = path + ": the recording cannot be written there";
        return false;
    }
    writer = std::make_unique<ReplayWriter>(file);
    mode = Mode::kRecording;
    return true;
}

bool ReplayRunSystem::StartReplay(const std::string& file_path, bool backToBack,
                                  std::string& error) {
    path = std::filesystem::absolute(file_path).string();
    std::optional<ReplayRecording> read = ReadReplayFile(path, error);
    if (!read) {
        return false;
    }
    recording = std::move(*read);
    fast = backToBack;
    mode = Mode::kReplaying;
    return true;
}

void ReplayRunSystem::Initialize() {
    lastTick = 0;
    nextEvent = 0;
    lastScene.clear();
    lastPointer.reset();
    switch (mode) {
        case Mode::kRecording: {
            TraceLog::Log(kTrace + std::string("recording into ") + path);
            writer->Start({EngineSettings::ticksPerSecond, RandomSeed(),
                           EngineSettings::defaultEntityFile, EngineSettings::runOnStart,
                           kDigestEvery});
            break;
        }
        case Mode::kReplaying: {
            TraceLog::Log(kTrace + std::string("replaying ") + path +
                          (fast ? ", ticks back to back" : ""));
            const ReplayStart& start = recording.start;
            EngineSettings::ticksPerSecond = start.ticksPerSecond;
            EngineSettings::defaultEntityFile = start.startScene;
            // The recorded ticks began when the run did, or when it was first let run: either
            // way the replay's ticks start at once.
            EngineSettings::runOnStart = true;
            SeedRandom(start.seed);
            InputSystem::Instance().devicesIgnored = true;
            engine->ticksPerFrame = fast ? TickClock::kMaxTicksPerFrame : 0;
            break;
        }
        case Mode::kDone:
            TraceLog::Warning(kTrace + std::string("the recording or replay ended with the first "
                                                   "engine pass; this pass runs as usual"));
            InputSystem::Instance().devicesIgnored = false;
            engine->ticksPerFrame = 0;
            mode = Mode::kNone;
            break;
        case Mode::kNone:
            break;
    }
}

void ReplayRunSystem::PreUpdate() {
    // Updates while paused are not ticks.
    const std::uint64_t tick = engine->tickCount;
    if (tick == lastTick || engine->originEntity == nullptr) {
        return;
    }
    lastTick = tick;
    if (mode == Mode::kRecording) {
        BeginRecordedTick(tick);
    } else if (mode == Mode::kReplaying) {
        BeginReplayedTick(tick);
    }
}

const std::string& ReplayRunSystem::ObservedScene(std::uint64_t tick) {
    const std::string& scene = SceneSystem::Instance().currentSceneName;
    if (scene != lastScene) {
        lastScene = scene;
        TraceLog::Log(kTrace + std::string("tick ") + std::to_string(tick) + ": scene " +
                      (scene.empty() ? "(none)" : scene));
    }
    return scene;
}

std::string ReplayRunSystem::CurrentDigest() const {
    return DigestText(WorldDigest(*engine->originEntity));
}

void ReplayRunSystem::BeginRecordedTick(std::uint64_t tick) {
    if (tick > 1 && (tick - 1) % kDigestEvery == 0) {
        writer->Event({ReplayEvent::Kind::kDigest, tick - 1, {}, false, {}, CurrentDigest()});
    }
    const std::string previous = lastScene;
    const std::string& scene = ObservedScene(tick);
    if (tick == 1 || scene != previous) {
        writer->Event({ReplayEvent::Kind::kScene, tick, {}, false, {}, scene});
    }
    if (Transform* pointer = engine->mouseObject != nullptr
                                 ? engine->mouseObject->GetComponent<Transform>()
                                 : nullptr) {
        const Vector2 position = pointer->position;
        if (!lastPointer || !(*lastPointer == position)) {
            lastPointer = position;
            writer->Event({ReplayEvent::Kind::kPointer, tick, {}, false, position, {}});
        }
    }
}

void ReplayRunSystem::HandleMessage(const InputMessage& message) {
    // Pausing moves nothing, so a replay runs straight through: the pause key is not recorded,
    // and what is pressed or let go while paused first acts on the tick after the pause.
    if (mode != Mode::kRecording || engine->tickCount == 0 || message.input == InputType::PAUSE) {
        return;
    }
    const std::uint64_t tick = engine->paused ? engine->tickCount + 1 : engine->tickCount;
    writer->Event({ReplayEvent::Kind::kInput, tick, message.input, message.pressed, {}, {}});
}

void ReplayRunSystem::BeginReplayedTick(std::uint64_t tick) {
    if (tick > recording.endTick) {
        FinishReplay(tick - 1);
        engine->running = false;
        engine->restart = false;
        return;
    }
    const std::string& scene = ObservedScene(tick);
    Transform* pointer = engine->mouseObject != nullptr
                             ? engine->mouseObject->GetComponent<Transform>()
                             : nullptr;
    if (pointer != nullptr && lastPointer) {
        pointer->SetPosition(*lastPointer);
    }
    const auto& events = recording.events;
    for (; nextEvent < events.size(); ++nextEvent) {
        const ReplayEvent& event = events[nextEvent];
        // A checkpoint of tick D describes the world after D, which is now only when D + 1
        // begins; everything else belongs to the tick it names.
        if (event.kind == ReplayEvent::Kind::kDigest ? event.tick >= tick : event.tick > tick) {
            break;
        }
        switch (event.kind) {
            case ReplayEvent::Kind::kInput:
                InputSystem::Instance().QueueMessage(
                    std::make_unique<InputMessage>(InputMessage{event.input, event.pressed}));
                break;
            case ReplayEvent::Kind::kPointer:
                lastPointer = event.pointer;
                if (pointer != nullptr) {
                    pointer->SetPosition(event.pointer);
                }
                break;
            case ReplayEvent::Kind::kScene:
                recordedScene = event.text;
                break;
            case ReplayEvent::Kind::kDigest:
                if (const std::string digest = CurrentDigest(); digest != event.text) {
                    Diverged(event.tick, "the world's digest is " + digest + ", recorded " +
                                             event.text);
                }
                break;
        }
    }
    if (scene != recordedScene) {
        Diverged(tick, "the scene is \"" + scene + "\", recorded \"" + recordedScene + "\"");
    }
}

void ReplayRunSystem::Diverged(std::uint64_t tick, const std::string& what) {
    if (firstDivergence) {
        return;
    }
    firstDivergence = tick;
    TraceLog::Warning(kTrace + std::string("the replay diverges from its recording at tick ") +
                      std::to_string(tick) + ": " + what);
}

void ReplayRunSystem::FinishReplay(std::uint64_t last) {
    mode = Mode::kDone;
    if (last != recording.endTick) {
        Diverged(last, "the run ended after tick " + std::to_string(last) +
                           ", the recording after tick " + std::to_string(recording.endTick));
    }
    TraceLog::Log(kTrace + std::string("replay finished after tick ") + std::to_string(last) +
                  (firstDivergence
                       ? ": it diverged at tick " + std::to_string(*firstDivergence)
                       : ": the same world at every checkpoint"));
}

void ReplayRunSystem::ShutDown() {
    if (mode == Mode::kRecording) {
        const std::uint64_t last = engine->tickCount;
        if (last > 0 && last % kDigestEvery != 0 && engine->originEntity != nullptr) {
            writer->Event({ReplayEvent::Kind::kDigest, last, {}, false, {}, CurrentDigest()});
        }
        writer->End(last);
        file.close();
        TraceLog::Log(kTrace + std::string("recorded ") + std::to_string(last) + " ticks");
        mode = Mode::kDone;
    } else if (mode == Mode::kReplaying) {
        // The run ended before the recording did (its window closed, its Quit pressed): the
        // world after its last tick is compared if the recording has a checkpoint there.
        const std::uint64_t last = engine->tickCount;
        const auto& events = recording.events;
        for (; nextEvent < events.size() && events[nextEvent].tick <= last; ++nextEvent) {
            const ReplayEvent& event = events[nextEvent];
            if (event.kind == ReplayEvent::Kind::kDigest && engine->originEntity != nullptr &&
                CurrentDigest() != event.text) {
                Diverged(event.tick, "the world's digest differs from the recorded " + event.text);
            }
        }
        FinishReplay(last);
    }
}
