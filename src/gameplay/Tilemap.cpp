#include "gameplay/Tilemap.h"

#include <exception>
#include <filesystem>
#include <system_error>
#include <unordered_map>
#include <utility>

#include "SharedDependencies/Source/Stream.h"
#include "SharedDependencies/Source/StreamOpenError.h"
#include "engine/DataDirectories.h"
#include "engine/TraceLog.h"
#include "engine/Vector3.h"
#include "entities/ComponentListSystem.h"
#include "entities/Entity.h"
#include "entities/JsonReaders.h"
#include "gameplay/NavigationGraph.h"
#include "gameplay/Pathfinding.h"
#include "gameplay/TilemapCellMeshes.h"
#include "gameplay/TilemapFile.h"
#include "graphics/Shader.h"
#include "graphics/Sprite.h"
#include "graphics/Texture.h"
#include "physics/ColliderLine.h"
#include "physics/Transform.h"

static_assert(Tilemap::kWallCell == NavigationGraph::kBlockedNode,
              "walls block routes: the outline and the graph must agree on the wall value");

namespace {

constexpr const char* kFilepathKey = "filepath";
constexpr const char* kRecreateMapKey = "recreateMap";
constexpr const char* kCannotOpenError = "Tilemap::Serialize - Cannot open data file: ";
constexpr const char* kCannotReadError = "Tilemap::Serialize - Cannot read tile map file ";
constexpr const char* kCannotBuildError = "Tilemap::Serialize - Cannot build tile map file ";
constexpr const char* kUnknownArchetypeWarning =
    "TileMap::CreateObject - Can't find archetype for object: ";

constexpr const char* kCellShader = "LightingShader.json";
constexpr Vector3 kUntinted{1.0f, 1.0f, 1.0f};
// The stock sprite's tint: the picture's shape in black.
constexpr Vector3 kSilhouette{0.0f, 0.0f, 0.0f};

// The kinds of cell object. The archetype decides what a cell becomes (its name, whether it is
// static, its sprite's update layer) and its sprite's tint; the picture is always the tile's own
// (its image, or its part of an image cut into tiles, flipped as the cell says), so a level looks
// as the tile editor shows it. The archetypes that used to draw a texture of their own (ball.png,
// bricks.png, border.png: the very images the shipped levels' tiles name) draw the tile untinted;
// the marker archetypes (explosion, milk), which used to be the stock sprite, keep its black
// tint and show their tile as a silhouette.
struct CellArchetype {
    const char* archetype;
    const char* namePrefix;
    bool isStatic;
    Vector3 tint;
    UpdateLayer spriteLayer;
};

constexpr CellArchetype kCellArchetypes[] = {
    {"ball", "Ball##", true, kUntinted, UpdateLayer::FASTEST},
    {"explosion", "Explosion##", true, kSilhouette, UpdateLayer::AVERAGE},
    {"milk", "Milk##", true, kSilhouette, UpdateLayer::AVERAGE},
    {"floor", "Floor##", false, kUntinted, UpdateLayer::FASTEST},
    {"border", "Border##", true, kUntinted, UpdateLayer::AVERAGE},
};

const CellArchetype* FindCellArchetype(const std::string& archetype) {
    for (const CellArchetype& kind : kCellArchetypes) {
        if (archetype == kind.archetype) {
            return &kind;
        }
    }
    return nullptr;
}

// Tile images are looked up by file name among the game's textures, wherever the tile set's
// path pointed.
std::unique_ptr<Sprite> MakeSprite(const CellArchetype& kind, const TileInfo& info,
                                   TilemapFlips flips) {
    Mesh* mesh = TilemapCellMeshes::Get(info.textureSpan, flips);
    Shader* shader = GetShader(kCellShader);
    auto sprite = std::make_unique<Sprite>(mesh, GetTexture(info.imageName), shader);
    sprite->color = kind.tint;
    sprite->textureOffset = info.textureOffset;
    return sprite;
}

}  // namespace

Tilemap::Tilemap(std::string filepath) : Component(kComponentName), filepath(std::move(filepath)) {}

std::unique_ptr<Component> Tilemap::Clone() const {
    auto copy = std::make_unique<Tilemap>(*this);
    copy->owner = nullptr;
    return copy;
}

