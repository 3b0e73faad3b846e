#pragma once
// What the engine-side benchmarks share: a throw-away game tree (the repository's shaders and
// meshes, its Assets linked, settings that start the engine running with no scene, a private
// per-user folder) and one started engine in it (window, OpenGL context, library systems, one
// engine pass initialized). The tree is removed when the program ends.
//
// The tool layer's GUI frame is never opened here, so the tool windows draw nothing: the
// benchmarks measure the engine's own passes, not the GUI library's.

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include <nlohmann/json.hpp>

#include "engine/Engine.h"
#include "engine/Program.h"
#include "entities/ComponentLists.h"
#include "entities/Entity.h"
#include "entities/VirtualComponentListSystem.h"
#include "game/GameComposition.h"

class BenchGameTree {
public:
    BenchGameTree() {
        namespace fs = std::filesystem;
        std::string pattern = (fs::temp_directory_path() / "tarnwick-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("no temporary folder for the benchmark's game tree");
        }
        root = pattern;
        game = root / "game";
        const fs::path source = TARNWICK_SOURCE_DIR;
        const auto options = fs::copy_options::recursive;
        fs::create_directories(game / "Data" / "Meshes");
        fs::copy(source / "Shaders", game / "Shaders", options);
        fs::copy(source / "Data" / "Meshes", game / "Data" / "Meshes", options);
        fs::create_directory_symlink(source / "Assets", game / "Assets");
        WriteFile("Data/EngineSettingFiles/SettingsRouter.txt", "Settings.json");
        WriteFile("Data/EngineSettingFiles/Settings.json",
                  nlohmann::json{{"defaultEntityFile", ""}, {"runOnStart", "1"}}.dump());
        fs::create_directories(root / "xdg");
        setenv("XDG_DATA_HOME", (root / "xdg").c_str(), 1);
        fs::current_path(game);
    }
    ~BenchGameTree() {
        std::error_code ignored;
        std::filesystem::current_path(root.parent_path(), ignored);
        std::filesystem::remove_all(root, ignored);
    }
    BenchGameTree(const BenchGameTree&) = delete;
    BenchGameTree& operator=(const BenchGameTree&) = delete;

    void WriteFile(const std::filesystem::path& relative, const std::string& text) const {
        const std::filesystem::path path = game / relative;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << text;
    }

    // The per-user copy the running engine reads its data from.
    std::filesystem::path PerUserData() const {
        return root / "xdg" / "OrreryTestDirectory" / "Data";
    }

    std::filesystem::path root;
    std::filesystem::path game;
};

// The started engine, once per process. Null (after a message) when no window can be opened.
class BenchEngine {
public:
    static BenchEngine* Get() {
        static BenchEngine* started = Start();
        return started;
    }

    // Sweeps destroyed entities and carries out every queued addition and removal, as the start
    // of an engine update does, without updating anything.
    static void Flush() {
        Engine::Instance().originEntity->RemoveDestroyedChildren();
        for (VirtualComponentListSystem* list : ComponentListsInFanOutOrder()) {
            list->FlushPending();
        }
    }

    BenchGameTree tree;
    Program program{GameComposition()};

private:
    BenchEngine() = default;

    static BenchEngine* Start() {
        auto* bench = new BenchEngine();
        if (!bench->program.StartUp()) {
            std::fprintf(stderr, "the engine could not start (is there a display?)\n");
            delete bench;
            return nullptr;
        }
        Engine::Instance().Initialize(GameComposition().engineSystems);
        Flush();
        // Removed at exit even though the engine itself is left running.
        std::atexit([] { delete Get(); });
        return bench;
    }
};
