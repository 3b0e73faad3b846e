#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// A fresh, uniquely named folder under the system's temporary directory, removed with everything
// in it when the object goes out of scope, so that tests never touch real user data.
class TempDirectory {
public:
    TempDirectory();
    ~TempDirectory();

    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;

    const std::filesystem::path& path() const { return path_; }

    // Writes `content` to `relative` below the folder, creating missing sub-folders, and returns
    // the file's full path.
    std::filesystem::path WriteFile(const std::filesystem::path& relative,
                                    std::string_view content) const;

    // The whole content of `relative` below the folder; throws when it cannot be read.
    std::string ReadFile(const std::filesystem::path& relative) const;

private:
    std::filesystem::path path_;
};
