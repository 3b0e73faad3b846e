#pragma once

// Whole-tree file operations behind the per-user data mirror: the program works on a copy of its
// editable data and hands the edits back to the working tree at exit.

#include <string>
#include <unordered_map>
#include <vector>

// What a mirror could not do, file by file. The mirror goes on past each of these.
struct MirrorReport {
    // "path: reason" for every file that could not be copied.
    std::vector<std::string> failed;
    // Destination files left as they were because they were newer than their source (only
    // when asked to keep them).
    std::vector<std::string> kept;
    // Entries of the source that could not be examined (a link that leads nowhere or in a
    // circle), skipped.
    std::vector<std::string> skipped;
};

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

    // Mirrors the matching files of `source` into `destination`, keeping their relative paths.
    // Both folders are created when missing. The whole source is read before anything is
    // written; destination files are replaced whole (see ReplaceFile) and files found only in the
    // destination are left alone, except the scratch files an interrupted earlier mirror left
    // there, which are removed. Every file that can be copied is copied: a file that cannot be is
    // listed in the report and the mirror goes on. With `keepNewerTargets`, a destination file
    // whose content differs from its source and that was modified after it is left as it is
    // (and listed as kept): it holds edits that never made it back. Failures of the folders
    // themselves (creating them, walking them) raise std::filesystem::filesystem_error naming
    // the operation.
    static MirrorReport CopyDirectory(const std::string& source, const std::string& destination,
                                      const std::vector<std::string>& extensions,
                                      bool keepNewerTargets = false);

    // Gives `target` exactly `content`, or leaves it as it was: the content goes to a scratch
    // file beside the target, which is then renamed over it. Throws StreamOpenError when the
    // scratch file cannot be created (e.g. a missing folder) and
    // std::filesystem::filesystem_error ("write", "rename") when writing or replacing fails; the
    // scratch file is removed either way.
    static void ReplaceFile(const std::string& target, const std::string& content);
};
