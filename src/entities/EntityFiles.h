#pragma once
// Entity files (scenes, archetypes, editor saves) through the process-wide cache of parsed JSON,
// keyed by the path relative to DataDirectory (e.g. "Scenes/MenuScene.json"). A file is read and
// parsed once per process unless a caller reloads it.

#include <string>

#include <nlohmann/json.hpp>

class Entity;

// A new entity named "To Be Loaded", filled from the cached (or now parsed) file. It has no
// parent; the caller attaches it. Throws StreamOpenError for a missing file and the JSON
// library's parse error for invalid JSON, before any entity is created; the cache is unchanged.
Entity* LoadEntity(const std::string& fileKey);

// Reads and parses the file again, replacing the cached value (after a save).
void ReloadEntityFile(const std::string& fileKey);
