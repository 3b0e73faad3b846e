#pragma once

// A text-mode file stream that remembers the path it was opened with, so that Clear() can
// truncate the file on disk.

#include <fstream>
#include <ios>
#include <string>

class Stream : public std::fstream {
public:
    // Loading a file that must already exist.
    static constexpr std::ios::openmode kRead = std::ios::in;
    // The common mode: a missing file is created, reading starts at the beginning and every
    // write goes to the end.
    static constexpr std::ios::openmode kReadWriteAppend =
        std::ios::in | std::ios::out | std::ios::app;
    // Reading and writing in place; the file must already exist.
    static constexpr std::ios::openmode kReadWrite = std::ios::in | std::ios::out;
    // Replacing a file's whole content.
    static constexpr std::ios::openmode kWriteTruncate = std::ios::out | std::ios::trunc;

    // Throws StreamOpenError naming the path when the file cannot be opened in that mode, and
    // when the path names a folder.
    Stream(const std::string& path, std::ios::openmode mode);

    // Appends everything from the read position to the end of the file to `result`.
    void ReadAll(std::string& result);

    // Empties the stream and the file on disk, leaving both positions at the start. Throws
    // std::filesystem::filesystem_error ("resize_file") when the file cannot be truncated.
    void Clear();

    const std::string path;
};
