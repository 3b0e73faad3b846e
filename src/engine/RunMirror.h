#pragma once

// The run works on a per-user copy of one editable folder of the working tree (Data, Shaders):
// Start copies the working tree's files over that copy, Finish hands the run's edits back. The
// per-user folder is shared by every checkout on the machine and by runs that never got to
// Finish (killed), so neither direction copies blindly:
//
// - A state file beside the copy records which checkout the copy came from, the fingerprint
//   (size and content hash) of every file as the run started from it, and whether that run
//   ended normally.
// - Start: after a normal end everything comes from the working tree. After a run that did not
//   end, a copy that differs from what that run started from holds edits that never went back:
//   kept when the working tree's file is still what the run started from; when the working tree
//   changed too, the working tree wins and the run's version is saved beside the working file
//   ("<file>.run-<time>"). Edits of another checkout's unfinished run are never carried into this
//   one: they are moved aside in the per-user folder.
// - Finish: a file the run changed replaces the working tree's only when the working tree's is
//   still what the run started from (or, for a file the run made, does not exist); otherwise the
//   working tree's version stays and the run's is saved beside it. A file the run did not change
//   is never written back, so an edit made in the working tree during the run stands.
//
// Every file kept, saved beside or moved aside is reported as a warning naming both places.

#include <string>
#include <unordered_map>
#include <vector>

class RunMirror {
public:
    struct Report {
        // "path: reason" for every file that could not be written; the mirror goes on past each.
        std::vector<std::string> failed;
        // What was kept, saved beside or moved aside, and why: one line per file.
        std::vector<std::string> warnings;
        // Entries that could not be examined (a link that leads nowhere or in a circle).
        std::vector<std::string> skipped;
        // Take only: the copy was given the working tree's file (it held something else).
        bool copied = false;
    };

    // `stateFile` lies outside both folders. `runOutputs` are paths relative to the folders of
    // files the run writes for itself (its trace log): the run's version always goes back and is
    // never an edit in conflict.
    RunMirror(std::string working, std::string perUser, std::string stateFile,
              std::vector<std::string> extensions, std::vector<std::string> runOutputs = {});

    // Failures of the folders themselves (creating or walking them) raise
    // std::filesystem::filesystem_error; a file that cannot be written is reported.
    Report Start();
    Report Finish();

    // A working-tree file changed while the run goes (the designer saved it): the copy takes it,
    // and the exit counts it as what the run started from. When the run had changed the copy
    // too, the run's version is saved beside the working file first ("<file>.run-<time>", with a
    // warning). Whether `workingPath` is one of this mirror's files, and so was considered, goes
    // to `covered`; the run's own outputs are not.
    Report Take(const std::string& workingPath, bool& covered);

    // The mirrors of the program that is running, for changes taken while it runs.
    static std::vector<RunMirror*>& Running();

    // What the state file keeps of a content: its size and a 64-bit FNV-1a hash, in hex.
    static std::string Fingerprint(const std::string& content);

private:
    struct State {
        bool known = false;
        std::string checkout;
        bool ended = false;
        std::unordered_map<std::string, std::string> files;
    };

    // Relative path (with '/' separators, no leading one) -> content.
    using Files = std::unordered_map<std::string, std::string>;
    struct Folders {
        Files working;
        Files perUser;
    };
    // Makes both folders when missing, removes the scratch files an interrupted copy left in
    // `written` (the folder this call writes into), and reads both.
    Folders Prepare(const std::string& written, Report& report);
    std::unordered_map<std::string, std::string> ReadFolder(const std::string& folder,
                                                            Report& report) const;
    State ReadState() const;
    void WriteState(bool ended, const std::unordered_map<std::string, std::string>& files,
                    Report& report) const;
    // A free name beside `path` for the run's version of it: "<path>.run-<yyyymmdd-hhmmss>".
    std::string BesideName(const std::string& path) const;
    bool IsRunOutput(const std::string& relative) const;

    std::string working;
    std::string perUser;
    std::string stateFile;
    std::vector<std::string> extensions;
    std::vector<std::string> runOutputs;
    // The checkout the working folder belongs to: its absolute, normalised path.
    std::string checkout;
    // The fingerprints of the working tree's files as this run started from them.
    std::unordered_map<std::string, std::string> startedFrom;
    // One time stamp for every file a call saves beside another.
    std::string stamp;
};
