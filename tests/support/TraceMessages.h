#pragma once
// The trace log's lines without their time stamps ("[2026-01-01 12:00:00] "), in file order.

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

std::vector<std::string> TraceMessages(const std::filesystem::path& log);

// The same, one element per traced message: a message that spans several lines (an entity's JSON
// in a read error) stays whole, its lines joined by "\n".
std::vector<std::string> TraceEntries(const std::filesystem::path& log);

// How many times `part` occurs in `text`, without overlaps (a report counted in a log or an
// output).
std::size_t CountOccurrences(const std::string& text, std::string_view part);
