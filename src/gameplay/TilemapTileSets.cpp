#include "gameplay/TilemapTileSets.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <limits>
#include <system_error>

#include "SharedDependencies/Source/Stream.h"
#include "SharedDependencies/Source/StreamOpenError.h"
#include "gameplay/TilemapFile.h"
#include "gameplay/TilemapJson.h"

namespace {

constexpr const char* kArchetypeProperty = "archetype";
constexpr std::int32_t kLargest = std::numeric_limits<std::int32_t>::max();
// The editor saves tile sets of their own as JSON under either name.
constexpr const char* kTileSetExtensions[] = {".tsj", ".json"};

// The file name part of a path, whichever separator the editor that saved it used.
std::string FileNameOf(const std::string& path) {
    const std::size_t separator = path.find_last_of("/\\");
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

// The value of the "archetype" property, wherever it stands among the tile's properties. A tile
// editor leaves "properties" out of a tile that has none.
std::string Archetype(const nlohmann::json& tile, const std::string& where) {
    std::string archetype = TileInfo::kNoArchetype;
    if (!tile.contains("properties")) {
        return archetype;
    }
    const nlohmann::json& properties = TilemapJson::ArrayMember(tile, "properties", where);
    for (std::size_t k = 0; k < properties.size(); ++k) {
        const std::string propertyWhere =
            TilemapJson::Element(TilemapJson::MemberPath(where, "properties"), k);
        if (TilemapJson::Member(properties[k], "name", propertyWhere) == kArchetypeProperty) {
            archetype = TilemapJson::StringMember(properties[k], "value", propertyWhere);
        }
    }
    return archetype;
}

std::int32_t GlobalId(std::int32_t firstGid, std::int64_t id, const std::string& where) {
    return TilemapJson::Integer(nlohmann::json(std::int64_t{firstGid} + id),
                                TilemapJson::MemberPath(where, "firstgid") + " + id");
}

bool IsJsonTileSetName(const std::string& source) {
    std::string extension = std::filesystem::path(source).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return std::find(std::begin(kTileSetExtensions), std::end(kTileSetExtensions), extension) !=
           std::end(kTileSetExtensions);
}

nlohmann::json ReadTileSetFile(const std::string& source, const std::string& where,
                               const std::string& mapFolder) {
    const std::string what = TilemapJson::MemberPath(where, "source");
    if (!IsJsonTileSetName(source)) {
        throw TilemapFileError(what + " \"" + source +
                               "\" is not a tile set saved as JSON (.tsj or .json)");
    }
    const std::string path = (std::filesystem::path(mapFolder) / source).string();
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        throw TilemapFileError(what + ": there is no tile set file " + path);
    }
    try {
        Stream stream(path, Stream::kRead);
        return nlohmann::json::parse(stream);
    } catch (const StreamOpenError&) {
        throw TilemapFileError(what + ": cannot open the tile set file " + path);
    } catch (const nlohmann::json::exception& problem) {
        throw TilemapFileError(what + ": the tile set file " + path +
                               " cannot be read: " + problem.what());
    }
}

// Texture coordinates of `start` and `size` pixels along an image side of `side` pixels.
Vector2 Fraction(std::int64_t start, std::int64_t size, std::int32_t side) {
    return {static_cast<float>(static_cast<double>(start) / side),
            static_cast<float>(static_cast<double>(size) / side)};
}

void SetPart(TileInfo& info, std::int64_t x, std::int64_t y, std::int64_t width,
             std::int64_t height) {
    const Vector2 across = Fraction(x, width, info.imageWidth);
    const Vector2 down = Fraction(y, height, info.imageHeight);
    info.textureOffset = {across.x, down.x};
    info.textureSpan = {across.y, down.y};
}

// A collection tile may show only a part of its image ("x", "y", "width", "height").
void ReadImagePart(const nlohmann::json& tile, const std::string& where, TileInfo& info) {
    if (!tile.contains("width") && !tile.contains("height")) {
        return;
    }
    const std::int32_t x = TilemapJson::BoundedMember(tile, "x", where, 0, kLargest, 0);
    const std::int32_t y = TilemapJson::BoundedMember(tile, "y", where, 0, kLargest, 0);
    const std::int32_t width = TilemapJson::BoundedMember(tile, "width", where, 1, kLargest);
    const std::int32_t height = TilemapJson::BoundedMember(tile, "height", where, 1, kLargest);
    if (std::int64_t{x} + width > info.imageWidth || std::int64_t{y} + height > info.imageHeight) {
        throw TilemapFileError(
            where + ": the part " + std::to_string(width) + " x " + std::to_string(height) +
            " at " + std::to_string(x) + ", " + std::to_string(y) + " reaches beyond its " +
            std::to_string(info.imageWidth) + " x " + std::to_string(info.imageHeight) + " image");
    }
    SetPart(info, x, y, width, height);
}

}  // namespace

