// Tile maps: the two-update rebuild, the cell objects of each archetype and their names, the wall
// outline collider, the navigation graph built from the map, the tile sets, reading from entity
// files, and the refusal of files that cannot be read (the map stays empty, the game goes on).

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include <zlib.h>
#include <nlohmann/json.hpp>

#include "engine/DataDirectories.h"
#include "engine/Engine.h"
#include "entities/ComponentListSystem.h"
#include "entities/Entity.h"
#include "gameplay/NavigationGraph.h"
#include "gameplay/Pathfinding.h"
#include "gameplay/Tilemap.h"
#include "gameplay/TilemapFlips.h"
#include "graphics/Sprite.h"
#include "graphics/Texture.h"
#include "physics/ColliderLine.h"
#include "physics/Transform.h"
#include "support/TilemapFixture.h"
#include "support/TraceMessages.h"

namespace {

using nlohmann::json;

constexpr std::int32_t kWall = Tilemap::kWallCell;

bool Contains(const std::string& text, std::string_view part) {
    return text.find(part) != std::string::npos;
}

json Tile(int id, const std::string& image, const json& properties) {
    json tile{{"id", id}, {"image", image}, {"imagewidth", 64}, {"imageheight", 48}};
    if (!properties.is_null()) {
        tile["properties"] = properties;
    }
    return tile;
}

json ArchetypeProperty(const json& value) {
    return json{{"name", "archetype"}, {"type", "string"}, {"value", value}};
}

// One tile per archetype: ids 1 ball, 2 explosion, 3 milk, 4 floor, 5 border (the wall value).
// Each names a picture of the game's own; floor and border not the one their archetype used to
// draw.
json StockTileSet() {
    json tiles = json::array();
    const char* archetypes[] = {"ball", "explosion", "milk", "floor", "border"};
    const char* pictures[] = {"ball.png", "flame.png", "milk.png", "floor.png", "wall.png"};
    for (int id = 0; id < 5; ++id) {
        tiles.push_back(Tile(id, std::string("../images/") + pictures[id],
                             json::array({ArchetypeProperty(archetypes[id])})));
    }
    return json{{"firstgid", 1}, {"tiles", tiles}};
}

json MapJson(int width, int height, int tileWidth, int tileHeight,
             const std::vector<std::int32_t>& cells,
             json tileSets = json::array({StockTileSet()})) {
    return json{{"width", width},
                {"height", height},
                {"tilewidth", tileWidth},
                {"tileheight", tileHeight},
                {"layers", json::array({json{{"data", cells}, {"name", "Tiles"}},
                                        json{{"data", std::vector<std::int32_t>(cells.size())},
                                             {"name", "Decoration"}}})},
                {"tilesets", std::move(tileSets)},
                {"orientation", "orthogonal"}};
}

constexpr std::uint32_t kHorizontal = 0x80000000u;
constexpr std::uint32_t kVertical = 0x40000000u;
constexpr std::uint32_t kDiagonal = 0x20000000u;
constexpr std::uint32_t kHexagonalTurn = 0x10000000u;
// zlib's window bits for its own wrapper and, 16 more, for gzip's.
constexpr int kZlibWrapper = 15;
constexpr int kGzipWrapper = 31;

// The cells as the editor's binary layers hold them: 32-bit little-endian words.
std::string LittleEndian(const std::vector<std::uint32_t>& values) {
    std::string bytes;
    for (std::uint32_t value : values) {
        for (int shift = 0; shift < 32; shift += 8) {
            bytes.push_back(static_cast<char>(value >> shift & 0xffu));
        }
    }
    return bytes;
}

std::string Base64(const std::string& bytes) {
    constexpr std::string_view kDigits =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t count = std::min<std::size_t>(3, bytes.size() - i);
        std::uint32_t group = 0;
        for (std::size_t k = 0; k < 3; ++k) {
            const auto byte = k < count ? static_cast<unsigned char>(bytes[i + k]) : 0u;
            group = group << 8 | byte;
        }
        for (std::size_t k = 0; k < 4; ++k) {
            text.push_back(k <= count ? kDigits[group >> (18 - 6 * k) & 0x3fu] : '=');
        }
    }
    return text;
}

std::string Deflated(const std::string& bytes, int windowBits) {
    z_stream stream{};
    EXPECT_EQ(
        deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, windowBits, 8, Z_DEFAULT_STRATEGY),
        Z_OK);
    std::string packed(deflateBound(&stream, static_cast<uLong>(bytes.size())) + 32, '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    stream.avail_in = static_cast<uInt>(bytes.size());
    stream.next_out = reinterpret_cast<Bytef*>(packed.data());
    stream.avail_out = static_cast<uInt>(packed.size());
    EXPECT_EQ(deflate(&stream, Z_FINISH), Z_STREAM_END);
    packed.resize(stream.total_out);
    deflateEnd(&stream);
    return packed;
}

// A layer whose data is base64 text of `bytes`, compressed as `compression` says (no key when
// null).
json Base64Layer(const std::string& bytes, const json& compression) {
    json layer{{"data", Base64(bytes)}, {"encoding", "base64"}, {"type", "tilelayer"}};
    if (!compression.is_null()) {
        layer["compression"] = compression;
    }
    return layer;
}

struct BrokenFileCase {
    const char* name;
    std::string text;
    // A part of the one error line that says what is wrong.
    std::string problem;
};

json Without(json value, const std::string& key) {
    value.erase(key);
    return value;
}

