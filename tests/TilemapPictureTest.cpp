// What a tile map made in the tile editor puts on screen, read back from the real framebuffer:
// the file's first row at the top, each flip and rotation of a cell as the editor defines them,
// the right tile of an image cut into a grid with a margin and spacing, and the same picture
// whether the tile set is kept in the map or in a file of its own. The pictures are tiny images
// of solid colours written by the test; each texel covers many window pixels.

#include <gtest/gtest.h>

#include <glad/gl.h>
#include <stb_image_write.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "entities/ComponentListSystem.h"
#include "entities/Entity.h"
#include "gameplay/Tilemap.h"
#include "graphics/Emitter.h"
#include "graphics/Sprite.h"
#include "physics/Transform.h"
#include "support/TilemapFixture.h"

namespace {

using nlohmann::json;

constexpr std::uint32_t kHorizontal = 0x80000000u;
constexpr std::uint32_t kVertical = 0x40000000u;
constexpr std::uint32_t kDiagonal = 0x20000000u;
constexpr int kRgba = 4;
// A lit channel under the ambient light alone is about 0.3 x 255; an unlit one is 0.
constexpr int kLitChannel = 40;
constexpr int kDarkChannel = 10;

// Colours by the channels they light: Red, Green, Blue, Yellow, Cyan, Magenta, White, blacK.
char NameOf(std::array<unsigned char, 4> rgba) {
    const auto lit = [](unsigned char channel) { return channel > kLitChannel; };
    const auto dark = [](unsigned char channel) { return channel < kDarkChannel; };
    for (int c = 0; c < 3; ++c) {
        if (!lit(rgba[c]) && !dark(rgba[c])) {
            return '?';
        }
    }
    static constexpr char kNames[] = {'K', 'R', 'G', 'Y', 'B', 'M', 'C', 'W'};
    return kNames[(lit(rgba[0]) ? 1 : 0) + (lit(rgba[1]) ? 2 : 0) + (lit(rgba[2]) ? 4 : 0)];
}

std::array<unsigned char, 4> Rgba(char name) {
    const std::string names = "KRGYBMCW";
    const auto bits = names.find(name);
    const auto channel = [bits](std::size_t bit) -> unsigned char {
        return (bits >> bit & 1u) != 0 ? 255 : 0;
    };
    return {channel(0), channel(1), channel(2), 255};
}

// A tile made of a picture: an image collection's tile, or tile `id` of a grid.
json FloorTile(int id, const std::string& image) {
    json tile{{"id", id},
              {"properties", {{{"name", "archetype"}, {"type", "string"}, {"value", "floor"}}}}};
    if (!image.empty()) {
        tile["image"] = "../pictures/" + image;
        tile["imagewidth"] = 2;
        tile["imageheight"] = 2;
    }
    return tile;
}

json Map(int width, int height, int tile, const std::vector<std::uint32_t>& cells,
         const json& tileSets) {
    return {{"type", "map"},
            {"orientation", "orthogonal"},
            {"infinite", false},
            {"width", width},
            {"height", height},
            {"tilewidth", tile},
            {"tileheight", tile},
            {"layers",
             {{{"type", "tilelayer"}, {"data", cells}},
              {{"type", "tilelayer"}, {"data", std::vector<std::uint32_t>(cells.size())}}}},
            {"tilesets", tileSets}};
}

class TilemapPictureTest : public TilemapFixture {
protected:
    void SetUp() override {
        TilemapFixture::SetUp();
        // The tree's textures are the repository's; the test's pictures go into a folder of
        // the tree's own instead.
        std::filesystem::remove(tree.root() / "Assets");
        std::filesystem::create_directories(tree.root() / "Assets" / "Textures");
    }