void Tilemap::Update(float /*dt*/) {
    if (!recreateMap || owner == nullptr) {
        return;
    }
    if (clearStep) {
        RemoveWallCollider();
        clearStep = false;
        return;
    }
    Serialize();
    recreateMap = false;
    clearStep = true;
}

void Tilemap::RemoveWallCollider() {
    ComponentListSystem<ColliderLine>& lines = ComponentListSystem<ColliderLine>::Instance();
    if (const auto entry = owner->components.find(&lines); entry != owner->components.end()) {
        lines.RemoveComponent(entry->second);
    }
}

void Tilemap::DestroyChildren() {
    for (Entity* child : owner->children) {
        child->Destroy();
    }
}

void Tilemap::Serialize() {
    if (owner == nullptr) {
        return;
    }
    DestroyChildren();
    TilemapFile file;
    if (!ReadFile(file)) {
        return;
    }
    Apply(std::move(file));
    try {
        CreateObjects();
    } catch (const std::exception& error) {
        // A stock mesh or shader that cannot be loaded. Half a level is no level.
        TraceLog::Error(kCannotBuildError + DataDirectory + kTilemapsFolder + filepath + ": " +
                        error.what());
        DestroyChildren();
        return;
    }
    CreateWallCollider();
    TraceLog::Log(Pathfinding::kGraphCreatedTrace);
    CreateNavigationGraph();
}

bool Tilemap::ReloadFile() {
    TilemapFile file;
    if (!ReadFile(file)) {
        return false;
    }
    recreateMap = true;
    clearStep = true;
    return true;
}

bool Tilemap::ReadFile(TilemapFile& file) const {
    const std::string path = DataDirectory + kTilemapsFolder + filepath;
    const std::string folder = std::filesystem::path(path).parent_path().string();
    // A folder opens as a stream on this platform and then reads as empty; it is no file either.
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        TraceLog::Error(kCannotOpenError + path);
        return false;
    }
    try {
        Stream stream(path, Stream::kRead);
        file = TilemapFile::Read(nlohmann::json::parse(stream), folder);
        return true;
    } catch (const StreamOpenError&) {
        TraceLog::Error(kCannotOpenError + path);
    } catch (const std::exception& problem) {
        TraceLog::Error(kCannotReadError + path + ": " + problem.what());
    }
    return false;
}

void Tilemap::Apply(TilemapFile&& file) {
    height = file.height;
    width = file.width;
    tileHeight = file.tileHeight;
    tileWidth = file.tileWidth;
    firstLayer = std::move(file.firstLayer);
    firstLayerFlips = std::move(file.firstLayerFlips);
    secondLayer = std::move(file.secondLayer);
    tileInfos.insert(tileInfos.end(), std::make_move_iterator(file.tileInfos.begin()),
                     std::make_move_iterator(file.tileInfos.end()));
}

void Tilemap::CreateObjects() {
    // Later entries replace earlier ones with the same id, those of earlier rebuilds included.
    std::unordered_map<std::int32_t, const TileInfo*> byGid;
    for (const TileInfo& info : tileInfos) {
        byGid[info.gid] = &info;
    }
    const TileInfo noInfo{};
    const float mapWidth = static_cast<float>(tileWidth * width);
    const float mapHeight = static_cast<float>(tileHeight * height);
    for (std::size_t i = 0; i < firstLayer.size(); ++i) {
        const std::int32_t value = firstLayer[i];
        if (value == 0) {
            continue;
        }
        const auto cell = static_cast<std::int32_t>(i);
        const Vector2 position{static_cast<float>(cell % width * tileWidth) - mapWidth * 0.5f,
                               static_cast<float>(cell / width * tileHeight) - mapHeight * 0.5f};
        const auto found = byGid.find(value);
        CreateObject(position, found != byGid.end() ? *found->second : noInfo,
                     i < firstLayerFlips.size() ? firstLayerFlips[i] : TilemapFlips{});
    }
}

