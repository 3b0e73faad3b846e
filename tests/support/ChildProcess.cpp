#include "support/ChildProcess.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace {
void RedirectTo(const std::filesystem::path& file, int descriptor) {
    if (file.empty()) {
        return;
    }
    const int target = open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (target >= 0) {
        dup2(target, descriptor);
        close(target);
    }
}
}  // namespace

ChildProcess::ChildProcess(const Options& options)
    : program(options.arguments.empty() ? std::string() : options.arguments[0]),
      errorFile(options.errorFile) {
    const pid_t parent = getpid();
    pid = fork();
    if (pid < 0) {
        throw std::runtime_error("fork failed");
    }
    if (pid != 0) {
        return;
    }
    // A test that crashes or is killed for taking too long leaves no server or game behind.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent) {
        _exit(125);
    }
    for (const auto& [name, value] : options.environment) {
        if (value) {
            setenv(name.c_str(), value->c_str(), 1);
        } else {
            unsetenv(name.c_str());
        }
    }
    if (!options.workingDirectory.empty() && chdir(options.workingDirectory.c_str()) != 0) {
        _exit(126);
    }
    RedirectTo(options.outputFile, STDOUT_FILENO);
    RedirectTo(options.errorFile, STDERR_FILENO);
    std::vector<char*> argv;
    for (const auto& argument : options.arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
}

ChildProcess::~ChildProcess() {
    if (Running()) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
}

bool ChildProcess::Running() {
    if (status || pid < 0) {
        return false;
    }
    int raw = 0;
    const int result = waitpid(pid, &raw, WNOHANG);
    if (result == pid) {
        status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
        FailOnSanitizerReport();
        return false;
    }
    return result == 0;
}

void ChildProcess::Terminate(std::chrono::milliseconds timeout) {
    if (!Running()) {
        return;
    }
    kill(pid, SIGTERM);
    Wait(timeout);
}

std::optional<int> ChildProcess::Wait(std::chrono::milliseconds timeout) {
    if (!WaitUntil([this] { return !Running(); }, timeout)) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        status = std::nullopt;
        pid = -1;
        return std::nullopt;
    }
    return status;
}

// Every sanitizer ends its report with a "SUMMARY: <name>Sanitizer: ..." line. Tests that expect
// the child to fail, or that only watch its files, would otherwise pass over a report.
void ChildProcess::FailOnSanitizerReport() const {
    if (errorFile.empty()) {
        return;
    }
    const std::string error = ReadFileText(errorFile);
    std::istringstream lines(error);
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with("SUMMARY: ") && line.find("Sanitizer") != std::string::npos) {
            ADD_FAILURE() << program << " ended with a sanitizer report:\n" << error;
            return;
        }
    }
}

std::string ReadFileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}
