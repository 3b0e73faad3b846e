#pragma once

// Whole-tree file operations behind the per-user data mirror (RunMirror): the program works on a
// copy of its editable data and hands the edits back to the working tree at exit.

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
    // The extension is checked before the entry is examined, and an entry that cannot be
    // examined (a dangling or circular link) is skipped and added to `skipped` when given.
    static void ReadDirectory(std::unordered_map<std::string, std::string>& result,
                              const std::string& folder,
                              const std::vector<std::string>& extensions,
                              std::vector<std::string>* skipped = nullptr);

    // Creates `folder` and its parents when missing; raises std::filesystem::filesystem_error
    // ("create_directories") when that fails.
    static void CreateFolders(const std::string& folder);

    // Removes the scratch files (see ReplaceFile) that an interrupted copy of files with one of
    // `extensions` left below `folder`; other files ending in the scratch suffix are not ours.
    static void RemoveScratchFiles(const std::string& folder,
                                   const std::vector<std::string>& extensions);

    // Gives `target` exactly `content`, or leaves it as it was: the content goes to a scratch
    // file beside the target, which is then renamed over it. Throws StreamOpenError when the
    // scratch file cannot be created (e.g. a missing folder) and
    // std::filesystem::filesystem_error ("write", "rename") when writing or replacing fails; the
    // scratch file is removed either way.
    static void ReplaceFile(const std::string& target, const std::string& content);
};