    // Writes an image whose pixel (x, y) from the top left has the colour named by `colour`.
    void WritePicture(const std::string& name, int width, int height,
                      const std::function<char(int, int)>& colour) const {
        std::vector<unsigned char> pixels;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const std::array<unsigned char, 4> rgba = Rgba(colour(x, y));
                pixels.insert(pixels.end(), rgba.begin(), rgba.end());
            }
        }
        const std::string path = (tree.root() / "Assets" / "Textures" / name).string();
        ASSERT_NE(stbi_write_png(path.c_str(), width, height, kRgba, pixels.data(), width * kRgba),
                  0);
    }

    // Loads `file` from the map folder, rebuilds, and draws the cells into the back buffer.
    void DrawMap(const std::string& file) {
        ClearLog();
        tilemap->FromJson({{"filepath", file}});
        Rebuild();
        graphics.CompileEmitters(ComponentListSystem<Emitter>::Instance().Layers());
        graphics.StartDrawing();
        for (Entity* cell : map->children) {
            cell->GetComponent<Sprite>()->Render();
        }
    }

    char ColourAt(Vector2 world) const {
        const float halfWidth = graphics.camera.VisibleHalfWidth();
        const float halfHeight = graphics.camera.VisibleHalfHeight();
        const int width = graphics.window.width;
        const int height = graphics.window.height;
        const auto x = static_cast<int>((world.x + halfWidth) / (2.0f * halfWidth) * width);
        const auto y = static_cast<int>((world.y + halfHeight) / (2.0f * halfHeight) * height);
        std::array<unsigned char, 4> rgba{};
        glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        return NameOf(rgba);
    }

    // The colours met along a line through the world from `from` to `to`, each run of one
    // colour named once, black left out.
    std::string ColoursAlong(Vector2 from, Vector2 to) const {
        constexpr int kSteps = 600;
        std::string colours;
        for (int i = 0; i <= kSteps; ++i) {
            const float t = static_cast<float>(i) / kSteps;
            const char colour = ColourAt(from + (to - from) * t);
            if (colour != 'K' && (colours.empty() || colours.back() != colour)) {
                colours.push_back(colour);
            }
        }
        return colours;
    }

    // The cells' centres, left to right and top to bottom as seen.
    std::vector<float> Columns() const { return Centres(true); }
    std::vector<float> RowsFromTop() const { return Centres(false); }

private:
    std::vector<float> Centres(bool across) const {
        std::vector<float> centres;
        for (const Entity* cell : map->children) {
            const Vector2 p = cell->GetComponent<Transform>()->GetWorldPosition();
            centres.push_back(across ? p.x : p.y);
        }
        std::sort(centres.begin(), centres.end());
        centres.erase(std::unique(centres.begin(), centres.end()), centres.end());
        if (!across) {
            std::reverse(centres.begin(), centres.end());
        }
        return centres;
    }
};

TEST_F(TilemapPictureTest, TheFilesFirstRowIsTheTopRow) {
    WritePicture("red.png", 2, 2, [](int, int) { return 'R'; });
    WritePicture("green.png", 2, 2, [](int, int) { return 'G'; });
    WritePicture("blue.png", 2, 2, [](int, int) { return 'B'; });
    WritePicture("white.png", 2, 2, [](int, int) { return 'W'; });
    const json tileSet{{"firstgid", 1},
                       {"tiles",
                        {FloorTile(0, "red.png"), FloorTile(1, "green.png"),
                         FloorTile(2, "blue.png"), FloorTile(3, "white.png")}}};
    WriteMap("rows.json", Map(2, 2, 400, {1, 2, 3, 4}, json::array({tileSet})).dump());
    DrawMap("rows.json");

    ASSERT_EQ(map->children.size(), 4u);
    const std::vector<float> columns = Columns();
    const std::vector<float> rows = RowsFromTop();
    ASSERT_EQ(columns.size(), 2u);
    ASSERT_EQ(rows.size(), 2u);
    const float left = columns[0] - 400.0f;
    const float right = columns[1] + 400.0f;
    const float top = rows[0] + 400.0f;
    const float bottom = rows[1] - 400.0f;
    EXPECT_EQ(ColoursAlong({left, rows[0]}, {right, rows[0]}), "RG");
    EXPECT_EQ(ColoursAlong({left, rows[1]}, {right, rows[1]}), "BW");
    EXPECT_EQ(ColoursAlong({columns[0], top}, {columns[0], bottom}), "RB");
    EXPECT_EQ(ColoursAlong({columns[1], top}, {columns[1], bottom}), "GW");
    EXPECT_TRUE(TraceLines("ERROR: ").empty());
}

