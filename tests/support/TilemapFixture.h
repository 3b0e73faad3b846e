#pragma once
// Base fixture for tests of tile maps: the gameplay fixture (real window, throw-away data tree)
// with an entity holding a Tilemap of "level.json", map files written into the tree's
// "Data/Tilemaps/", the two-update rebuild as the engine runs it, and what a rebuild leaves:
// the cell objects' names, the trace log's lines, the wall colliders.

#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "support/GameplayTest.h"

class ColliderLine;
class Entity;
class Tilemap;

class TilemapFixture : public GameplayTest {
protected:
    static constexpr const char* kMapFile = "level.json";

    void SetUp() override;

    // Below the tree's "Data/Tilemaps/".
    void WriteMap(const std::string& name, const std::string& text) const;
    void WriteMap(const nlohmann::json& value) const;

    // Two frames of the rebuild: each update is followed by the next frame's sweep of destroyed
    // entities and flush of pending components, as the engine runs them.
    void Rebuild() const;

    std::vector<std::string> ChildNames() const;
    std::vector<std::string> TraceLines(std::string_view tag) const;
    std::string LogPath() const;
    void ClearLog() const;
    bool GraphWasCreated() const;
    static const std::vector<ColliderLine*>& WallColliders();

    Entity* map = nullptr;
    Tilemap* tilemap = nullptr;
};
