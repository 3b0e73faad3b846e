#pragma once
// The trace log's lines without their time stamps ("[2026-01-01 12:00:00] "), in file order.

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// Lines the tests wait for and count: the scene switched to follows the first, the input and
// "1" (pressed) or "0" (released) the second.
inline constexpr const char* kSceneSwitchTrace = "SceneSystem::ChangeScene - Switching to scene: ";
inline constexpr const char* kInputSentTrace =
    "InputSystem::SendInputMessages - Input message sent: ";

// The line the input system traces when it sends `input` ("CLICK", "UP", ...) pressed or released.
std::string InputSentTrace(const std::string& input, bool pressed);
// The scene the last switch among `messages` went to; empty when there was none.
std::string LastSceneSwitch(const std::vector<std::string>& messages);

std::vector<std::string> TraceMessages(const std::filesystem::path& log);

// The same, one element per traced message: a message that spans several lines (an entity's JSON
// in a read error) stays whole, its lines joined by "\n".
std::vector<std::string> TraceEntries(const std::filesystem::path& log);

// How many times `part` occurs in `text`, without overlaps (a report counted in a log or an
// output).
std::size_t CountOccurrences(const std::string& text, std::string_view part);