class TilemapTest : public TilemapFixture {
protected:
    // Each case is refused with one error naming the file and the problem, and leaves the map as
    // a refused file does: no cells, no outline, no graph, nothing of the file taken.
    void ExpectEachRefused(const std::vector<BrokenFileCase>& cases) {
        const std::int32_t width = tilemap->width;
        const std::size_t tileInfos = tilemap->tileInfos.size();
        for (const BrokenFileCase& row : cases) {
            SCOPED_TRACE(row.name);
            WriteMap("broken.json", row.text);
            ClearLog();
            tilemap->FromJson({{"filepath", "broken.json"}});
            EXPECT_NO_THROW(Rebuild());

            const std::vector<std::string> errors = TraceLines("ERROR: ");
            ASSERT_EQ(errors.size(), 1u);
            EXPECT_TRUE(Contains(errors[0], DataDirectory + "Tilemaps/broken.json")) << errors[0];
            EXPECT_TRUE(Contains(errors[0], row.problem)) << errors[0];
            EXPECT_TRUE(map->children.empty());
            EXPECT_EQ(map->GetComponent<ColliderLine>(), nullptr);
            EXPECT_TRUE(WallColliders().empty());
            EXPECT_FALSE(tilemap->recreateMap);
            EXPECT_FALSE(GraphWasCreated());
            EXPECT_EQ(tilemap->width, width) << "nothing of a refused file is taken";
            EXPECT_EQ(tilemap->tileInfos.size(), tileInfos);
        }
    }
};

TEST_F(TilemapTest, UShapedWallsAreOutlinedByTwelveSegmentsOnTheMapsOwnEntity) {
    // The file's first row is the top one: a U open at the top.
    WriteMap(MapJson(3, 2, 32, 32, {kWall, 0, kWall, kWall, kWall, kWall}));
    Rebuild();

    ColliderLine* outline = map->GetComponent<ColliderLine>();
    ASSERT_NE(outline, nullptr);
    // Half sizes 48 and 32; row 0 is the bottom row. Cells row by row, edges below, above, left,
    // right, each only where no other wall cell is beside it.
    const std::vector<Vector2> expected{
        {-64, -48}, {-32, -48}, {-64, -48}, {-64, -16},  // (0, 0): below, left
        {-32, -48}, {0, -48},   {-32, -16}, {0, -16},    // (0, 1): below, above the gap
        {0, -48},   {32, -48},  {32, -48},  {32, -16},   // (0, 2): below, right
        {-64, 16},  {-32, 16},  {-64, -16}, {-64, 16},   // (1, 0): above, left,
        {-32, -16}, {-32, 16},                           //         right of it the gap
        {0, 16},    {32, 16},   {0, -16},   {0, 16},     // (1, 2): above, left of it the gap,
        {32, -16},  {32, 16},                            //         right
    };
    EXPECT_EQ(outline->vertices, expected);
    EXPECT_TRUE(outline->isSolid);
    EXPECT_EQ(outline->relativePos, (Vector2{0.0f, 0.0f}));
    EXPECT_EQ(map->components.at(&ComponentListSystem<ColliderLine>::Instance()).layer,
              UpdateLayer::AVERAGE);
    EXPECT_EQ(WallColliders(), std::vector<ColliderLine*>{outline}) << "it entered its list";
    EXPECT_TRUE(map->GetComponent<Transform>()->isStatic) << "collision never pushes the map";

    EXPECT_EQ(ChildNames(), (std::vector<std::string>{"Border##0", "Border##1", "Border##2",
                                                      "Border##3", "Border##4"}));
    for (const Entity* cell : map->children) {
        EXPECT_EQ(cell->GetComponent<Collider>(), nullptr);
        EXPECT_EQ(cell->GetComponent<ColliderLine>(), nullptr) << "cells have no collider";
    }

    EXPECT_TRUE(GraphWasCreated());
    const NavigationGraph& graph = Pathfinding::Graph();
    EXPECT_EQ(graph.nodes, (std::vector<std::int32_t>{kWall, kWall, kWall, kWall, 0, kWall}));
    EXPECT_EQ(graph.columns, 3);
    EXPECT_EQ(graph.rows, 2);
    EXPECT_TRUE(graph.FindPath(4, 1).empty()) << "the gap is walled in below and at the sides";
    EXPECT_TRUE(TraceLines("ERROR: ").empty());
}

TEST_F(TilemapTest, OddMapExtentPutsTheOutlineHalfAUnitOffTheCells) {
    // 3 x 1 cells of width 5: the map is 15 wide, its integer half 7 while the cells use 7.5.
    WriteMap(MapJson(3, 1, 5, 4, {0, kWall, 0}));
    Rebuild();

    ASSERT_EQ(map->children.size(), 1u);
    EXPECT_FLOAT_EQ(map->children[0]->GetComponent<Transform>()->position.x, -2.5f);
    const ColliderLine* outline = map->GetComponent<ColliderLine>();
    ASSERT_NE(outline, nullptr);
    ASSERT_EQ(outline->vertices.size(), 8u);
    EXPECT_EQ(outline->vertices[0], (Vector2{-4.5f, -4.0f}));
    EXPECT_EQ(outline->vertices[7], (Vector2{0.5f, 0.0f}));
}

