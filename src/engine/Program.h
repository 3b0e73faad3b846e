#pragma once
// The whole life of the process: mirror the editable data into the per-user folder, start the
// library systems, run engine passes while a restart is asked for (each a loop of frames), shut
// down and mirror the per-user data back into the working tree. The systems it drives and hands
// to the engine come from the composition it is made with.

#include <functional>
#include <string>
#include <vector>

#include "engine/Composition.h"
#include "engine/RunMirror.h"
#include "engine/TickClock.h"

class Program {
public:
    explicit Program(Composition composition);

    // Runs everything; 0 after a normal exit, 1 when the program cannot run at all.
    int Run();

    // The steps of Run, public so that tests can drive a real window pass by pass.
    // StartUp reports on standard error and returns false when the program cannot run.
    bool StartUp();
    // `afterInitialize`, when given, runs right after each Engine::Initialize.
    void RunEnginePasses(const std::function<void()>& afterInitialize = {});
    // One frame: the frame's time, the library updates (window events, audio, the GUI frame),
    // the simulation ticks due (TickClock), then one rendering of the last tick's world.
    void RunFrame();
    // Shuts the library systems down and mirrors the per-user data back; 0, or 1 when a file
    // could not be mirrored (each is named on standard error and in the trace log).
    int Exit();

    // Makes SIGTERM, SIGINT and SIGHUP end the run the normal way: the frame in progress
    // completes, the engine shuts down and the data is mirrored back.
    static void CatchStopSignals();

    // The extensions the data mirror copies; matched exactly, so ".Txt" and ".JSON" are not.
    static const std::vector<std::string>& MirroredExtensions();

private:
    // Starts the library systems in order; false, after the report, when the window did not open.
    bool StartLibrarySystems();
    // Warns about what the start-up mirror kept or skipped, in the new pass's trace log.
    void ReportStartMirror();

    Composition composition;
    // The simulation's ticks; their length comes from the settings of each engine pass.
    TickClock ticks;

    // The data and shader folders' mirrors, made on first use (the per-user folder is read from
    // the environment then).
    std::vector<RunMirror>& Mirrors();
    std::vector<RunMirror> mirrors;
    // What the start's mirror kept or saved aside; reported once the first engine pass has
    // started its trace log.
    std::vector<std::string> warningsAtStart;
    std::vector<std::string> skippedAtStart;
};
