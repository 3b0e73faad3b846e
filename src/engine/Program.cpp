#include "engine/Program.h"

#include <signal.h>

#include <csignal>
#include <stdexcept>
#include <utility>
#include <vector>

#include <cstdint>
#include <exception>
#include <iostream>
#include <optional>

#include "engine/DataDirectories.h"
#include "engine/Engine.h"
#include "engine/EngineSettings.h"
#include "engine/SteadyClock.h"
#include "engine/StopwatchRegistry.h"
#include "engine/System.h"
#include "engine/TraceLog.h"
#include "entities/ComponentListSystem.h"
#include "graphics/Emitter.h"
#include "graphics/GraphicsSystem.h"

namespace {
constexpr const char* kWorkingDataFolder = "Data";
constexpr const char* kWorkingShadersFolder = "Shaders";
// Beside each per-user copy: where it came from and what its run started from.
constexpr const char* kMirrorStateSuffix = ".mirror.json";
constexpr double kNanosecondsPerSecond = 1'000'000'000.0;

constexpr const char* kLibraryUpdatesSpan = "Library Updates";
constexpr const char* kEmitterCompilationSpan = "Emitter Compilation";
constexpr const char* kStartDrawingSpan = "Start Drawing";
constexpr const char* kLibraryRendersSpan = "Library Renders";
constexpr const char* kSwapBuffersSpan = "Swap Buffers";

// Set by the first frame of the process and never reset, not even across engine restarts, so
// the first frame after a restart covers the whole shutdown and re-initialization.
std::optional<std::int64_t> previousFrameTime;

// Set from a signal handler; read by the frame loop between frames.
volatile std::sig_atomic_t stopRequested = 0;

void RequestStop(int /*signal*/) {
    stopRequested = 1;
}

void ReportCannotRun(const std::string& reason) {
    std::cerr << "Tarnwick cannot run: " << reason << std::endl;
}
}  // namespace

Program::Program(Composition composition) : composition(std::move(composition)) {}

const std::vector<std::string>& Program::MirroredExtensions() {
    // ".tmj" and ".tsj": a tile map and a tile set of its, as the tile editor names them.
    static const std::vector<std::string> extensions{".json", ".txt", ".TXT", ".tmj", ".tsj"};
    return extensions;
}

std::vector<RunMirror>& Program::Mirrors() {
    if (mirrors.empty()) {
        const std::string root = PerUserFolder();
        mirrors.emplace_back(kWorkingDataFolder, root + kMirroredDataSubPath,
                             root + kMirroredDataSubPath + kMirrorStateSuffix,
                             MirroredExtensions(), std::vector<std::string>{TraceLog::kFileName});
        mirrors.emplace_back(kWorkingShadersFolder, root + kMirroredShadersSubPath,
                             root + kMirroredShadersSubPath + kMirrorStateSuffix,
                             MirroredExtensions());
    }
    return mirrors;
}

int Program::Run() {
    CatchStopSignals();
    if (!StartUp()) {
        return 1;
    }
    RunEnginePasses();
    return Exit();
}

void Program::CatchStopSignals() {
    struct sigaction action {};
    action.sa_handler = RequestStop;
    sigemptyset(&action.sa_mask);
    for (const int stopSignal : {SIGTERM, SIGINT, SIGHUP}) {
        sigaction(stopSignal, &action, nullptr);
    }
}

bool Program::StartUp() {
    // The run's log lives in the per-user copy, which the data directory points at only once the
    // first engine pass starts: what the library systems say before goes there too.
    TraceLog::Hold();
    try {
        for (RunMirror& mirror : Mirrors()) {
            RunMirror::Report report = mirror.Start();
            if (!report.failed.empty()) {
                throw std::runtime_error(report.failed.front());
            }
            warningsAtStart.insert(warningsAtStart.end(), report.warnings.begin(),
                                   report.warnings.end());
            skippedAtStart.insert(skippedAtStart.end(), report.skipped.begin(),
                                  report.skipped.end());
        }
        for (RunMirror& mirror : Mirrors()) {
            RunMirror::Running().push_back(&mirror);
        }
    } catch (const std::exception& error) {
        ReportCannotRun("the per-user data folder could not be prepared (" +
                        std::string(error.what()) + ")");
        return false;
    }

    return StartLibrarySystems();
}