TEST_F(TilemapTest, RebuildTakesTwoUpdatesAndContinuesTheObjectCount) {
    // Objects are made bottom row first: the file's second row, then its first.
    WriteMap(MapJson(2, 2, 32, 32, {3, 4, 1, 2}));
    Rebuild();
    EXPECT_EQ(ChildNames(),
              (std::vector<std::string>{"Ball##0", "Explosion##1", "Milk##2", "Floor##3"}));
    const ColliderLine* first = map->GetComponent<ColliderLine>();
    ASSERT_NE(first, nullptr);
    EXPECT_FALSE(tilemap->recreateMap);
    EXPECT_EQ(tilemap->tileInfos.size(), 5u);

    tilemap->FromJson({{"filepath", kMapFile}});
    EXPECT_TRUE(tilemap->recreateMap);
    // First update: only the old wall collider leaves, at the next flush.
    tilemap->Update(0.0f);
    EXPECT_EQ(map->children.size(), 4u) << "the cells stay until the second update";
    FlushAllLists();
    EXPECT_EQ(map->GetComponent<ColliderLine>(), nullptr);
    EXPECT_TRUE(WallColliders().empty());
    // Second update: the new map.
    tilemap->Update(0.0f);
    Engine::Instance().originEntity->RemoveDestroyedChildren();
    FlushAllLists();

    EXPECT_EQ(ChildNames(),
              (std::vector<std::string>{"Ball##4", "Explosion##5", "Milk##6", "Floor##7"}));
    ASSERT_NE(map->GetComponent<ColliderLine>(), nullptr);
    EXPECT_EQ(WallColliders().size(), 1u) << "one wall collider, never two";
    EXPECT_EQ(tilemap->tileInfos.size(), 10u) << "every rebuild appends the tile sets";
    EXPECT_FALSE(tilemap->recreateMap);
    EXPECT_TRUE(tilemap->clearStep);

    tilemap->Update(0.0f);
    FlushAllLists();
    EXPECT_EQ(ChildNames().size(), 4u) << "nothing happens until the next rebuild is asked for";
}

struct ArchetypeCase {
    std::string name;
    bool isStatic;
    std::string texture;
    UpdateLayer spriteLayer;
    // The picture as it is (white tint), or its silhouette (the stock sprite's black tint).
    bool tinted;
};

TEST_F(TilemapTest, EachArchetypeMakesItsObjectAtItsCell) {
    // 5 x 2 cells of 32 x 16; the top row is empty.
    WriteMap(MapJson(5, 2, 32, 16, {0, 0, 0, 0, 0, 1, 2, 3, 4, 5}));
    Rebuild();

    // Each shows its tile's picture, whatever its archetype used to draw.
    const std::vector<ArchetypeCase> cases{
        {"Ball##0", true, "ball.png", UpdateLayer::FASTEST, true},
        {"Explosion##1", true, "flame.png", UpdateLayer::AVERAGE, false},
        {"Milk##2", true, "milk.png", UpdateLayer::AVERAGE, false},
        {"Floor##3", false, "floor.png", UpdateLayer::FASTEST, true},
        {"Border##4", true, "wall.png", UpdateLayer::AVERAGE, true},
    };
    ASSERT_EQ(map->children.size(), cases.size());
    for (std::size_t column = 0; column < cases.size(); ++column) {
        const ArchetypeCase& row = cases[column];
        SCOPED_TRACE(row.name);
        const Entity* cell = map->children[column];
        EXPECT_EQ(cell->name, row.name);
        EXPECT_EQ(cell->parent, map);
        const Transform* transform = cell->GetComponent<Transform>();
        ASSERT_NE(transform, nullptr);
        EXPECT_EQ(transform->position,
                  (Vector2{static_cast<float>(column) * 32.0f - 80.0f, -16.0f}));
        EXPECT_EQ(transform->scale, (Vector2{32.0f, 16.0f}));
        EXPECT_EQ(transform->rotation, 0.0f);
        EXPECT_EQ(transform->isStatic, row.isStatic);
        const Sprite* sprite = cell->GetComponent<Sprite>();
        ASSERT_NE(sprite, nullptr);
        ASSERT_NE(sprite->texture, nullptr);
        EXPECT_EQ(sprite->texture->name, row.texture);
        EXPECT_GE(sprite->texture->id, 0) << "the texture exists";
        EXPECT_EQ(sprite->color, row.tinted ? (Vector3{1, 1, 1}) : (Vector3{0, 0, 0}));
        EXPECT_EQ(cell->components.at(&ComponentListSystem<Sprite>::Instance()).layer,
                  row.spriteLayer);
        EXPECT_EQ(cell->components.at(&ComponentListSystem<Transform>::Instance()).layer,
                  UpdateLayer::AVERAGE);
    }
    EXPECT_TRUE(TraceLines("WARNING: TileMap::CreateObject").empty());
}

TEST_F(TilemapTest, CellObjectsSitOnTheGraphsPointsWhereverTheMapIsPlacedAndScaled) {
    Transform* placed = map->GetComponent<Transform>();
    placed->SetPosition({100.0f, 50.0f});
    placed->SetScale({2.0f, 3.0f});
    WriteMap(MapJson(3, 2, 32, 16, {4, 4, 4, 4, 4, 4}));
    Rebuild();

    const NavigationGraph& graph = Pathfinding::Graph();
    EXPECT_EQ(graph.origin, (Vector2{100.0f, 50.0f}));
    EXPECT_FLOAT_EQ(graph.cellWidth, 64.0f);
    EXPECT_FLOAT_EQ(graph.cellHeight, 48.0f);
    ASSERT_EQ(map->children.size(), 6u);
    for (std::int32_t node = 0; node < 6; ++node) {
        SCOPED_TRACE(node);
        const Vector2 world = map->children[node]->GetComponent<Transform>()->GetWorldPosition();
        EXPECT_EQ(Pathfinding::PointOfNode(node), world);
        EXPECT_EQ(Pathfinding::NodeOfPoint(world), node);
    }
}

