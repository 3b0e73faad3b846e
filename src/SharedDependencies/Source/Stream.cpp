#include "SharedDependencies/Source/Stream.h"

#include <filesystem>
#include <iterator>
#include <system_error>

#include "SharedDependencies/Source/StreamOpenError.h"

namespace {
constexpr const char* kResizeOperation = "resize_file";
}  // namespace

Stream::Stream(const std::string& path, std::ios::openmode mode)
    : std::fstream(path, mode), path(path) {
    // A folder opens for reading on this platform and then reads as empty; it is no file.
    std::error_code error;
    if (!is_open() || std::filesystem::is_directory(path, error)) {
        throw StreamOpenError(path);
    }
}

void Stream::ReadAll(std::string& result) {
    result.append(std::istreambuf_iterator<char>(*this), std::istreambuf_iterator<char>());
}

void Stream::Clear() {
    // Flush first so that no buffered output lands in the file after it has been truncated.
    flush();
    clear();
    seekg(0);
    seekp(0);
    // Raised by hand so that the error names the operation ("resize_file"): the callers' reports
    // and the exit mirror's trace depend on it, and standard libraries word it differently.
    std::error_code error;
    std::filesystem::resize_file(path, 0, error);
    if (error) {
        throw std::filesystem::filesystem_error(kResizeOperation, path, error);
    }
}
