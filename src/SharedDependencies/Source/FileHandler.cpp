#include "SharedDependencies/Source/FileHandler.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <stdexcept>
#include <system_error>

#include "SharedDependencies/Source/Stream.h"

namespace {
constexpr const char* kInvalidFolderMessage = "Invalid Folder For ReadDirectory().";

// File-system failures are raised under these operation names, whatever wording the standard
// library would use, so that reports of a failed mirror read the same everywhere.
constexpr const char* kExistsOperation = "exists";
constexpr const char* kStatusOperation = "status";
constexpr const char* kWalkOperation = "recursive_directory_iterator";
constexpr const char* kCreateOperation = "create_directories";
constexpr const char* kWriteOperation = "write";
constexpr const char* kRenameOperation = "rename";
// Suffix of the scratch file a copy is written to before it replaces its target.
constexpr const char* kPartialSuffix = ".partial";

void ThrowIfFailed(const char* operation, const std::filesystem::path& path,
                   const std::error_code& error) {
    if (error) {
        throw std::filesystem::filesystem_error(operation, path, error);
    }
}

bool IsFolder(const std::string& folder) {
    std::error_code error;
    const bool exists = std::filesystem::exists(folder, error);
    ThrowIfFailed(kExistsOperation, folder, error);
    if (!exists) {
        return false;
    }
    const bool isFolder = std::filesystem::is_directory(folder, error);
    ThrowIfFailed(kStatusOperation, folder, error);
    return isFolder;
}

bool HasListedExtension(const std::filesystem::path& path,
                        const std::vector<std::string>& extensions) {
    const std::string extension = path.extension().string();
    return std::find(extensions.begin(), extensions.end(), extension) != extensions.end();
}

// A scratch file of ReplaceFile for a file the mirror copies ("Level.json.partial").
bool IsMirrorScratchFile(const std::filesystem::path& path,
                         const std::vector<std::string>& extensions) {
    return path.extension() == kPartialSuffix &&
           HasListedExtension(path.filename().replace_extension(), extensions);
}

// Regular files only; the entry's status is asked for after its name has matched, so a link
// that leads nowhere (an editor's lock file) is only a problem when it looks like data.
enum class EntryKind { kListedFile, kOther, kUnreadable };

EntryKind Classify(const std::filesystem::directory_entry& entry,
                   const std::vector<std::string>& extensions) {
    if (!HasListedExtension(entry.path(), extensions)) {
        return EntryKind::kOther;
    }
    std::error_code error;
    const bool isFile = entry.is_regular_file(error);
    if (error) {
        return EntryKind::kUnreadable;
    }
    return isFile ? EntryKind::kListedFile : EntryKind::kOther;
}

}  // namespace

void FileHandler::ReadDirectory(std::unordered_map<std::string, std::string>& result,
                                const std::string& folder,
                                const std::vector<std::string>& extensions,
                                std::vector<std::string>* skipped) {
    if (!IsFolder(folder)) {
        throw std::invalid_argument(kInvalidFolderMessage);
    }
    std::error_code error;
    std::filesystem::recursive_directory_iterator walk(folder, error);
    ThrowIfFailed(kWalkOperation, folder, error);
    for (; walk != std::filesystem::recursive_directory_iterator(); walk.increment(error)) {
        ThrowIfFailed(kWalkOperation, folder, error);
        const EntryKind kind = Classify(*walk, extensions);
        if (kind == EntryKind::kUnreadable && skipped != nullptr) {
            skipped->push_back(walk->path().string());
        }
        if (kind != EntryKind::kListedFile) {
            continue;
        }
        const std::string path = walk->path().string();
        Stream file(path, Stream::kRead);
        std::string content;
        file.ReadAll(content);
        result[path] = std::move(content);
    }
    ThrowIfFailed(kWalkOperation, folder, error);
}

void FileHandler::RemoveScratchFiles(const std::string& folder,
                                     const std::vector<std::string>& extensions) {
    std::error_code error;
    std::filesystem::recursive_directory_iterator walk(folder, error);
    std::vector<std::filesystem::path> scratch;
    for (; !error && walk != std::filesystem::recursive_directory_iterator();
         walk.increment(error)) {
        if (IsMirrorScratchFile(walk->path(), extensions)) {
            scratch.push_back(walk->path());
        }
    }
    for (const auto& path : scratch) {
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
    }
}

void FileHandler::CreateFolders(const std::string& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    ThrowIfFailed(kCreateOperation, folder, error);
}

// The mirror overwrites files the user owns (the exit mirror writes into the working tree), and so
// does the editor's "Save To:": the new content is written beside its target first and only then
// renamed over it, so a failed write leaves the old file whole instead of truncated.
void FileHandler::ReplaceFile(const std::string& target, const std::string& content) {
    const std::string partial = target + kPartialSuffix;
    {
        Stream file(partial, Stream::kWriteTruncate);
        errno = 0;
        file << content;
        file.close();
        if (file.fail()) {
            // The system's reason (a full disk is "No space left on device"); the stream keeps
            // none of its own.
            const int reason = errno != 0 ? errno : EIO;
            std::error_code ignored;
            std::filesystem::remove(partial, ignored);
            throw std::filesystem::filesystem_error(kWriteOperation, partial,
                                                    std::error_code(reason, std::generic_category()));
        }
    }
    std::error_code error;
    std::filesystem::rename(partial, target, error);
    if (error) {
        std::error_code ignored;
        std::filesystem::remove(partial, ignored);
    }
    ThrowIfFailed(kRenameOperation, target, error);
}