TEST_F(TilemapTest, ArchetypePropertyIsFoundWhereverItStands) {
    const json other{{"name", "solid"}, {"type", "bool"}, {"value", true}};
    const json count{{"name", "count"}, {"type", "int"}, {"value", 3}};
    const std::vector<json> propertyLists{
        json::array({ArchetypeProperty("ball"), other, count}),
        json::array({other, ArchetypeProperty("ball")}),
        json::array({other, ArchetypeProperty("ball"), count}),
    };
    for (const json& properties : propertyLists) {
        SCOPED_TRACE(properties.dump());
        const json tileSet{{"firstgid", 1}, {"tiles", {Tile(0, "ball.png", properties)}}};
        WriteMap(MapJson(1, 1, 32, 32, {1}, json::array({tileSet})));
        tilemap->FromJson({{"filepath", kMapFile}});
        Rebuild();
        ASSERT_EQ(map->children.size(), 1u);
        EXPECT_TRUE(map->children[0]->name.starts_with("Ball##")) << map->children[0]->name;
        EXPECT_EQ(tilemap->tileInfos.back().archetype, "ball");
    }
}

TEST_F(TilemapTest, CellsWithoutAKnownArchetypeAreSkippedWithAWarningNamingTheImage) {
    const json tileSet{{"firstgid", 1},
                       {"tiles",
                        {Tile(0, "../images/crate.png", nullptr),
                         Tile(1, "tiles\\lava.png", json::array({ArchetypeProperty("lava")})),
                         Tile(2, "ball.png", json::array({ArchetypeProperty("ball")}))}}};
    // 9 has no tile info at all; 3 is the ball, which still gets built.
    WriteMap(MapJson(4, 1, 32, 32, {9, 1, 2, 3}, json::array({tileSet})));
    Rebuild();

    const std::string prefix = "WARNING: TileMap::CreateObject - Can't find archetype for object: ";
    EXPECT_EQ(TraceLines("WARNING: TileMap::CreateObject"),
              (std::vector<std::string>{prefix, prefix + "crate.png", prefix + "lava.png"}));
    EXPECT_EQ(ChildNames(), std::vector<std::string>{"Ball##3"}) << "skipped cells still count";
    EXPECT_EQ(tilemap->tileInfos[0].archetype, "null");
}

TEST_F(TilemapTest, TileSetsGiveIdsImagesAndTheMapsTileSize) {
    const json first{
        {"firstgid", 1},
        {"tiles",
         {Tile(0, "C:\\art\\tiles\\grass.png", json::array({ArchetypeProperty("floor")})),
          Tile(3, "../art/rock.png", json::array({ArchetypeProperty("border")}))}}};
    const json second{{"firstgid", 20},
                      {"tiles", {Tile(2, "plain.png", json::array({ArchetypeProperty("milk")}))}}};
    WriteMap(MapJson(2, 1, 24, 12, {1, 22}, json::array({first, second})));
    Rebuild();

    ASSERT_EQ(tilemap->tileInfos.size(), 3u);
    const TileInfo& grass = tilemap->tileInfos[0];
    EXPECT_EQ(grass.imageName, "grass.png");
    EXPECT_EQ(grass.archetype, "floor");
    EXPECT_EQ(grass.gid, 1);
    EXPECT_EQ(grass.imageWidth, 64);
    EXPECT_EQ(grass.imageHeight, 48);
    EXPECT_EQ(grass.tileWidth, 24);
    EXPECT_EQ(grass.tileHeight, 12);
    EXPECT_EQ(tilemap->tileInfos[1].imageName, "rock.png");
    EXPECT_EQ(tilemap->tileInfos[1].gid, 4);
    EXPECT_EQ(tilemap->tileInfos[2].gid, 22);
    EXPECT_EQ(ChildNames(), (std::vector<std::string>{"Floor##0", "Milk##1"}));
    EXPECT_EQ(map->children[1]->GetComponent<Transform>()->scale, (Vector2{24.0f, 12.0f}));
    EXPECT_EQ(tilemap->width, 2);
    EXPECT_EQ(tilemap->height, 1);
    EXPECT_EQ(tilemap->firstLayer, (std::vector<std::int32_t>{1, 22}));
    EXPECT_EQ(tilemap->secondLayer, (std::vector<std::int32_t>{0, 0}));
}

TEST_F(TilemapTest, LaterTileInfoForTheSameIdWins) {
    const json first{{"firstgid", 1},
                     {"tiles", {Tile(0, "a.png", json::array({ArchetypeProperty("milk")}))}}};
    const json second{{"firstgid", 1},
                      {"tiles", {Tile(0, "b.png", json::array({ArchetypeProperty("ball")}))}}};
    WriteMap(MapJson(1, 1, 32, 32, {1}, json::array({first, second})));
    Rebuild();
    EXPECT_EQ(ChildNames(), std::vector<std::string>{"Ball##0"});
}

