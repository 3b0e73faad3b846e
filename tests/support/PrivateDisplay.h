#pragma once
// An X server of the test's own (Xvfb), so that keyboard focus and pointer position belong to this
// test alone even while other tests open windows elsewhere. The server picks a free display
// number itself and reports it once it accepts connections, so two servers started at the same
// moment can never share a number and no client ever reaches a server that is still starting.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "support/ChildProcess.h"
#include "support/TempDirectory.h"

class PrivateDisplay {
public:
    PrivateDisplay();
    ~PrivateDisplay();
    PrivateDisplay(const PrivateDisplay&) = delete;
    PrivateDisplay& operator=(const PrivateDisplay&) = delete;

    // ":N", or empty when no server could be started.
    const std::string& name() const { return display; }

    // Runs an X client (xdotool, import, close_window, ...) against this display and returns its
    // exit status, or nothing when it did not end in time. Standard output goes to `output` when
    // given.
    std::optional<int> Run(std::vector<std::string> arguments, std::string* output = nullptr);

private:
    void StartServer();

    std::string display;
    std::unique_ptr<ChildProcess> server;
    TempDirectory scratch;
};
