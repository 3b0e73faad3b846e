#include "support/PrivateDisplay.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace {
using namespace std::chrono_literals;
constexpr int kFirstDisplay = 150;
constexpr int kLastDisplay = 250;

bool OwnsLock(const std::string& lock, int pid) {
    return WaitUntil(
        [&] {
            const std::string text = ReadFileText(lock);
            return std::strtol(text.c_str(), nullptr, 10) == pid;
        },
        2s);
}
}  // namespace

PrivateDisplay::PrivateDisplay() {
    scratch =
        std::filesystem::temp_directory_path() / ("private-display-" + std::to_string(getpid()));
    std::filesystem::create_directories(scratch);
    for (int number = kFirstDisplay + getpid() % 50; number <= kLastDisplay; ++number) {
        const std::string lock = "/tmp/.X" + std::to_string(number) + "-lock";
        const std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
        if (std::filesystem::exists(lock) || std::filesystem::exists(socket)) {
            continue;
        }
        const std::string candidate = ":" + std::to_string(number);
        // -noreset: the server must not regenerate when its last client leaves, or a client
        // connecting at that moment is refused.
        server = std::make_unique<ChildProcess>(
            ChildProcess::Options{{"/usr/bin/Xvfb", candidate, "-screen", "0", "1280x800x24",
                                   "-nolisten", "tcp", "-noreset"},
                                  {},
                                  {},
                                  scratch / "xvfb.out",
                                  scratch / "xvfb.err"});
        if (WaitUntil([&] { return std::filesystem::exists(socket) || !server->Running(); }, 10s) &&
            server->Running()) {
            display = candidate;
            return;
        }
        server.reset();
    }
}

PrivateDisplay::~PrivateDisplay() {
    if (server) {
        server->Terminate(5s);
    }
    server.reset();
    std::error_code ignored;
    std::filesystem::remove_all(scratch, ignored);
}

std::optional<int> PrivateDisplay::Run(std::vector<std::string> arguments, std::string* output) {
    const std::filesystem::path outputFile = scratch / "client.out";
    ChildProcess client(
        {std::move(arguments), {}, {{"DISPLAY", display}}, outputFile, scratch / "client.err"});
    const std::optional<int> status = client.Wait(20s);
    if (output != nullptr) {
        *output = ReadFileText(outputFile);
    }
    return status;
}
