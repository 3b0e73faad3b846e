#include "support/FuzzGameTree.h"

#include <stdlib.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <system_error>

#include "engine/DataDirectories.h"
#include "engine/TraceLog.h"

namespace {
constexpr const char* kTreePattern = "tarnwick-fuzz-XXXXXX";
constexpr const char* kDiscard = "/dev/null";

std::filesystem::path& TreeToRemove() {
    static std::filesystem::path path;
    return path;
}

void RemoveTree() {
    std::error_code ignored;
    std::filesystem::remove_all(TreeToRemove(), ignored);
}

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "FuzzGameTree: %s\n", what.c_str());
    std::exit(1);
}
}  // namespace

FuzzGameTree& FuzzGameTree::Instance() {
    static auto* tree = new FuzzGameTree();
    return *tree;
}

FuzzGameTree::FuzzGameTree() {
    namespace fs = std::filesystem;
    std::string pattern = (fs::temp_directory_path() / kTreePattern).string();
    if (mkdtemp(pattern.data()) == nullptr) {
        Fail("mkdtemp " + pattern + ": " + std::generic_category().message(errno));
    }
    treeRoot = pattern;
    TreeToRemove() = treeRoot;
    std::atexit(RemoveTree);

    const fs::path source = TARNWICK_SOURCE_DIR;
    const auto options = fs::copy_options::recursive;
    try {
        fs::copy(source / "Data", treeRoot / "Data", options);
        fs::copy(source / "Shaders", treeRoot / "Shaders", options);
        fs::create_directory_symlink(source / "Assets", treeRoot / "Assets");
        fs::remove(treeRoot / "Data" / TraceLog::kFileName);
        fs::create_symlink(kDiscard, treeRoot / "Data" / TraceLog::kFileName);
        fs::current_path(treeRoot);
    } catch (const fs::filesystem_error& error) {
        Fail(error.what());
    }
    DataDirectory = "Data/";
    ShadersDirectory = "Shaders/";
}

void FuzzGameTree::Write(const std::filesystem::path& path, const std::uint8_t* data,
                         std::size_t size) const {
    std::ofstream file(treeRoot / path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!file.flush()) {
        Fail("cannot write " + (treeRoot / path).string());
    }
}
