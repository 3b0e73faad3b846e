#include "support/TempDirectory.h"

#include <stdlib.h>

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <system_error>

namespace {
// mkdtemp replaces the trailing X's with a unique suffix.
constexpr const char* kNamePattern = "engine-test-XXXXXX";
}  // namespace

TempDirectory::TempDirectory() {
    std::string pattern = (std::filesystem::temp_directory_path() / kNamePattern).string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::system_error(errno, std::generic_category(), "mkdtemp " + pattern);
    }
    path_ = pattern;
}

TempDirectory::~TempDirectory() {
    // A destructor must not throw; a leftover folder in the temporary directory is harmless.
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::filesystem::path TempDirectory::WriteFile(const std::filesystem::path& relative,
                                               std::string_view content) const {
    const std::filesystem::path file = path_ / relative;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream stream(file, std::ios::binary | std::ios::trunc);
    stream << content;
    if (!stream.flush()) {
        throw std::runtime_error("Cannot write " + file.string());
    }
    return file;
}

std::string TempDirectory::ReadFile(const std::filesystem::path& relative) const {
    const std::filesystem::path file = path_ / relative;
    std::ifstream stream(file, std::ios::binary);
    if (!stream) {
        throw std::runtime_error("Cannot read " + file.string());
    }
    return std::string(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
}
