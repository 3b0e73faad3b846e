#include "support/TilemapFixture.h"

#include <algorithm>
#include <filesystem>

#include "engine/DataDirectories.h"
#include "engine/Engine.h"
#include "entities/ComponentListSystem.h"
#include "entities/Entity.h"
#include "gameplay/Pathfinding.h"
#include "gameplay/Tilemap.h"
#include "physics/ColliderLine.h"
#include "support/TraceMessages.h"

void TilemapFixture::SetUp() {
    GameplayTest::SetUp();
    map = AddEntity("Walls", {0.0f, 0.0f});
    tilemap = new Tilemap(kMapFile);
    map->AddComponent(tilemap);
    FlushAllLists();
}

void TilemapFixture::WriteMap(const std::string& name, const std::string& text) const {
    tree.WriteFile("Data/Tilemaps/" + name, text);
}

void TilemapFixture::WriteMap(const nlohmann::json& value) const {
    WriteMap(kMapFile, value.dump(2));
}

void TilemapFixture::Rebuild() const {
    for (int frame = 0; frame < 2; ++frame) {
        tilemap->Update(1.0f / 60.0f);
        Engine::Instance().originEntity->RemoveDestroyedChildren();
        FlushAllLists();
    }
}

std::vector<std::string> TilemapFixture::ChildNames() const {
    std::vector<std::string> names;
    for (const Entity* child : map->children) {
        names.push_back(child->name);
    }
    return names;
}

std::vector<std::string> TilemapFixture::TraceLines(std::string_view tag) const {
    std::vector<std::string> lines;
    for (const std::string& line : TraceMessages(LogPath())) {
        if (line.starts_with(tag)) {
            lines.push_back(line);
        }
    }
    return lines;
}

std::string TilemapFixture::LogPath() const {
    return DataDirectory + "Trace_Log.txt";
}

void TilemapFixture::ClearLog() const {
    std::filesystem::remove(LogPath());
}

bool TilemapFixture::GraphWasCreated() const {
    const std::vector<std::string> lines = TraceMessages(LogPath());
    return std::find(lines.begin(), lines.end(), Pathfinding::kGraphCreatedTrace) != lines.end();
}

const std::vector<ColliderLine*>& TilemapFixture::WallColliders() {
    return ComponentListSystem<ColliderLine>::Instance().Layer(UpdateLayer::AVERAGE);
}