TEST_F(TilemapTest, FileThatCannotBeOpenedEmptiesTheMapAndNamesThePath) {
    WriteMap(MapJson(2, 1, 32, 32, {kWall, 1}));
    Rebuild();
    ASSERT_EQ(map->children.size(), 2u);
    ASSERT_NE(map->GetComponent<ColliderLine>(), nullptr);

    for (const std::string path : {"", "missing.json"}) {
        SCOPED_TRACE(path);
        ClearLog();
        tilemap->FromJson({{"filepath", path}});
        Rebuild();
        EXPECT_EQ(TraceLines("ERROR: "),
                  std::vector<std::string>{"ERROR: Tilemap::Serialize - Cannot open data file: " +
                                           DataDirectory + "Tilemaps/" + path});
        EXPECT_TRUE(map->children.empty()) << "the old cells are gone";
        EXPECT_EQ(map->GetComponent<ColliderLine>(), nullptr) << "the old outline is gone";
        EXPECT_TRUE(WallColliders().empty());
        EXPECT_FALSE(tilemap->recreateMap);
        EXPECT_FALSE(GraphWasCreated());
    }
}

TEST_F(TilemapTest, UnreadableFileIsReportedOnceAndLeavesTheMapEmpty) {
    const json good = MapJson(2, 1, 32, 32, {kWall, 1});
    json oneLayer = good;
    oneLayer["layers"].erase(1);
    json shortFirst = good;
    shortFirst["layers"][0]["data"] = {kWall};
    json shortSecond = good;
    shortSecond["layers"][1]["data"] = json::array();
    json textCell = good;
    textCell["layers"][0]["data"][1] = "1";
    json numberArchetype = good;
    numberArchetype["tilesets"][0]["tiles"][2]["properties"][0]["value"] = 7;
    json hugeSquare = good;
    hugeSquare["width"] = 4096;
    hugeSquare["height"] = 4096;
    json overBound = good;
    overBound["width"] = 1001;
    overBound["height"] = 1000;
    json noImage = good;
    noImage["tilesets"][0]["tiles"][1].erase("image");
    json layerWithoutData = good;
    layerWithoutData["layers"][1].erase("data");

    const auto with = [&good](const char* key, const json& value) {
        json changed = good;
        changed[key] = value;
        return changed.dump();
    };
    const std::vector<BrokenFileCase> cases{
        {"not JSON", R"({"width": 2, "height": )", "parse error"},
        {"empty file", "", "parse error"},
        {"not an object", "[1, 2]", "the file is not an object"},
        {"no tilewidth", Without(good, "tilewidth").dump(), "missing key \"tilewidth\""},
        {"no tilesets", Without(good, "tilesets").dump(), "missing key \"tilesets\""},
        {"tile without image", noImage.dump(), "missing key \"tilesets[0].tiles[1].image\""},
        {"layer without data", layerWithoutData.dump(), "missing key \"layers[1].data\""},
        {"one layer", oneLayer.dump(), "\"layers\" holds 1 layer"},
        {"short first layer", shortFirst.dump(), "layers[0].data holds 1 cells"},
        {"short second layer", shortSecond.dump(), "layers[1].data holds 0 cells"},
        {"cell that is text", textCell.dump(), "layers[0].data[1]"},
        {"archetype that is a number", numberArchetype.dump(),
         "tilesets[0].tiles[2].properties[0].value is not a string"},
        {"negative width", with("width", -3), "\"width\" is -3, outside 1..4096"},
        {"huge height", with("height", 100000000), "\"height\" is 100000000"},
        {"width beyond 32 bits", with("width", 1e12), "width is not a 32-bit integer"},
        {"zero tile height", with("tileheight", 0), "\"tileheight\" is 0"},
        {"fractional tile width", with("tilewidth", 31.5), "tilewidth is not a 32-bit integer"},
        {"huge square", hugeSquare.dump(),
         "4096 x 4096 = 16777216 cells, more than the 1000000 a map may have"},
        {"one row over the bound", overBound.dump(), "1001 x 1000 = 1001000 cells, more than"},
    };

    WriteMap(good);
    Rebuild();
    ASSERT_EQ(map->children.size(), 2u);
    ASSERT_EQ(tilemap->width, 2);
    ASSERT_EQ(tilemap->tileInfos.size(), 5u);
    ExpectEachRefused(cases);

    // The game goes on: the next good file builds as usual.
    tilemap->FromJson({{"filepath", kMapFile}});
    Rebuild();
    EXPECT_EQ(map->children.size(), 2u);
    EXPECT_NE(map->GetComponent<ColliderLine>(), nullptr);
}

TEST_F(TilemapTest, FolderAsFilePathIsAFileThatCannotBeOpened) {
    std::filesystem::create_directories(tree.root() / "Data" / "Tilemaps" / "levels");
    tilemap->FromJson({{"filepath", "levels"}});
    Rebuild();
    EXPECT_EQ(TraceLines("ERROR: "),
              std::vector<std::string>{"ERROR: Tilemap::Serialize - Cannot open data file: " +
                                       DataDirectory + "Tilemaps/levels"});
}

