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

std::size_t CountOccurrences(const std::string& text, std::string_view part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos;
         at = text.find(part, at + part.size())) {
        ++count;
    }
    return count;
}
