#include "support/PrivateDisplay.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>

namespace {
using namespace std::chrono_literals;
constexpr auto kServerStartLimit = 20s;
constexpr auto kServerStopLimit = 5s;
constexpr auto kClientLimit = 20s;

// One line from `descriptor`, without its newline; nothing when the writer closed it first or the
// time ran out.
std::optional<std::string> ReadLine(int descriptor, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::string line;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd readable{descriptor, POLLIN, 0};
        const int ready = poll(&readable, 1, static_cast<int>(std::max(left.count(), 0L)));
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready <= 0) {
            return std::nullopt;
        }
        char next = 0;
        const ssize_t got = read(descriptor, &next, 1);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return std::nullopt;
        }
        if (next == '\n') {
            return line;
        }
        line += next;
    }
}

bool IsNumber(const std::string& text) {
    return !text.empty() && std::all_of(text.begin(), text.end(),
                                        [](unsigned char c) { return std::isdigit(c) != 0; });
}
}  // namespace

PrivateDisplay::PrivateDisplay() {
    StartServer();
}

PrivateDisplay::~PrivateDisplay() {
    if (server) {
        server->Terminate(kServerStopLimit);
    }
}

// Xvfb's -displayfd: the server claims the first display number that no other server holds
// (binding the display's socket is the claim, which only one server can win) and writes the
// number to the descriptor once clients can connect.
void PrivateDisplay::StartServer() {
    int channel[2];
    if (pipe2(channel, O_CLOEXEC) != 0) {
        return;
    }
    const int readEnd = channel[0];
    const int writeEnd = channel[1];
    // Only the server keeps the writing end across its exec.
    fcntl(writeEnd, F_SETFD, 0);
    // -noreset: the server must not regenerate when its last client leaves, or a client
    // connecting at that moment is refused.
    server = std::make_unique<ChildProcess>(
        ChildProcess::Options{{"/usr/bin/Xvfb", "-displayfd", std::to_string(writeEnd), "-screen",
                               "0", "1280x800x24", "-nolisten", "tcp", "-noreset"},
                              {},
                              {},
                              scratch.path() / "xvfb.out",
                              scratch.path() / "xvfb.err"});
    close(writeEnd);
    const std::optional<std::string> number = ReadLine(readEnd, kServerStartLimit);
    close(readEnd);
    if (number && IsNumber(*number) && server->Running()) {
        display = ":" + *number;
        return;
    }
    server->Terminate(kServerStopLimit);
    server.reset();
}

std::optional<int> PrivateDisplay::Run(std::vector<std::string> arguments, std::string* output) {
    const std::filesystem::path outputFile = scratch.path() / "client.out";
    ChildProcess client({std::move(arguments),
                         {},
                         {{"DISPLAY", display}},
                         outputFile,
                         scratch.path() / "client.err"});
    const std::optional<int> status = client.Wait(kClientLimit);
    if (output != nullptr) {
        *output = ReadFileText(outputFile);
    }
    return status;
}