TEST_F(TilemapTest, EntityFileEntryBuildsTheMapItNames) {
    // The ball in the bottom row, built first.
    WriteMap(MapJson(1, 2, 32, 32, {kWall, 1}));
    Entity* loaded = AddEntity("Loaded", {0.0f, 0.0f});
    Entity::from_json({{"Tilemap", {{"Tilemap", {{"filepath", kMapFile}}}, {"Update layer", 3}}}},
                      *loaded);
    Tilemap* read = loaded->GetComponent<Tilemap>();
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->filepath, kMapFile);
    EXPECT_TRUE(read->recreateMap);
    EXPECT_EQ(loaded->components.at(&ComponentListSystem<Tilemap>::Instance()).layer,
              UpdateLayer::SLOW);
    FlushAllLists();
    for (int frame = 0; frame < 2; ++frame) {
        ComponentListSystem<Tilemap>::Instance().Update(0.0f);
        FlushAllLists();
    }
    ASSERT_EQ(loaded->children.size(), 2u);
    EXPECT_EQ(loaded->children[0]->name, "Ball##0");
    EXPECT_EQ(Entity::to_json(*loaded).at("Tilemap").at("Tilemap"),
              (json{{"filepath", kMapFile}, {"recreateMap", false}}));
}

TEST_F(TilemapTest, EntityFileEntryWithoutDataStartsWithoutAFile) {
    Entity* loaded = AddEntity("Loaded", {0.0f, 0.0f});
    Entity::from_json({{"Tilemap", {{"Update layer", 2}}}}, *loaded);
    Tilemap* read = loaded->GetComponent<Tilemap>();
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->filepath, "");
    EXPECT_TRUE(read->recreateMap);
    const std::vector<std::string> warnings = TraceLines("WARNING: Json key");
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_TRUE(Contains(warnings[0], "Tilemap")) << warnings[0];
}

TEST_F(TilemapTest, CloneCopiesTheMapsStateButNotItsEntity) {
    WriteMap(MapJson(2, 1, 32, 32, {1, 3}));
    Rebuild();
    const std::unique_ptr<Component> copy = tilemap->Clone();
    const auto* clone = dynamic_cast<const Tilemap*>(copy.get());
    ASSERT_NE(clone, nullptr);
    EXPECT_EQ(clone->owner, nullptr);
    EXPECT_EQ(clone->filepath, kMapFile);
    EXPECT_EQ(clone->objectCounter, 1);
    EXPECT_EQ(clone->firstLayer, tilemap->firstLayer);
    ASSERT_EQ(clone->tileInfos.size(), tilemap->tileInfos.size());
    EXPECT_EQ(clone->tileInfos[2].imageName, "milk.png");
    EXPECT_EQ(clone->ToJson(), tilemap->ToJson());
}

struct EncodingCase {
    const char* name;
    // The layer as the case saves the cells (and the data of its second layer).
    std::function<json(const std::vector<std::uint32_t>&)> layer;
};

TEST_F(TilemapTest, LayersReadAlikeInEveryEncodingTheEditorSaves) {
    // 3 x 2, top row first: a flipped ball, a turned wall, a floor; nothing, a flipped milk, an
    // explosion with every flip.
    const std::vector<std::uint32_t> first{1 | kHorizontal,
                                           kWall | kDiagonal,
                                           4,
                                           0,
                                           3 | kVertical,
                                           2 | kHorizontal | kVertical | kDiagonal};
    const std::vector<std::uint32_t> second{0, 0, 0, 1 | kVertical, 0, 2};
    const auto signedNumbers = [](const std::vector<std::uint32_t>& values) {
        json data = json::array();
        for (std::uint32_t value : values) {
            data.push_back(static_cast<std::int32_t>(value));
        }
        return json{{"data", data}};
    };
    const std::vector<EncodingCase> cases{
        {"numbers",
         [](const auto& values) {
             return json{{"data", values}};
         }},
        {"numbers, flipped ones as signed 32-bit values", signedNumbers},
        {"base64", [](const auto& values) { return Base64Layer(LittleEndian(values), nullptr); }},
        {"base64, no compression named",
         [](const auto& values) { return Base64Layer(LittleEndian(values), ""); }},
        {"base64 of zlib data",
         [](const auto& values) {
             return Base64Layer(Deflated(LittleEndian(values), kZlibWrapper), "zlib");
         }},
        {"base64 of gzip data",
         [](const auto& values) {
             return Base64Layer(Deflated(LittleEndian(values), kGzipWrapper), "gzip");
         }},
    };
    for (const EncodingCase& row : cases) {
        SCOPED_TRACE(row.name);
        json file = MapJson(3, 2, 32, 32, {});
        file["layers"] = json::array({row.layer(first), row.layer(second)});
        WriteMap(file);
        ClearLog();
        tilemap->FromJson({{"filepath", kMapFile}});
        Rebuild();

        EXPECT_TRUE(TraceLines("ERROR: ").empty());
        // Bottom row first.
        EXPECT_EQ(tilemap->firstLayer, (std::vector<std::int32_t>{0, 3, 2, 1, kWall, 4}));
        EXPECT_EQ(tilemap->secondLayer, (std::vector<std::int32_t>{1, 0, 2, 0, 0, 0}));
        const std::vector<TilemapFlips> flips{{},
                                              {false, true, false},
                                              {true, true, true},
                                              {true, false, false},
                                              {false, false, true},
                                              {}};
        EXPECT_EQ(tilemap->firstLayerFlips, flips);
        ASSERT_EQ(map->children.size(), 5u);
        std::vector<std::string> kinds;
        for (const std::string& name : ChildNames()) {
            kinds.push_back(name.substr(0, name.find("##")));
        }
        EXPECT_EQ(kinds,
                  (std::vector<std::string>{"Milk", "Explosion", "Ball", "Border", "Floor"}));
        EXPECT_NE(map->GetComponent<ColliderLine>(), nullptr);
    }
}

