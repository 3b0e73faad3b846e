#pragma once
// The whole life of the process: mirror the editable data into the per-user folder, start the
// three library systems, run engine passes while a restart is asked for (each a loop of
// frames), shut down and mirror the per-user data back into the working tree.

#include <functional>
#include <string>
#include <vector>

class Program {
public:
    // Runs everything; 0 after a normal exit, 1 when the program cannot run at all.
    int Run();

    // The steps of Run, public so that tests can drive a real window pass by pass.
    // StartUp reports on standard error and returns false when the program cannot run.
    bool StartUp();
    // `afterInitialize`, when given, runs right after each Engine::Initialize.
    void RunEnginePasses(const std::function<void()>& afterInitialize = {});
    void RunFrame();
    void Exit();

    // The extensions the data mirror copies; matched exactly, so ".Txt" and ".JSON" are not.
    static const std::vector<std::string>& MirroredExtensions();
};
