#pragma once
// An X server of the test's own (Xvfb on a free display number), so that keyboard focus and
// pointer position belong to this test alone even while other tests open windows elsewhere.

#include <memory>
#include <string>

#include "support/ChildProcess.h"

class PrivateDisplay {
public:
    PrivateDisplay();
    ~PrivateDisplay();
    PrivateDisplay(const PrivateDisplay&) = delete;
    PrivateDisplay& operator=(const PrivateDisplay&) = delete;

    // ":N", or empty when no server could be started.
    const std::string& name() const { return display; }

    // Runs an X client (xdotool, close_window, ...) against this display; its exit status, or
    // nothing when it did not end in time. Standard output goes to `output` when given.
    std::optional<int> Run(std::vector<std::string> arguments, std::string* output = nullptr);

private:
    std::string display;
    std::unique_ptr<ChildProcess> server;
    std::filesystem::path scratch;
};