TEST_F(TilemapTest, FlippedWallsAreWallsAndFlippedCellsKeepPlainTransforms) {
    // An L of walls, and a floor beside it.
    const std::vector<std::int32_t> plain{kWall, 0, kWall, 4};
    WriteMap(MapJson(2, 2, 32, 16, plain));
    Rebuild();
    const ColliderLine* plainOutline = map->GetComponent<ColliderLine>();
    ASSERT_NE(plainOutline, nullptr);
    const std::vector<Vector2> outline = plainOutline->vertices;
    const std::vector<std::int32_t> nodes = Pathfinding::Graph().nodes;

    json flipped = MapJson(2, 2, 32, 16, {});
    flipped["layers"][0]["data"] = {kWall | kHorizontal | kDiagonal, 0,
                                    kWall | kVertical | kHexagonalTurn,
                                    4 | kHorizontal | kVertical};
    flipped["layers"][1]["data"] = {0, 0, 0, 0};
    WriteMap(flipped);
    tilemap->FromJson({{"filepath", kMapFile}});
    Rebuild();

    const ColliderLine* flippedOutline = map->GetComponent<ColliderLine>();
    ASSERT_NE(flippedOutline, nullptr);
    EXPECT_EQ(flippedOutline->vertices, outline);
    EXPECT_EQ(Pathfinding::Graph().nodes, nodes);
    EXPECT_EQ(ChildNames(), (std::vector<std::string>{"Border##3", "Floor##4", "Border##5"}));
    for (const Entity* cell : map->children) {
        SCOPED_TRACE(cell->name);
        const Transform* transform = cell->GetComponent<Transform>();
        EXPECT_EQ(transform->scale, (Vector2{32.0f, 16.0f}));
        EXPECT_EQ(transform->rotation, 0.0f);
    }
    EXPECT_TRUE(TraceLines("ERROR: ").empty());
}

