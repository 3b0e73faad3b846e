#include "engine/TraceLog.h"

#include <ctime>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "engine/DataDirectories.h"

namespace {
constexpr const char* kTimestampFormat = "%Y-%m-%d %H:%M:%S";
constexpr const char* kWarningTag = "WARNING: ";
constexpr const char* kErrorTag = "ERROR: ";
// Room for "YYYY-MM-DD HH:MM:SS" and its terminator, with slack for years beyond 9999.
constexpr std::size_t kTimestampCapacity = 32;

std::string LogPath() {
    return DataDirectory + TraceLog::kFileName;
}

// Appended piece by piece: the chain of operator+ that would say the same makes GCC 12 warn
// falsely of overlapping copies (-Wrestrict) in optimised builds.
std::string FormatLine(const char* tag, const std::string& message) {
    std::string line = "[";
    line += TraceLog::Timestamp();
    line += "] ";
    line += tag;
    line += message;
    line += '\n';
    return line;
}

// The lines written while held, in order; never destroyed, as a line may come at exit.
std::vector<std::string>& HeldLines() {
    static auto* lines = new std::vector<std::string>();
    return *lines;
}

bool holding = false;

void AppendToFile(const std::string& line) {
    if (holding) {
        HeldLines().push_back(line);
        return;
    }
    std::ofstream file(LogPath(), std::ios::out | std::ios::app);
    file << line;
}

void WriteEchoed(const char* tag, const std::string& message) {
    const std::string line = FormatLine(tag, message);
    std::cout << line;
    AppendToFile(line);
}
}  // namespace

namespace TraceLog {

void Log(std::string message) {
    AppendToFile(FormatLine("", message));
}

void Warning(std::string message) {
    WriteEchoed(kWarningTag, message);
}

void Error(std::string message) {
    WriteEchoed(kErrorTag, message);
}

std::string Timestamp() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[kTimestampCapacity];
    const std::size_t length = std::strftime(text, sizeof text, kTimestampFormat, &local);
    return std::string(text, length);
}

void Truncate() {
    std::ofstream file(LogPath(), std::ios::out | std::ios::trunc);
    for (const std::string& line : HeldLines()) {
        file << line;
    }
    HeldLines().clear();
    holding = false;
}

void Hold() {
    holding = true;
}

}  // namespace TraceLog
