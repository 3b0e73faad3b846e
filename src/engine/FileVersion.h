#pragma once

// Which version of a file a cache holds: the file's last write time when it was read. A change the
// live reload hears of is reloaded only when the file is no longer that version, so a file written
// just before the cache first read it is not read (and reported) twice.

#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

using FileVersion = std::optional<std::filesystem::file_time_type>;

inline FileVersion VersionOf(const std::string& path) {
    std::error_code error;
    const auto written = std::filesystem::last_write_time(path, error);
    if (error) {
        return std::nullopt;
    }
    return written;
}
