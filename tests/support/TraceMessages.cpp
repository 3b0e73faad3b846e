#include "support/TraceMessages.h"

#include <sstream>

#include "support/ChildProcess.h"

std::vector<std::string> TraceMessages(const std::filesystem::path& log) {
    std::vector<std::string> messages;
    std::istringstream lines(ReadFileText(log));
    std::string line;
    while (std::getline(lines, line)) {
        const auto end = line.find("] ");
        messages.push_back(end == std::string::npos ? line : line.substr(end + 2));
    }
    return messages;
}
