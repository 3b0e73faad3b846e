#include "entities/EntityFiles.h"

#include <algorithm>
#include <filesystem>
#include <cstddef>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "SharedDependencies/Source/Stream.h"
#include "engine/DataDirectories.h"
#include "entities/Entity.h"
#include "entities/JsonReaders.h"

namespace {

constexpr const char* kEntityFileExtension = ".json";
// Folders of the data directory whose ".json" files are not entities.
constexpr const char* kEngineFileFolders[] = {"EngineSettingFiles", "Meshes", "Tilemaps"};

// Whoever loads a file names its top entity; this is the name until then.
constexpr const char* kLoadedEntityName = "To Be Loaded";

// File key -> parsed file, for the whole process (across engine restarts). Entries are replaced
// by a reload and never removed.
std::unordered_map<std::string, nlohmann::json>& EntityFileCache() {
    static auto* cache = new std::unordered_map<std::string, nlohmann::json>();
    return *cache;
}


// Opened read-only, so a missing file raises StreamOpenError instead of being created.
nlohmann::json ParseEntityFile(const std::string& fileKey) {
    const std::string path = DataDirectory + fileKey;
    Stream stream(path, Stream::kRead);
    // Read whole, then parsed from memory: the parser reads a stream one character at a time
    // through the stream buffer, which costs more than the parse itself on a large scene.
    std::string text;
    stream.ReadAll(text);
    nlohmann::json parsed = nlohmann::json::parse(text);
    if (JsonNestingDepth(parsed) > kMaxJsonNestingDepth) {
        throw std::length_error(path + " nests deeper than " +
                                std::to_string(kMaxJsonNestingDepth) + " levels");
    }
    return parsed;
}

}  // namespace

Entity* LoadEntity(const std::string& fileKey) {
    auto& cache = EntityFileCache();
    auto cached = cache.find(fileKey);
    if (cached == cache.end()) {
        cached = cache.emplace(fileKey, ParseEntityFile(fileKey)).first;
    }
    auto* entity = new Entity(kLoadedEntityName);
    Entity::from_json(cached->second, *entity, DataDirectory + fileKey);
    return entity;
}

void ReloadEntityFile(const std::string& fileKey) {
    // Parsed before the entry is touched, so a failed reload keeps the previous content.
    nlohmann::json parsed = ParseEntityFile(fileKey);
    EntityFileCache().insert_or_assign(fileKey, std::move(parsed));
}

bool IsEntityFileCached(const std::string& fileKey) {
    return EntityFileCache().contains(fileKey);
}

std::optional<std::string> EntityFileNameFault(const std::string& fileKey) {
    const std::filesystem::path path(fileKey);
    if (fileKey.find('\0') != std::string::npos) {
        return "the name holds a NUL character";
    }
    if (path.is_absolute() || path.has_root_name() || path.has_root_directory()) {
        return "the name must be relative to the data folder";
    }
    for (const std::filesystem::path& part : path) {
        if (part == "..") {
            return "the name leads out of the data folder (\"..\")";
        }
    }
    if (path.extension() != kEntityFileExtension) {
        return "an entity file's name ends in \".json\"";
    }
    const std::string top = path.begin()->string();
    for (const char* folder : kEngineFileFolders) {
        if (top == folder) {
            return "\"" + top + "/\" holds the engine's own files, not entities";
        }
    }
    return std::nullopt;
}