TilemapTileSets TilemapTileSets::Read(const nlohmann::json& root, const std::string& mapFolder) {
    TilemapTileSets tileSets;
    const nlohmann::json& entries = TilemapJson::ArrayMember(root, "tilesets", "");
    for (std::size_t s = 0; s < entries.size(); ++s) {
        tileSets.sets.push_back(
            ReadTileSet(entries[s], TilemapJson::Element("tilesets", s), mapFolder));
    }
    return tileSets;
}

TilemapTileSets::TileSet TilemapTileSets::ReadTileSet(const nlohmann::json& entry,
                                                      const std::string& where,
                                                      const std::string& mapFolder) {
    const std::int32_t firstGid = TilemapJson::IntegerMember(entry, "firstgid", where);
    if (!entry.contains("source")) {
        return entry.contains("image") ? ReadGrid(entry, where, firstGid)
                                       : ReadCollection(entry, where, firstGid);
    }
    const std::string source = TilemapJson::StringMember(entry, "source", where);
    const nlohmann::json set = ReadTileSetFile(source, where, mapFolder);
    // Reports inside the tile set file name the file after the map's entry for it.
    const std::string setWhere = where + "(" + source + ")";
    return set.is_object() && set.contains("image") ? ReadGrid(set, setWhere, firstGid)
                                                    : ReadCollection(set, setWhere, firstGid);
}

TilemapTileSets::TileSet TilemapTileSets::ReadCollection(const nlohmann::json& set,
                                                         const std::string& where,
                                                         std::int32_t firstGid) {
    TileSet tileSet;
    tileSet.firstGid = firstGid;
    const nlohmann::json& tiles = TilemapJson::ArrayMember(set, "tiles", where);
    std::int64_t endOfIds = firstGid;
    for (std::size_t t = 0; t < tiles.size(); ++t) {
        const std::string tileWhere =
            TilemapJson::Element(TilemapJson::MemberPath(where, "tiles"), t);
        const nlohmann::json& tile = tiles[t];
        TileInfo info;
        info.imageName = FileNameOf(TilemapJson::StringMember(tile, "image", tileWhere));
        info.archetype = Archetype(tile, tileWhere);
        info.gid = GlobalId(firstGid, TilemapJson::IntegerMember(tile, "id", tileWhere), where);
        info.imageHeight = TilemapJson::IntegerMember(tile, "imageheight", tileWhere);
        info.imageWidth = TilemapJson::IntegerMember(tile, "imagewidth", tileWhere);
        ReadImagePart(tile, tileWhere, info);
        endOfIds = std::max(endOfIds, std::int64_t{info.gid} + 1);
        tileSet.listed.push_back(std::move(info));
    }
    // The editor writes the count; a hand-written set without it leaves its ids open.
    if (set.contains("tilecount")) {
        const std::int32_t count = TilemapJson::BoundedMember(set, "tilecount", where, 0, kLargest);
        tileSet.endOfIds = std::max(endOfIds, std::int64_t{firstGid} + count);
    }
    return tileSet;
}