TEST_F(TilemapTest, MalformedEditorDataIsReportedOnceAndLeavesTheMapEmpty) {
    const json good = MapJson(2, 1, 32, 32, {kWall, 1});
    const std::string cells = LittleEndian({kWall, 1});
    const std::string zlib = Deflated(cells, kZlibWrapper);
    const auto withFirstLayer = [&good](const json& layer) {
        json changed = good;
        changed["layers"][0] = layer;
        return changed.dump();
    };
    const auto with = [&good](const char* key, const json& value) {
        json changed = good;
        changed[key] = value;
        return changed.dump();
    };
    const auto withTileSet = [&good](const json& tileSet) {
        json changed = good;
        changed["tilesets"] = json::array({tileSet});
        return changed.dump();
    };
    // The stock tile set saying how many tiles it holds, as the editor always does.
    const auto counted = [&good](const std::vector<std::uint32_t>& first,
                                 const std::vector<std::uint32_t>& second) {
        json changed = good;
        changed["tilesets"][0]["tilecount"] = 5;
        changed["layers"][0]["data"] = first;
        changed["layers"][1]["data"] = second;
        return changed.dump();
    };
    const json grid{{"firstgid", 1},  {"image", "grid.png"}, {"imagewidth", 20}, {"imageheight", 8},
                    {"tilewidth", 8}, {"tileheight", 8},     {"columns", 2},     {"tilecount", 2}};
    const auto gridWith = [&grid](const char* key, const json& value) {
        json changed = grid;
        changed[key] = value;
        return changed;
    };
    json objectLayerFirst = good;
    objectLayerFirst["layers"][0] = {{"type", "objectgroup"}, {"objects", json::array()}};
    json chunks = good;
    chunks["layers"][0].erase("data");
    chunks["layers"][0]["chunks"] = json::array();

    WriteMap("sets/broken.tsj", "{\"tiles\": [");
    WriteMap("sets/no-image.tsj", json{{"tiles", {{{"id", 0}}}}}.dump());
    std::filesystem::create_directories(tree.root() / "Data" / "Tilemaps" / "sets" / "folder.tsj");

    const std::vector<BrokenFileCase> cases{
        {"base64 with a character outside it",
         withFirstLayer({{"data", "BQAA!AAA"}, {"encoding", "base64"}}),
         "layers[0].data is not base64: character 4 is \"!\""},
        {"base64 cut short", withFirstLayer({{"data", "BQAAAAE"}, {"encoding", "base64"}}),
         "layers[0].data is not base64: its length 7"},
        {"base64 of three cells", withFirstLayer(Base64Layer(LittleEndian({5, 1, 1}), nullptr)),
         "layers[0].data holds 12 bytes, not 4 for each of the width x height (2) cells"},
        {"base64 of half a cell", withFirstLayer(Base64Layer(std::string("\x05\x00", 2), nullptr)),
         "layers[0].data holds 2 bytes, not 4"},
        {"base64 layer that is numbers",
         withFirstLayer({{"data", {kWall, 1}}, {"encoding", "base64"}}),
         "layers[0].data is not base64 text but array"},
        {"zlib data that is not zlib", withFirstLayer(Base64Layer("not zlib at all", "zlib")),
         "layers[0].data is not valid zlib data"},
        {"zlib data said to be gzip", withFirstLayer(Base64Layer(zlib, "gzip")),
         "layers[0].data is not valid gzip data"},
        {"gzip data said to be zlib",
         withFirstLayer(Base64Layer(Deflated(cells, kGzipWrapper), "zlib")),
         "layers[0].data is not valid zlib data"},
        {"zlib data cut short",
         withFirstLayer(Base64Layer(zlib.substr(0, zlib.size() - 4), "zlib")),
         "layers[0].data is not valid zlib data: the stream is cut short"},
        {"zlib data with bytes after it", withFirstLayer(Base64Layer(zlib + "more", "zlib")),
         "4 bytes follow the end of the stream"},
        {"zlib data of three cells",
         withFirstLayer(Base64Layer(Deflated(LittleEndian({5, 1, 1}), kZlibWrapper), "zlib")),
         "layers[0].data unpacks to more than the 8 bytes"},
        {"zlib data of one cell",
         withFirstLayer(Base64Layer(Deflated(LittleEndian({5}), kZlibWrapper), "zlib")),
         "layers[0].data holds 4 bytes, not 4 for each"},
        {"zstd data", withFirstLayer(Base64Layer(cells, "zstd")),
         "layers[0].compression \"zstd\" cannot be read"},
        {"unknown encoding", withFirstLayer({{"data", "5,1"}, {"encoding", "text"}}),
         "layers[0].encoding \"text\" cannot be read"},
        {"base64 text without its encoding", withFirstLayer({{"data", Base64(cells)}}),
         "layers[0].data is not an array but"},
        {"more cells than the map", withFirstLayer({{"data", {kWall, 1, 1}}}),
         "layers[0].data holds 3 cells, not width x height (2)"},
        {"cell beyond 32 bits", withFirstLayer({{"data", {kWall, 4294967296u}}}),
         "layers[0].data[1] is not a 32-bit integer"},
        {"cell below 32 bits", withFirstLayer({{"data", {kWall, -2147483649LL}}}),
         "layers[0].data[1] is not a 32-bit integer"},
        {"object layer first", objectLayerFirst.dump(),
         "layers[0] is a \"objectgroup\" layer; the first two layers must be tile layers"},
        {"layer of chunks", chunks.dump(), "layers[0] is made of chunks"},
        {"infinite map", with("infinite", true), "the map is infinite"},
        {"isometric map", with("orientation", "isometric"),
         "\"orientation\" is \"isometric\"; only orthogonal maps can be read"},
        {"orientation that is a number", with("orientation", 1),
         "orientation is not a string but 1"},
        {"tile above every tile set", counted({kWall, 6}, {0, 0}),
         "layers[0].data[1] names tile 6, above every tile set (the highest id is 5)"},
        {"flipped tile above every tile set", counted({kWall | kHorizontal, 9 | kDiagonal}, {0, 0}),
         "layers[0].data[1] names tile 9"},
        {"second layer's tile above every tile set", counted({kWall, 1}, {7 | kVertical, 0}),
         "layers[1].data[0] names tile 7"},
        {"missing tile set file", withTileSet({{"firstgid", 1}, {"source", "sets/gone.tsj"}}),
         "tilesets[0].source: there is no tile set file " + DataDirectory +
             "Tilemaps/sets/gone.tsj"},
        {"tile set saved as XML", withTileSet({{"firstgid", 1}, {"source", "sets/tiles.tsx"}}),
         "tilesets[0].source \"sets/tiles.tsx\" is not a tile set saved as JSON"},
        {"tile set file that is a folder",
         withTileSet({{"firstgid", 1}, {"source", "sets/folder.tsj"}}),
         "tilesets[0].source: there is no tile set file"},
        {"tile set file that is not JSON",
         withTileSet({{"firstgid", 1}, {"source", "sets/broken.tsj"}}),
         "tilesets[0].source: the tile set file " + DataDirectory +
             "Tilemaps/sets/broken.tsj cannot be read: "},
        {"tile in a tile set file without its image",
         withTileSet({{"firstgid", 1}, {"source", "sets/no-image.tsj"}}),
         "missing key \"tilesets[0](sets/no-image.tsj).tiles[0].image\""},
        {"tile set file named without a first id", withTileSet({{"source", "sets/no-image.tsj"}}),
         "missing key \"tilesets[0].firstgid\""},
        {"grid wider than its image", withTileSet(gridWith("spacing", 5)),
         "tilesets[0]: 2 tiles of 8 x 8 in 2 columns (margin 0, spacing 5) reach beyond the "
         "20 x 8 image"},
        {"grid taller than its image", withTileSet(gridWith("margin", 1)),
         "(margin 1, spacing 0) reach beyond the 20 x 8 image"},
        {"grid without columns", withTileSet(Without(grid, "columns")),
         "missing key \"tilesets[0].columns\""},
        {"grid without a tile count", withTileSet(Without(grid, "tilecount")),
         "missing key \"tilesets[0].tilecount\""},
        {"grid of no columns", withTileSet(gridWith("columns", 0)),
         "\"tilesets[0].columns\" is 0, outside 1..2147483647"},
        {"grid tile beyond the tile count",
         withTileSet(gridWith("tiles", {{{"id", 2}, {"properties", json::array()}}})),
         "\"tilesets[0].tiles[0].id\" is 2, outside 0..1"},
        {"collection tile's part beyond its image",
         withTileSet({{"firstgid", 1},
                      {"tiles",
                       {{{"id", 0},
                         {"image", "a.png"},
                         {"imagewidth", 16},
                         {"imageheight", 16},
                         {"x", 8},
                         {"y", 0},
                         {"width", 16},
                         {"height", 16}}}}}),
         "tilesets[0].tiles[0]: the part 16 x 16 at 8, 0 reaches beyond its 16 x 16 image"},
    };

    WriteMap(good);
    Rebuild();
    ASSERT_EQ(map->children.size(), 2u);
    ExpectEachRefused(cases);
}

}  // namespace
