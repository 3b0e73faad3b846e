#include "entities/EntityFiles.h"

#include <algorithm>
#include <cstddef>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "SharedDependencies/Source/Stream.h"
#include "engine/DataDirectories.h"
#include "entities/Entity.h"

namespace {

// Whoever loads a file names its top entity; this is the name until then.
constexpr const char* kLoadedEntityName = "To Be Loaded";

// File key -> parsed file, for the whole process (across engine restarts). Entries are replaced
// by a reload and never removed.
std::unordered_map<std::string, nlohmann::json>& EntityFileCache() {
    static auto* cache = new std::unordered_map<std::string, nlohmann::json>();
    return *cache;
}

// Far deeper than any scene needs (each entity level is one object level, its component data a
// few more), and shallow enough that reading, freeing and reporting an entity tree, which all
// recurse once per level, stay well inside the stack.
constexpr std::size_t kMaxNestingDepth = 256;

// The parser itself does not recurse, so a file nested many thousands of levels deep parses; it
// is measured here, without recursion, and refused before anything reads it.
std::size_t NestingDepth(const nlohmann::json& root) {
    std::size_t deepest = 0;
    // Only containers are queued: a plain member counts for its depth where it is met.
    std::vector<std::pair<const nlohmann::json*, std::size_t>> pending{{&root, 1}};
    while (!pending.empty()) {
        const auto [value, depth] = pending.back();
        pending.pop_back();
        deepest = std::max(deepest, depth);
        if (value->is_structured() && depth <= kMaxNestingDepth) {
            for (const nlohmann::json& member : *value) {
                if (member.is_structured()) {
                    pending.emplace_back(&member, depth + 1);
                } else {
                    deepest = std::max(deepest, depth + 1);
                }
            }
        }
    }
    return deepest;
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
    if (NestingDepth(parsed) > kMaxNestingDepth) {
        throw std::length_error(path + " nests deeper than " + std::to_string(kMaxNestingDepth) +
                                " levels");
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
