#pragma once
// The data tree a fuzz target's loaders read: a scratch copy of the game's "Data" and "Shaders"
// (the loaders create and read files there), its "Assets" linked read-only, and the process's
// working directory moved into it, so that the engine's relative directory strings ("Data/",
// "Shaders/", "Assets/") reach it. The trace log is linked to /dev/null: millions of runs write
// nothing to disk. The copy is removed at exit (a crashed run leaves it in $TMPDIR, which
// scripts/fuzz points at a scratch folder of its own).

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

class FuzzGameTree {
public:
    // Created on the first call and kept for the rest of the process.
    static FuzzGameTree& Instance();

    // Replaces the file at `path` (relative to the tree, or absolute) with the fuzzer's bytes.
    void Write(const std::filesystem::path& path, const std::uint8_t* data, std::size_t size) const;

    const std::filesystem::path& root() const { return treeRoot; }

private:
    FuzzGameTree();

    std::filesystem::path treeRoot;
};
