#pragma once
// The part of a tile-map file (as a tile editor saves it) that a Tilemap builds from, read and
// checked as a whole before the map is touched: a file with a missing key, a value of the wrong
// type, fewer than two tile layers, a layer that does not hold width x height cells, data that
// does not decode, a cell naming a tile above every tile set, a tile set file that cannot be
// read, a map that is not orthogonal or is infinite, or an absurd size is refused with a
// TilemapFileError that says where and what, and nothing of it is used.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "gameplay/TileInfo.h"
#include "gameplay/TilemapFileError.h"
#include "gameplay/TilemapFlips.h"

struct TilemapFile {
    // Far beyond any hand-made level, and small enough that the map's extent in pixels (side x
    // tile size) and its cell count stay well inside 32-bit integers.
    static constexpr std::int32_t kMaxMapSide = 4096;
    static constexpr std::int32_t kMaxTileSize = 4096;
    // What the engine can hold: every cell may become an entity with a transform and a sprite,
    // plus a node of the route graph, about 380 bytes in all, and building the map takes time in
    // proportion. A million cells (1000 x 1000, some two thousand times a shipped level) is
    // about 380 MB at worst and a build of about two seconds on a small machine; the 4096 x 4096
    // the sides alone allow took 6 GB, or half a minute for an empty map.
    static constexpr std::size_t kMaxMapCells = 1000000;

    // Throws TilemapFileError naming the offending member. Tile sets kept in files of their own
    // are read from `mapFolder`, the folder of the map file.
    static TilemapFile Read(const nlohmann::json& root, const std::string& mapFolder);

    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t tileWidth = 0;
    std::int32_t tileHeight = 0;
    // Tile ids, flip bits cleared, width x height each, row by row with row 0 at the bottom: the
    // file's rows turned over, since the file's first row is the top one as the editor shows it
    // and the world's y grows upwards.
    std::vector<std::int32_t> firstLayer;
    std::vector<std::int32_t> secondLayer;
    // How each cell of the first layer shows its tile, in firstLayer's order.
    std::vector<TilemapFlips> firstLayerFlips;
    // Every tile of every tile set that cells can show, in file order, with the map's tile size.
    std::vector<TileInfo> tileInfos;
};
