#pragma once
// Starts a program as a child process with extra environment settings and a working folder,
// capturing its standard output and error into files, and waits for it with a bounded timeout.
// A child that ends with a sanitizer report on its captured standard error fails the running test
// (in the sanitized build the game under test reports there). A child is asked to end (SIGTERM)
// when the process that started it ends, so a crashed test leaves no server or game running.

#include <chrono>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

class ChildProcess {
public:
    struct Options {
        std::vector<std::string> arguments;  // arguments[0] is the program
        std::filesystem::path workingDirectory;
        // Variables to set; an empty optional removes the variable.
        std::map<std::string, std::optional<std::string>> environment;
        std::filesystem::path outputFile;
        std::filesystem::path errorFile;
    };

    explicit ChildProcess(const Options& options);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // The exit status, or nothing when the child did not end within the timeout (it is then
    // killed).
    std::optional<int> Wait(std::chrono::milliseconds timeout);
    bool Running();
    // Asks the child to end (SIGTERM) so it can clean up after itself, as a server removes its
    // socket and lock files; kills it if it has not ended within the timeout.
    void Terminate(std::chrono::milliseconds timeout);
    int Pid() const { return pid; }

private:
    void FailOnSanitizerReport() const;

    int pid = -1;
    std::optional<int> status;
    std::string program;
    std::filesystem::path errorFile;
};

// Reads a whole file; empty when it does not exist.
std::string ReadFileText(const std::filesystem::path& path);

// Polls `condition` every few milliseconds until it holds or the timeout passes.
template <class Condition>
bool WaitUntil(Condition condition, std::chrono::milliseconds timeout);

#include "support/ChildProcess.inl"
