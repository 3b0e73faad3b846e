#include "gameplay/TilemapFile.h"

#include <cstddef>
#include <limits>
#include <string_view>
#include <utility>

namespace {

constexpr std::size_t kLayersNeeded = 2;
constexpr const char* kArchetypeProperty = "archetype";

// A value as a problem report shows it: containers by their type, so that a report never
// carries a whole layer.
std::string Describe(const nlohmann::json& value) {
    return value.is_structured() ? std::string(value.type_name()) : value.dump();
}

std::string Element(const std::string& where, std::size_t index) {
    return where + "[" + std::to_string(index) + "]";
}

std::string MemberPath(const std::string& where, std::string_view key) {
    return where.empty() ? std::string(key) : where + "." + std::string(key);
}

const nlohmann::json& Member(const nlohmann::json& object, std::string_view key,
                             const std::string& where) {
    if (!object.is_object()) {
        throw TilemapFileError((where.empty() ? "the file" : where) + " is not an object but " +
                               Describe(object));
    }
    const auto found = object.find(key);
    if (found == object.end()) {
        throw TilemapFileError("missing key \"" + MemberPath(where, key) + "\"");
    }
    return *found;
}

const nlohmann::json& ArrayMember(const nlohmann::json& object, std::string_view key,
                                  const std::string& where) {
    const nlohmann::json& member = Member(object, key, where);
    if (!member.is_array()) {
        throw TilemapFileError(MemberPath(where, key) + " is not an array but " + Describe(member));
    }
    return member;
}

// Whole numbers only: ids and sizes are integers in every tile-map file.
std::int32_t Integer(const nlohmann::json& value, const std::string& what) {
    if (value.is_number_unsigned()) {
        const auto number = value.get<std::uint64_t>();
        if (number <= static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())) {
            return static_cast<std::int32_t>(number);
        }
    } else if (value.is_number_integer()) {
        const auto number = value.get<std::int64_t>();
        if (number >= std::numeric_limits<std::int32_t>::min() &&
            number <= std::numeric_limits<std::int32_t>::max()) {
            return static_cast<std::int32_t>(number);
        }
    }
    throw TilemapFileError(what + " is not a 32-bit integer: " + Describe(value));
}

std::int32_t IntegerMember(const nlohmann::json& object, std::string_view key,
                           const std::string& where) {
    return Integer(Member(object, key, where), MemberPath(where, key));
}

std::int32_t SizeMember(const nlohmann::json& object, std::string_view key, std::int32_t limit) {
    const std::int32_t size = IntegerMember(object, key, "");
    if (size < 1 || size > limit) {
        throw TilemapFileError("\"" + std::string(key) + "\" is " + std::to_string(size) +
                               ", outside 1.." + std::to_string(limit));
    }
    return size;
}

std::string StringMember(const nlohmann::json& object, std::string_view key,
                         const std::string& where) {
    const nlohmann::json& member = Member(object, key, where);
    if (!member.is_string()) {
        throw TilemapFileError(MemberPath(where, key) + " is not a string but " + Describe(member));
    }
    return member.get<std::string>();
}

std::vector<std::int32_t> LayerData(const nlohmann::json& layers, std::size_t index,
                                    std::size_t cells) {
    const std::string where = Element("layers", index);
    const nlohmann::json& data = ArrayMember(layers[index], "data", where);
    if (data.size() < cells) {
        throw TilemapFileError(MemberPath(where, "data") + " holds " + std::to_string(data.size()) +
                               " cells, fewer than width x height (" + std::to_string(cells) + ")");
    }
    std::vector<std::int32_t> values;
    values.reserve(data.size());
    for (std::size_t i = 0; i < data.size(); ++i) {
        values.push_back(Integer(data[i], Element(MemberPath(where, "data"), i)));
    }
    return values;
}

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
    const nlohmann::json& properties = ArrayMember(tile, "properties", where);
    for (std::size_t k = 0; k < properties.size(); ++k) {
        const std::string propertyWhere = Element(MemberPath(where, "properties"), k);
        if (Member(properties[k], "name", propertyWhere) == kArchetypeProperty) {
            archetype = StringMember(properties[k], "value", propertyWhere);
        }
    }
    return archetype;
}

void ReadTileSets(const nlohmann::json& root, TilemapFile& file) {
    const nlohmann::json& tileSets = ArrayMember(root, "tilesets", "");
    for (std::size_t s = 0; s < tileSets.size(); ++s) {
        const std::string setWhere = Element("tilesets", s);
        const std::int64_t firstGid = IntegerMember(tileSets[s], "firstgid", setWhere);
        const nlohmann::json& tiles = ArrayMember(tileSets[s], "tiles", setWhere);
        for (std::size_t t = 0; t < tiles.size(); ++t) {
            const std::string where = Element(MemberPath(setWhere, "tiles"), t);
            const nlohmann::json& tile = tiles[t];
            TileInfo info;
            info.imageName = FileNameOf(StringMember(tile, "image", where));
            info.archetype = Archetype(tile, where);
            const std::int64_t gid = firstGid + IntegerMember(tile, "id", where);
            info.gid = Integer(nlohmann::json(gid), MemberPath(setWhere, "firstgid") + " + id");
            info.imageHeight = IntegerMember(tile, "imageheight", where);
            info.imageWidth = IntegerMember(tile, "imagewidth", where);
            info.tileWidth = file.tileWidth;
            info.tileHeight = file.tileHeight;
            file.tileInfos.push_back(std::move(info));
        }
    }
}

}  // namespace

TilemapFile TilemapFile::Read(const nlohmann::json& root) {
    TilemapFile file;
    file.height = SizeMember(root, "height", kMaxMapSide);
    file.width = SizeMember(root, "width", kMaxMapSide);
    file.tileHeight = SizeMember(root, "tileheight", kMaxTileSize);
    file.tileWidth = SizeMember(root, "tilewidth", kMaxTileSize);
    const nlohmann::json& layers = ArrayMember(root, "layers", "");
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
    file.firstLayer = LayerData(layers, 0, cells);
    file.secondLayer = LayerData(layers, 1, cells);
    ReadTileSets(root, file);
    return file;
}
