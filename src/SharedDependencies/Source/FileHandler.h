#pragma once

// Whole-tree file operations behind the per-user data mirror: the program works on a copy of its
// editable data and hands the edits back to the working tree at exit.

#include <string>
#include <unordered_map>
#include <vector>

class FileHandler {
public:
    // Reads every regular file below `folder` (recursively) whose extension, dot included,
    // equals one of `extensions` exactly (case-sensitive), and stores result[path] = content.
    // The key is the path as the directory walk produces it: `folder`, a separator, then the
    // path relative to `folder`. Throws std::invalid_argument when `folder` is not an existing
    // directory, and std::filesystem::filesystem_error when the walk itself fails.
    static void ReadDirectory(std::unordered_map<std::string, std::string>& result,
                              const std::string& folder,
                              const std::vector<std::string>& extensions);

    // Mirrors the matching files of `source` into `destination`, keeping their relative paths.
    // Both folders are created when missing. The whole source is read before anything is
    // written; destination files are overwritten and files found only in the destination are
    // left alone, since nothing is ever deleted. File-system failures raise
    // std::filesystem::filesystem_error naming the operation.
    static void CopyDirectory(const std::string& source, const std::string& destination,
                              const std::vector<std::string>& extensions);

    // Gives `target` exactly `content`, or leaves it as it was: the content goes to a scratch
    // file beside the target, which is then renamed over it. Throws StreamOpenError when the
    // scratch file cannot be created (e.g. a missing folder) and
    // std::filesystem::filesystem_error ("write", "rename") when writing or replacing fails; the
    // scratch file is removed either way.
    static void ReplaceFile(const std::string& target, const std::string& content);
};
