#pragma once
// The tile sets of a tile-map file, as a tile editor saves them: kept in the map or in a JSON file
// of their own ("source", relative to the map's folder; the map's entry gives its "firstgid"),
// and either a collection of images (each tile names its own "image") or one image cut into a
// grid of tiles ("image", "columns", "tilecount", the tile size, "margin" around the grid and
// "spacing" between its tiles). A tile's "archetype" property says what it stands for.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "gameplay/TileInfo.h"

class TilemapTileSets {
public:
    // Reads root["tilesets"]; throws TilemapFileError naming the tile set and what is wrong.
    static TilemapTileSets Read(const nlohmann::json& root, const std::string& mapFolder);

    // One past the highest global id of any tile set, or none when a tile set gives no tile count
    // (a hand-written collection), so that its ids have no known end.
    std::optional<std::int64_t> EndOfIds() const;

    // The tiles cells can show, with the map's tile size: every tile the tile sets list, in file
    // order, and each tile of `usedIds` (global ids, ascending) that a cut image holds without
    // listing it, so that every cell of such a tile knows its picture.
    std::vector<TileInfo> Tiles(const std::vector<std::int32_t>& usedIds, std::int32_t tileWidth,
                                std::int32_t tileHeight) const;

private:
    // How one image is cut into tiles.
    struct Grid {
        std::string imageName;
        std::int32_t imageWidth = 0;
        std::int32_t imageHeight = 0;
        std::int32_t tileWidth = 0;
        std::int32_t tileHeight = 0;
        std::int32_t columns = 0;
        std::int32_t margin = 0;
        std::int32_t spacing = 0;
    };

    struct TileSet {
        std::int32_t firstGid = 0;
        std::optional<std::int64_t> endOfIds;
        std::optional<Grid> grid;
        std::vector<TileInfo> listed;
    };

    static TileSet ReadTileSet(const nlohmann::json& entry, const std::string& where,
                               const std::string& mapFolder);
    static TileSet ReadCollection(const nlohmann::json& set, const std::string& where,
                                  std::int32_t firstGid);
    static TileSet ReadGrid(const nlohmann::json& set, const std::string& where,
                            std::int32_t firstGid);
    static TileInfo GridTile(const Grid& grid, std::int32_t firstGid, std::int32_t id);

    std::vector<TileSet> sets;
};
