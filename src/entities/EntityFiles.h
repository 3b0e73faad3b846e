#pragma once
// Entity files (scenes, archetypes, editor saves) through the process-wide cache of parsed JSON,
// keyed by the path relative to DataDirectory (e.g. "Scenes/MenuScene.json"). A file is read and
// parsed once per process unless a caller reloads it.

#include <optional>
#include <string>

#include <nlohmann/json.hpp>

class Entity;

// A new entity named "To Be Loaded", filled from the cached (or now parsed) file. It has no
// parent; the caller attaches it. Throws StreamOpenError for a missing file and the JSON
// library's parse error for invalid JSON, before any entity is created; the cache is unchanged.
Entity* LoadEntity(const std::string& fileKey);

// Reads and parses the file again, replacing the cached value (after a save).
void ReloadEntityFile(const std::string& fileKey);

// Whether the file has been read in this process (so a change on disk concerns the run).
bool IsEntityFileCached(const std::string& fileKey);

// Why an entity cannot be saved under `fileKey`, or nothing when it can: the name must be a path
// relative to the data directory that stays inside it, end in ".json", and lie outside the
// folders of the engine's own files (settings, meshes, tile maps), which hold other formats that
// an entity would replace. Anything else could land outside the data (never mirrored back, or
// over someone's file), or break the next start.
std::optional<std::string> EntityFileNameFault(const std::string& fileKey);