bool Program::StartLibrarySystems() {
    GraphicsSystem& graphics = GraphicsSystem::Instance();
    for (System* library : composition.librarySystems) {
        library->Initialize();
        if (library == &graphics && !graphics.IsReady()) {
            ReportCannotRun(graphics.startFailure);
            return false;
        }
    }
    return true;
}

void Program::RunEnginePasses(const std::function<void()>& afterInitialize) {
    Engine& engine = Engine::Instance();
    while (engine.restart) {
        engine.Initialize(composition.engineSystems);
        ticks.SetTickLength(1.0 / EngineSettings::ticksPerSecond);
        ticks.Reset();
        ReportStartMirror();
        if (afterInitialize) {
            afterInitialize();
        }
        while (engine.running) {
            RunFrame();
            if (stopRequested != 0) {
                engine.running = false;
                engine.restart = false;
            }
        }
        engine.Shutdown();
    }
}

void Program::RunFrame() {
    Engine& engine = Engine::Instance();
    GraphicsSystem& graphics = GraphicsSystem::Instance();

    const std::int64_t now = NowNanoseconds();
    if (!previousFrameTime) {
        previousFrameTime = now;
    }
    engine.dt =
        static_cast<float>(static_cast<double>(now - *previousFrameTime) / kNanosecondsPerSecond);
    previousFrameTime = now;
    engine.totalTime += engine.dt;
    const float scaledDt = engine.paused ? 0.0f : engine.dt;

    StartStopwatch({}, kLibraryUpdatesSpan);
    for (System* library : composition.librarySystems) {
        library->Update(scaledDt);
    }
    StopStopwatch({}, kLibraryUpdatesSpan);

    // The simulation advances in whole ticks; while paused, one update with 0 keeps the tools
    // live and moves nothing.
    if (engine.paused) {
        ticks.Reset();
        engine.Update(0.0f);
    } else {
        const int due =
            engine.ticksPerFrame > 0 ? engine.ticksPerFrame : ticks.TicksDue(engine.dt);
        const auto tickLength = static_cast<float>(ticks.TickLength());
        for (int tick = 0; tick < due && engine.running && !engine.paused; ++tick) {
            engine.Tick(tickLength);
        }
    }

    StartStopwatch({}, kEmitterCompilationSpan);
    graphics.CompileEmitters(ComponentListSystem<Emitter>::Instance().Layers());
    StopStopwatch({}, kEmitterCompilationSpan);

    StartStopwatch({}, kStartDrawingSpan);
    graphics.StartDrawing();
    StopStopwatch({}, kStartDrawingSpan);

    engine.Render();

    StartStopwatch({}, kLibraryRendersSpan);
    for (System* library : composition.librarySystems) {
        library->Render();
    }
    StopStopwatch({}, kLibraryRendersSpan);

    StartStopwatch({}, kSwapBuffersSpan);
    graphics.SwapBuffers();
    StopStopwatch({}, kSwapBuffersSpan);
}

void Program::ReportStartMirror() {
    for (const std::string& warning : warningsAtStart) {
        TraceLog::Warning("Program::StartUp - " + warning);
    }
    for (const std::string& path : skippedAtStart) {
        TraceLog::Warning("Program::StartUp - skipped " + path + ": a link that cannot be followed");
    }
    warningsAtStart.clear();
    skippedAtStart.clear();
}

int Program::Exit() {
    for (System* library : composition.libraryShutDownOrder) {
        library->ShutDown();
    }
    TraceLog::Log("Finished ShutDowns");
    std::vector<std::string> failed;
    RunMirror::Running().clear();
    try {
        TraceLog::Log("Try");
        for (RunMirror& mirror : Mirrors()) {
            RunMirror::Report report = mirror.Finish();
            failed.insert(failed.end(), report.failed.begin(), report.failed.end());
            for (const std::string& warning : report.warnings) {
                TraceLog::Warning("Program::Exit - " + warning);
                std::cerr << "Tarnwick: " << warning << std::endl;
            }
        }
    } catch (const std::exception& error) {
        failed.push_back(error.what());
    }
    if (!failed.empty()) {
        TraceLog::Log("Catch");
        for (const std::string& file : failed) {
            TraceLog::Error("Program::Exit - not mirrored back: " + file);
            std::cerr << "Tarnwick: an edited file was not saved back: " << file << std::endl;
        }
    }
    TraceLog::Log("End");
    return failed.empty() ? 0 : 1;
}