struct FlipCase {
    const char* name;
    std::uint32_t flags;
    // The picture's quarters as seen: top left, top right, bottom left, bottom right.
    const char* seen;
};

struct PictureSource {
    const char* name;
    // The tile set and the id of the tile that shows the picture.
    json tileSet;
    std::uint32_t gid;
};

TEST_F(TilemapPictureTest, EachFlipAndRotationShowsThePictureAsTheEditorDoes) {
    // Red, green over blue, white; as a whole image, and as the second tile of a grid of 2 x 2
    // tiles with a margin of 1 and spacing of 2 (the first tile yellow, the gaps cyan).
    const std::string picture = "RGBW";
    WritePicture("quarters.png", 2, 2, [&](int x, int y) { return picture[y * 2 + x]; });
    WritePicture("grid.png", 8, 4, [&](int x, int y) {
        const bool inRow = y >= 1 && y < 3;
        if (inRow && x >= 1 && x < 3) {
            return 'Y';
        }
        return inRow && x >= 5 && x < 7 ? picture[(y - 1) * 2 + (x - 5)] : 'C';
    });
    const std::vector<PictureSource> sources{
        {"whole image", {{"firstgid", 1}, {"tiles", {FloorTile(0, "quarters.png")}}}, 1},
        {"tile of a grid",
         {{"firstgid", 1},
          {"image", "../pictures/grid.png"},
          {"imagewidth", 8},
          {"imageheight", 4},
          {"tilewidth", 2},
          {"tileheight", 2},
          {"columns", 2},
          {"tilecount", 2},
          {"margin", 1},
          {"spacing", 2},
          {"tiles", {FloorTile(1, "")}}},
         2},
    };
    // Worked out by hand from the editor's rule: swap the axes first, then mirror.
    const std::vector<FlipCase> cases{
        {"as drawn", 0, "RGBW"},
        {"horizontal", kHorizontal, "GRWB"},
        {"vertical", kVertical, "BWRG"},
        {"diagonal", kDiagonal, "RBGW"},
        {"turned 90 degrees clockwise", kHorizontal | kDiagonal, "BRWG"},
        {"turned 180 degrees", kHorizontal | kVertical, "WBGR"},
        {"turned 270 degrees clockwise", kVertical | kDiagonal, "GWRB"},
        {"all three", kHorizontal | kVertical | kDiagonal, "WGBR"},
    };
    constexpr float kTile = 600.0f;
    for (const PictureSource& source : sources) {
        for (const FlipCase& row : cases) {
            SCOPED_TRACE(std::string(source.name) + ", " + row.name);
            WriteMap("flip.json", Map(1, 1, static_cast<int>(kTile), {source.gid | row.flags},
                                      json::array({source.tileSet}))
                                      .dump());
            DrawMap("flip.json");
            ASSERT_EQ(map->children.size(), 1u);
            const Vector2 centre = map->children[0]->GetComponent<Transform>()->GetWorldPosition();
            const float quarter = kTile / 4.0f;
            const std::string seen{ColourAt(centre + Vector2{-quarter, quarter}),
                                   ColourAt(centre + Vector2{quarter, quarter}),
                                   ColourAt(centre + Vector2{-quarter, -quarter}),
                                   ColourAt(centre + Vector2{quarter, -quarter})};
            EXPECT_EQ(seen, row.seen);
            EXPECT_TRUE(TraceLines("ERROR: ").empty());
        }
    }
}

struct TileSetPlace {
    const char* name;
    // Below the map folder.
    std::string mapFile;
    // The map's entry for the tile set; the grid itself is merged in when it is kept inline.
    json entry;
    // Where the tile set file goes, below the map folder; empty when kept in the map.
    std::string setFile;
};

