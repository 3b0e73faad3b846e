#include "engine/Program.h"

#include <cstdint>
#include <exception>
#include <iostream>
#include <optional>

#include "SharedDependencies/Source/FileHandler.h"
#include "audio/FMODAudio.h"
#include "engine/DataDirectories.h"
#include "engine/Engine.h"
#include "engine/SteadyClock.h"
#include "engine/StopwatchRegistry.h"
#include "engine/TraceLog.h"
#include "entities/ComponentListSystem.h"
#include "graphics/Emitter.h"
#include "graphics/GraphicsSystem.h"
#include "tools/IMGUISystem.h"

namespace {
constexpr const char* kWorkingDataFolder = "Data";
constexpr const char* kWorkingShadersFolder = "Shaders";
constexpr double kNanosecondsPerSecond = 1'000'000'000.0;

constexpr const char* kLibraryUpdatesSpan = "Library Updates";
constexpr const char* kEmitterCompilationSpan = "Emitter Compilation";
constexpr const char* kStartDrawingSpan = "Start Drawing";
constexpr const char* kLibraryRendersSpan = "Library Renders";
constexpr const char* kSwapBuffersSpan = "Swap Buffers";

// Set by the first frame of the process and never reset, not even across engine restarts, so
// the first frame after a restart covers the whole shutdown and re-initialization.
std::optional<std::int64_t> previousFrameTime;

void ReportCannotRun(const std::string& reason) {
    std::cerr << "Tarnwick cannot run: " << reason << std::endl;
}
}  // namespace

const std::vector<std::string>& Program::MirroredExtensions() {
    static const std::vector<std::string> extensions{".json", ".txt", ".TXT"};
    return extensions;
}

int Program::Run() {
    if (!StartUp()) {
        return 1;
    }
    RunEnginePasses();
    Exit();
    return 0;
}

bool Program::StartUp() {
    try {
        FileHandler::CopyDirectory(kWorkingDataFolder, PerUserFolder() + kMirroredDataSubPath,
                                   MirroredExtensions());
        FileHandler::CopyDirectory(kWorkingShadersFolder, PerUserFolder() + kMirroredShadersSubPath,
                                   MirroredExtensions());
    } catch (const std::exception& error) {
        ReportCannotRun("the per-user data folder could not be prepared (" +
                        std::string(error.what()) + ")");
        return false;
    }

    GraphicsSystem& graphics = GraphicsSystem::Instance();
    graphics.Initialize();
    if (!graphics.IsReady()) {
        ReportCannotRun(graphics.startFailure);
        return false;
    }
    FMODAudio::Instance().Initialize();
    IMGUISystem::Instance().Initialize();
    return true;
}

void Program::RunEnginePasses(const std::function<void()>& afterInitialize) {
    Engine& engine = Engine::Instance();
    while (engine.restart) {
        engine.Initialize();
        if (afterInitialize) {
            afterInitialize();
        }
        while (engine.running) {
            RunFrame();
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
    graphics.Update(scaledDt);
    FMODAudio::Instance().Update(scaledDt);
    IMGUISystem::Instance().Update(scaledDt);
    StopStopwatch({}, kLibraryUpdatesSpan);

    engine.Update(scaledDt);

    StartStopwatch({}, kEmitterCompilationSpan);
    graphics.CompileEmitters(ComponentListSystem<Emitter>::Instance().Layers());
    StopStopwatch({}, kEmitterCompilationSpan);

    StartStopwatch({}, kStartDrawingSpan);
    graphics.StartDrawing();
    StopStopwatch({}, kStartDrawingSpan);

    engine.Render();

    StartStopwatch({}, kLibraryRendersSpan);
    graphics.Render();
    FMODAudio::Instance().Render();
    IMGUISystem::Instance().Render();
    StopStopwatch({}, kLibraryRendersSpan);

    StartStopwatch({}, kSwapBuffersSpan);
    graphics.SwapBuffers();
    StopStopwatch({}, kSwapBuffersSpan);
}

void Program::Exit() {
    // The GUI's backends restore the window's callbacks and free their GL objects, so they go
    // while the window and its context still exist.
    IMGUISystem::Instance().ShutDown();
    GraphicsSystem::Instance().ShutDown();
    FMODAudio::Instance().ShutDown();
    TraceLog::Log("Finished ShutDowns");
    try {
        TraceLog::Log("Try");
        FileHandler::CopyDirectory(PerUserFolder() + kMirroredDataSubPath, kWorkingDataFolder,
                                   MirroredExtensions());
        FileHandler::CopyDirectory(PerUserFolder() + kMirroredShadersSubPath, kWorkingShadersFolder,
                                   MirroredExtensions());
    } catch (const std::exception&) {
        TraceLog::Log("Catch");
    }
    TraceLog::Log("End");
}
