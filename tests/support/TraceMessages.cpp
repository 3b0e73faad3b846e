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

std::string InputSentTrace(const std::string& input, bool pressed) {
    return std::string(kInputSentTrace) + "InputType::" + input + (pressed ? ", 1" : ", 0");
}

std::string LastSceneSwitch(const std::vector<std::string>& messages) {
    const std::string_view prefix = kSceneSwitchTrace;
    for (auto message = messages.rbegin(); message != messages.rend(); ++message) {
        if (message->starts_with(prefix)) {
            return message->substr(prefix.size());
        }
    }
    return {};
}

namespace {
// "[YYYY-MM-DD HH:MM:SS] ", which starts the first line of every message.
constexpr std::string_view kStampShape = "[0000-00-00 00:00:00] ";

bool StartsWithStamp(std::string_view line) {
    if (line.size() < kStampShape.size()) {
        return false;
    }
    for (std::size_t i = 0; i < kStampShape.size(); ++i) {
        const bool digit = line[i] >= '0' && line[i] <= '9';
        if (kStampShape[i] == '0' ? !digit : line[i] != kStampShape[i]) {
            return false;
        }
    }
    return true;
}
}  // namespace

std::vector<std::string> TraceEntries(const std::filesystem::path& log) {
    std::vector<std::string> entries;
    std::istringstream lines(ReadFileText(log));
    std::string line;
    while (std::getline(lines, line)) {
        if (StartsWithStamp(line)) {
            entries.push_back(line.substr(kStampShape.size()));
        } else if (entries.empty()) {
            entries.push_back(line);
        } else {
            entries.back() += "\n" + line;
        }
    }
    return entries;
}

std::size_t CountOccurrences(const std::string& text, std::string_view part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos;
         at = text.find(part, at + part.size())) {
        ++count;
    }
    return count;
}