TilemapTileSets::TileSet TilemapTileSets::ReadGrid(const nlohmann::json& set,
                                                   const std::string& where,
                                                   std::int32_t firstGid) {
    Grid grid;
    grid.imageName = FileNameOf(TilemapJson::StringMember(set, "image", where));
    grid.imageWidth = TilemapJson::BoundedMember(set, "imagewidth", where, 1, kLargest);
    grid.imageHeight = TilemapJson::BoundedMember(set, "imageheight", where, 1, kLargest);
    grid.tileWidth =
        TilemapJson::BoundedMember(set, "tilewidth", where, 1, TilemapFile::kMaxTileSize);
    grid.tileHeight =
        TilemapJson::BoundedMember(set, "tileheight", where, 1, TilemapFile::kMaxTileSize);
    grid.columns = TilemapJson::BoundedMember(set, "columns", where, 1, kLargest);
    grid.margin = TilemapJson::BoundedMember(set, "margin", where, 0, kLargest, 0);
    grid.spacing = TilemapJson::BoundedMember(set, "spacing", where, 0, kLargest, 0);
    const std::int32_t count = TilemapJson::BoundedMember(set, "tilecount", where, 0, kLargest);

    const std::int64_t columns = std::min<std::int64_t>(grid.columns, count);
    const std::int64_t rows = (std::int64_t{count} + grid.columns - 1) / grid.columns;
    const auto extent = [&grid](std::int64_t tiles, std::int32_t tileSize) {
        return grid.margin + tiles * tileSize + std::max<std::int64_t>(tiles - 1, 0) * grid.spacing;
    };
    if (extent(columns, grid.tileWidth) > grid.imageWidth ||
        extent(rows, grid.tileHeight) > grid.imageHeight) {
        throw TilemapFileError(
            where + ": " + std::to_string(count) + " tiles of " + std::to_string(grid.tileWidth) +
            " x " + std::to_string(grid.tileHeight) + " in " + std::to_string(grid.columns) +
            " columns (margin " + std::to_string(grid.margin) + ", spacing " +
            std::to_string(grid.spacing) + ") reach beyond the " + std::to_string(grid.imageWidth) +
            " x " + std::to_string(grid.imageHeight) + " image");
    }

    TileSet tileSet;
    tileSet.firstGid = firstGid;
    tileSet.endOfIds = std::int64_t{firstGid} + count;
    if (set.contains("tiles")) {
        const nlohmann::json& tiles = TilemapJson::ArrayMember(set, "tiles", where);
        for (std::size_t t = 0; t < tiles.size(); ++t) {
            const std::string tileWhere =
                TilemapJson::Element(TilemapJson::MemberPath(where, "tiles"), t);
            const std::int32_t id =
                TilemapJson::BoundedMember(tiles[t], "id", tileWhere, 0, count - 1);
            TileInfo info = GridTile(grid, firstGid, id);
            info.gid = GlobalId(firstGid, id, where);
            info.archetype = Archetype(tiles[t], tileWhere);
            tileSet.listed.push_back(std::move(info));
        }
    }
    tileSet.grid = std::move(grid);
    return tileSet;
}

TileInfo TilemapTileSets::GridTile(const Grid& grid, std::int32_t firstGid, std::int32_t id) {
    TileInfo info;
    info.imageName = grid.imageName;
    info.gid = static_cast<std::int32_t>(std::int64_t{firstGid} + id);
    info.imageWidth = grid.imageWidth;
    info.imageHeight = grid.imageHeight;
    const std::int64_t column = id % grid.columns;
    const std::int64_t row = id / grid.columns;
    SetPart(info, grid.margin + column * (std::int64_t{grid.tileWidth} + grid.spacing),
            grid.margin + row * (std::int64_t{grid.tileHeight} + grid.spacing), grid.tileWidth,
            grid.tileHeight);
    return info;
}

std::optional<std::int64_t> TilemapTileSets::EndOfIds() const {
    // Global id 0 is no tile: without tile sets, every other id lies beyond them.
    std::int64_t end = 1;
    for (const TileSet& set : sets) {
        if (!set.endOfIds) {
            return std::nullopt;
        }
        end = std::max(end, *set.endOfIds);
    }
    return end;
}

std::vector<TileInfo> TilemapTileSets::Tiles(const std::vector<std::int32_t>& usedIds,
                                             std::int32_t tileWidth,
                                             std::int32_t tileHeight) const {
    std::vector<TileInfo> tiles;
    for (const TileSet& set : sets) {
        const std::size_t firstOfSet = tiles.size();
        tiles.insert(tiles.end(), set.listed.begin(), set.listed.end());
        if (set.grid) {
            std::vector<std::int32_t> listedIds;
            for (const TileInfo& info : set.listed) {
                listedIds.push_back(info.gid);
            }
            std::sort(listedIds.begin(), listedIds.end());
            auto used = std::lower_bound(usedIds.begin(), usedIds.end(), set.firstGid);
            for (; used != usedIds.end() && *used < *set.endOfIds; ++used) {
                if (!std::binary_search(listedIds.begin(), listedIds.end(), *used)) {
                    tiles.push_back(GridTile(*set.grid, set.firstGid, *used - set.firstGid));
                }
            }
        }
        for (std::size_t i = firstOfSet; i < tiles.size(); ++i) {
            tiles[i].tileWidth = tileWidth;
            tiles[i].tileHeight = tileHeight;
        }
    }
    return tiles;
}