TEST_F(TilemapPictureTest, GridTilesShowTheirOwnPartWhereverTheTileSetIsKept) {
    // Six tiles of 4 x 4 in 3 columns, a margin of 2 and spacing of 3 in magenta around them.
    constexpr int kMargin = 2;
    constexpr int kSpacing = 3;
    constexpr int kTexels = 4;
    const std::string tileColours = "RGBYCW";
    const auto colour = [&](int x, int y) {
        const int step = kTexels + kSpacing;
        const int column = (x - kMargin) / step;
        const int row = (y - kMargin) / step;
        const bool inTile = x >= kMargin && y >= kMargin && (x - kMargin) % step < kTexels &&
                            (y - kMargin) % step < kTexels && column < 3 && row < 2;
        return inTile ? tileColours[static_cast<std::size_t>(row * 3 + column)] : 'M';
    };
    constexpr int kImageWidth = 2 * kMargin + 3 * kTexels + 2 * kSpacing;
    constexpr int kImageHeight = 2 * kMargin + 2 * kTexels + kSpacing;
    WritePicture("six.png", kImageWidth, kImageHeight, colour);
    // Global ids from 11: the tile set file has no first id of its own; the map's entry gives it.
    const json grid{{"image", "../pictures/six.png"},
                    {"imagewidth", kImageWidth},
                    {"imageheight", kImageHeight},
                    {"tilewidth", kTexels},
                    {"tileheight", kTexels},
                    {"columns", 3},
                    {"tilecount", 6},
                    {"margin", kMargin},
                    {"spacing", kSpacing},
                    {"tiles",
                     {FloorTile(0, ""), FloorTile(1, ""), FloorTile(2, ""), FloorTile(3, ""),
                      FloorTile(4, ""), FloorTile(5, "")}}};
    const std::vector<TileSetPlace> places{
        {"in the map", "inline.json", {{"firstgid", 11}}, ""},
        {"in a .tsj file in a folder beside the map",
         "external.json",
         {{"firstgid", 11}, {"source", "sets/six.tsj"}},
         "sets/six.tsj"},
        {"in a .json file, the map in a folder of its own",
         "levels/external.json",
         {{"firstgid", 11}, {"source", "../shared/six.json"}},
         "shared/six.json"},
    };
    // Seen top row first: white, yellow, green; cyan, blue, red.
    const std::vector<std::uint32_t> cells{16, 14, 12, 15, 13, 11};
    constexpr float kTile = 300.0f;
    for (const TileSetPlace& place : places) {
        SCOPED_TRACE(place.name);
        json entry = place.entry;
        if (place.setFile.empty()) {
            entry.update(grid);
        } else {
            WriteMap(place.setFile, grid.dump());
        }
        WriteMap(place.mapFile,
                 Map(3, 2, static_cast<int>(kTile), cells, json::array({entry})).dump());
        DrawMap(place.mapFile);

        ASSERT_EQ(map->children.size(), 6u);
        EXPECT_TRUE(TraceLines("ERROR: ").empty());
        const std::vector<float> columns = Columns();
        const std::vector<float> rows = RowsFromTop();
        ASSERT_EQ(rows.size(), 2u);
        const float left = columns.front() - kTile;
        const float right = columns.back() + kTile;
        // Along each row's middle and along its outermost texels: a tile cut a texel off its
        // place shows the magenta beside it, or its neighbour.
        const float texel = kTile / kTexels;
        const char* expected[] = {"WYG", "CBR"};
        for (std::size_t r = 0; r < rows.size(); ++r) {
            for (const float offset : {0.0f, 1.5f * texel, -1.5f * texel}) {
                SCOPED_TRACE(offset);
                const float y = rows[r] + offset;
                EXPECT_EQ(ColoursAlong({left, y}, {right, y}), expected[r]);
            }
        }
        const char* down[] = {"WC", "YB", "GR"};
        for (std::size_t c = 0; c < columns.size(); ++c) {
            for (const float offset : {0.0f, 1.5f * texel, -1.5f * texel}) {
                SCOPED_TRACE(offset);
                const float x = columns[c] + offset;
                EXPECT_EQ(ColoursAlong({x, rows.front() + kTile}, {x, rows.back() - kTile}),
                          down[c]);
            }
        }
    }
}

}  // namespace
