#pragma once

#include <stdexcept>
#include <string>

// Raised when a Stream cannot open its file. A missing scene or entity file reaches this point,
// so it is an exception the caller can catch and report rather than an abort.
class StreamOpenError : public std::runtime_error {
public:
    explicit StreamOpenError(const std::string& path) : std::runtime_error(kMessagePrefix + path) {}

private:
    static constexpr const char* kMessagePrefix = "Failed To Open Stream: ";
};