void Tilemap::CreateObject(Vector2 position, const TileInfo& info, TilemapFlips flips) {
    const std::int32_t number = ++objectCounter;
    const CellArchetype* kind = FindCellArchetype(info.archetype);
    if (kind == nullptr) {
        TraceLog::Warning(kUnknownArchetypeWarning + info.imageName);
        return;
    }
    if (owner == nullptr) {
        return;
    }
    // The sprite first: loading its assets is the step that can fail.
    std::unique_ptr<Sprite> sprite = MakeSprite(*kind, info, flips);
    auto* object = new Entity(kind->namePrefix + std::to_string(number));
    object->generated = true;
    auto* transform = new Transform();
    transform->position = position;
    transform->rotation = 0.0f;
    transform->scale = {static_cast<float>(info.tileWidth), static_cast<float>(info.tileHeight)};
    transform->isStatic = kind->isStatic;
    object->AddComponent(transform, UpdateLayer::AVERAGE);
    object->AddComponent(sprite.release(), kind->spriteLayer);
    owner->AddChild(object);
}

bool Tilemap::IsWall(std::int32_t row, std::int32_t column) const {
    return firstLayer[static_cast<std::size_t>(row * width + column)] == kWallCell;
}

std::vector<Vector2> Tilemap::WallOutline() const {
    std::vector<Vector2> points;
    if (firstLayer.size() < static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {
        return points;
    }
    // Integer halves, while cell positions use exact ones: with an odd map extent in pixels the
    // outline lies half a unit off the cells.
    const std::int32_t halfWidth = tileWidth * width / 2;
    const std::int32_t halfHeight = tileHeight * height / 2;
    const auto x = [&](float column) {
        return column * static_cast<float>(tileWidth) - static_cast<float>(halfWidth);
    };
    const auto y = [&](float row) {
        return row * static_cast<float>(tileHeight) - static_cast<float>(halfHeight);
    };
    for (std::int32_t i = 0; i < height; ++i) {
        for (std::int32_t j = 0; j < width; ++j) {
            if (!IsWall(i, j)) {
                continue;
            }
            const auto row = static_cast<float>(i);
            const auto column = static_cast<float>(j);
            // Edges that touch another wall cell are inside the wall and left out.
            if (i == 0 || !IsWall(i - 1, j)) {
                points.push_back({x(column - 0.5f), y(row - 0.5f)});
                points.push_back({x(column + 0.5f), y(row - 0.5f)});
            }
            if (i + 1 == height || !IsWall(i + 1, j)) {
                points.push_back({x(column - 0.5f), y(row + 0.5f)});
                points.push_back({x(column + 0.5f), y(row + 0.5f)});
            }
            if (j == 0 || !IsWall(i, j - 1)) {
                points.push_back({x(column - 0.5f), y(row - 0.5f)});
                points.push_back({x(column - 0.5f), y(row + 0.5f)});
            }
            if (j + 1 == width || !IsWall(i, j + 1)) {
                points.push_back({x(column + 0.5f), y(row - 0.5f)});
                points.push_back({x(column + 0.5f), y(row + 0.5f)});
            }
        }
    }
    return points;
}

void Tilemap::CreateWallCollider() {
    auto* outline = new ColliderLine();
    outline->vertices = WallOutline();
    outline->relativePos = {0.0f, 0.0f};
    outline->isSolid = true;
    outline->generated = true;
    owner->AddComponent(outline, UpdateLayer::AVERAGE);
    if (Transform* transform = owner->GetComponent<Transform>()) {
        transform->isStatic = true;
    }
}

void Tilemap::CreateNavigationGraph() {
    Vector2 origin{0.0f, 0.0f};
    Vector2 scale{1.0f, 1.0f};
    if (Transform* transform = owner->GetComponent<Transform>()) {
        origin = transform->GetWorldPosition();
        scale = transform->GetWorldScale();
    }
    Pathfinding::CreateGraph(firstLayer, width, height, origin,
                             static_cast<float>(tileWidth) * scale.x,
                             static_cast<float>(tileHeight) * scale.y);
}

void Tilemap::FromJson(const nlohmann::json& data) {
    ReadJsonString(data, kFilepathKey, filepath);
    recreateMap = true;
}

nlohmann::json Tilemap::ToJson() const {
    return nlohmann::json{{kFilepathKey, filepath}, {kRecreateMapKey, recreateMap}};
}
