#include "gameplay/TilemapFile.h"

#include <algorithm>
#include <optional>

#include "gameplay/TilemapJson.h"
#include "gameplay/TilemapLayerData.h"
#include "gameplay/TilemapTileSets.h"

namespace {

constexpr std::size_t kLayersNeeded = 2;
constexpr const char* kOrthogonal = "orthogonal";
constexpr const char* kTileLayer = "tilelayer";

std::int32_t SizeMember(const nlohmann::json& object, std::string_view key, std::int32_t limit) {
    return TilemapJson::BoundedMember(object, key, "", 1, limit);
}

// Hand-written maps may leave "orientation" and "infinite" out; the editor always writes them.
void CheckLayout(const nlohmann::json& root) {
    const std::string orientation = TilemapJson::StringMember(root, "orientation", "", kOrthogonal);
    if (orientation != kOrthogonal) {
        throw TilemapFileError("\"orientation\" is \"" + orientation +
                               "\"; only orthogonal maps can be read");
    }
    const auto infinite = root.find("infinite");
    if (infinite == root.end()) {
        return;
    }
    if (!infinite->is_boolean() && !infinite->is_number()) {
        throw TilemapFileError("infinite is not a boolean but " + TilemapJson::Describe(*infinite));
    }
    if (infinite->is_boolean() ? infinite->get<bool>() : infinite->get<double>() != 0.0) {
        throw TilemapFileError(
            "the map is infinite (its layers are chunks), which cannot be "
            "read; save it with a fixed size");
    }
}

std::vector<std::uint32_t> TileLayer(const nlohmann::json& layers, std::size_t index,
                                     std::size_t cells) {
    const std::string where = TilemapJson::Element("layers", index);
    const nlohmann::json& layer = layers[index];
    const std::string type = TilemapJson::StringMember(layer, "type", where, kTileLayer);
    if (type != kTileLayer) {
        throw TilemapFileError(where + " is a \"" + type +
                               "\" layer; the first two layers must be tile layers");
    }
    return TilemapLayerData::Decode(layer, where, cells);
}

void CheckTileIds(const std::vector<std::uint32_t>& values, std::size_t index,
                  std::optional<std::int64_t> endOfIds) {
    if (!endOfIds) {
        return;
    }
    for (std::size_t i = 0; i < values.size(); ++i) {
        const std::int32_t id = TilemapFlips::TileId(values[i]);
        if (id >= *endOfIds) {
            throw TilemapFileError(
                TilemapJson::Element(
                    TilemapJson::MemberPath(TilemapJson::Element("layers", index), "data"), i) +
                " names tile " + std::to_string(id) + ", above every tile set (the highest id is " +
                std::to_string(*endOfIds - 1) + ")");
        }
    }
}

// The distinct tiles the cells name, ascending.
std::vector<std::int32_t> UsedIds(const std::vector<std::uint32_t>& values) {
    std::vector<std::int32_t> ids;
    for (std::uint32_t value : values) {
        if (const std::int32_t id = TilemapFlips::TileId(value); id != 0) {
            ids.push_back(id);
        }
    }
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    return ids;
}

// The file's row r (from the top) is the world's row height - 1 - r (from the bottom).
template <typename Cell, typename Convert>
std::vector<Cell> BottomRowFirst(const std::vector<std::uint32_t>& values, std::int32_t width,
                                 std::int32_t height, Convert convert) {
    std::vector<Cell> cells;
    cells.reserve(values.size());
    for (std::int32_t row = height - 1; row >= 0; --row) {
        const auto start = values.begin() + static_cast<std::ptrdiff_t>(row) * width;
        std::transform(start, start + width, std::back_inserter(cells), convert);
    }
    return cells;
}

std::vector<std::int32_t> TileIds(const std::vector<std::uint32_t>& values, std::int32_t width,
                                  std::int32_t height) {
    return BottomRowFirst<std::int32_t>(values, width, height, TilemapFlips::TileId);
}

}  // namespace

TilemapFile TilemapFile::Read(const nlohmann::json& root, const std::string& mapFolder) {
    TilemapFile file;
    file.height = SizeMember(root, "height", kMaxMapSide);
    file.width = SizeMember(root, "width", kMaxMapSide);
    file.tileHeight = SizeMember(root, "tileheight", kMaxTileSize);
    file.tileWidth = SizeMember(root, "tilewidth", kMaxTileSize);
    CheckLayout(root);
    const nlohmann::json& layers = TilemapJson::ArrayMember(root, "layers", "");
    if (layers.size() < kLayersNeeded) {
        throw TilemapFileError("\"layers\" holds " + std::to_string(layers.size()) +
                               " layer(s); a map needs " + std::to_string(kLayersNeeded));
    }
    const auto cells = static_cast<std::size_t>(file.width) * static_cast<std::size_t>(file.height);
    // Refused before a cell is read: a map over the bound costs nothing but this check.
    if (cells > kMaxMapCells) {
        throw TilemapFileError(std::to_string(file.width) + " x " + std::to_string(file.height) +
                               " = " + std::to_string(cells) + " cells, more than the " +
                               std::to_string(kMaxMapCells) + " a map may have");
    }
    const std::vector<std::uint32_t> first = TileLayer(layers, 0, cells);
    const std::vector<std::uint32_t> second = TileLayer(layers, 1, cells);
    const TilemapTileSets tileSets = TilemapTileSets::Read(root, mapFolder);
    CheckTileIds(first, 0, tileSets.EndOfIds());
    CheckTileIds(second, 1, tileSets.EndOfIds());

    file.tileInfos = tileSets.Tiles(UsedIds(first), file.tileWidth, file.tileHeight);
    file.firstLayer = TileIds(first, file.width, file.height);
    file.secondLayer = TileIds(second, file.width, file.height);
    file.firstLayerFlips =
        BottomRowFirst<TilemapFlips>(first, file.width, file.height, TilemapFlips::OfCell);
    return file;
}
