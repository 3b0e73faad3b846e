#pragma once
// The trace log's lines without their time stamps ("[2026-01-01 12:00:00] "), in file order.

#include <filesystem>
#include <string>
#include <vector>

std::vector<std::string> TraceMessages(const std::filesystem::path& log);
