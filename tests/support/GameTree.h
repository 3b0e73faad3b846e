#pragma once
// A throw-away game tree for tests that run the engine: a temporary working folder with its own
// "Data" and "Shaders" folders, and XDG_DATA_HOME pointed at a temporary per-user folder, so
// that no test touches the repository's data or a real home. The process's working directory
// moves into the tree while the object lives.

#include <filesystem>
#include <string>

#include "support/TempDirectory.h"

class GameTree {
public:
    GameTree();
    ~GameTree();
    GameTree(const GameTree&) = delete;
    GameTree& operator=(const GameTree&) = delete;

    const std::filesystem::path& root() const { return workingTree; }
    std::filesystem::path perUserData() const;
    // Writes a file below the working tree, creating its folders.
    void WriteFile(const std::filesystem::path& relative, const std::string& text) const;
    // The shipped data tree (scenes, archetypes, tile maps, mappings, settings) in place of the
    // working tree's, without the repository's trace log.
    void CopyShippedData() const;

private:
    TempDirectory temp;
    std::filesystem::path workingTree;
    std::filesystem::path previousWorkingDirectory;
};
