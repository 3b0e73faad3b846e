// Live reload as a designer meets it: the real game runs a scene in Edit while its texture, its
// tile map and the scene file itself are changed in the working tree, as an image editor, the tile
// editor and a text editor save them. Each change shows in the window with one trace line naming
// the file; a change that breaks a file keeps the old one with one trace error; and the run's
// per-user copy takes the designer's files, so the exit hands nothing back over them.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "support/ChildProcess.h"
#include "support/GameRun.h"
#include "support/Screenshot.h"
#include "support/TraceMessages.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using nlohmann::json;

constexpr auto kShotLimit = 20s;
// The view is 2160 world units high, centred on the world's origin.
constexpr double kViewHeightUnits = 2160.0;
// Where things stand in the world, and their half sizes.
constexpr double kPictureX = -600.0;
constexpr double kPictureHalf = 200.0;
constexpr double kMapX = 500.0;
constexpr int kMapCells = 3;
constexpr int kCell = 200;
constexpr double kMarkerHalf = 100.0;
constexpr double kMarkerY = 600.0;

const fs::path kSource = TARNWICK_SOURCE_DIR;

json Entry(const std::string& name, json data) {
    return {{name, std::move(data)}, {"Update layer", 2}};
}

json Placed(double x, double y, double scale) {
    return Entry("Transform", {{"position", {{"x", x}, {"y", y}}},
                               {"rotation", 0},
                               {"scale", {{"x", scale}, {"y", scale}}}});
}

json Drawn(const std::string& texture) {
    return Entry("Sprite", {{"alpha", 0.0},
                            {"color", {{"x", 1}, {"y", 1}, {"z", 1}}},
                            {"frameIndex", 0},
                            {"mesh", "1x1Mesh.json"},
                            {"shader", "LightingShader.json"},
                            {"texture", texture},
                            {"textureOffset", {{"x", 0}, {"y", 0}}}});
}

// A white light over everything, a picture drawn with the texture that changes, the tile map, and
// a marker the scene edit moves.
std::string Scene(double markerY) {
    return json{{"Light",
                 {{"Transform", Placed(0, 0, 1)},
                  {"Emitter", Entry("Emitter", {{"color.x", 1.0},
                                                {"color.y", 1.0},
                                                {"color.z", 1.0},
                                                {"radius", 4000}})}}},
                {"Picture", {{"Transform", Placed(kPictureX, 0, 2 * kPictureHalf)},
                             {"Sprite", Drawn("live.png")}}},
                {"Map", {{"Transform", Placed(kMapX, 0, 1)},
                         {"Tilemap", Entry("Tilemap", {{"filepath", "live.json"}})}}},
                {"Marker", {{"Transform", Placed(0, markerY, 2 * kMarkerHalf)},
                            {"Sprite", Drawn("ball.png")}}}}
        .dump(2);
}

// kMapCells x kMapCells cells of floor (tile 1), or of nothing.
std::string Map(bool floor) {
    const json tile{{"id", 0},
                    {"image", "floor.png"},
                    {"imagewidth", 32},
                    {"imageheight", 32},
                    {"properties", {{{"name", "archetype"}, {"type", "string"}, {"value", "floor"}}}}};
    const std::vector<int> cells(kMapCells * kMapCells, floor ? 1 : 0);
    return json{{"width", kMapCells},
                {"height", kMapCells},
                {"tilewidth", kCell},
                {"tileheight", kCell},
                {"orientation", "orthogonal"},
                {"layers",
                 {{{"type", "tilelayer"}, {"data", cells}},
                  {{"type", "tilelayer"}, {"data", std::vector<int>(cells.size())}}}},
                {"tilesets", {{{"firstgid", 1}, {"tiles", {tile}}}}}}
        .dump(2);
}

// A square of the world, `half` units to each side of (x, y), a little inside its edges.
PixelArea Around(const Screenshot& shot, double x, double y, double half) {
    const double perUnit = shot.height() / kViewHeightUnits;
    const double inset = 0.8;
    const auto px = [&](double worldX) {
        return static_cast<int>(shot.width() / 2.0 + worldX * perUnit);
    };
    const auto py = [&](double worldY) {
        return static_cast<int>(shot.height() / 2.0 - worldY * perUnit);
    };
    return {px(x - half * inset), py(y + half * inset), px(x + half * inset),
            py(y - half * inset)};
}

// Writes the file as editors save: a whole new file renamed over the old one.
void Save(const fs::path& path, const std::string& content) {
    const fs::path scratch = path.string() + ".saving";
    std::ofstream(scratch, std::ios::binary) << content;
    fs::rename(scratch, path);
}

class LiveReloadTest : public ::testing::Test {
protected:
    void SetUp() override {
        // A copy of its own: the test changes a texture.
        fs::copy(kSource / "Assets", run.WorkingTree() / "Assets", fs::copy_options::recursive);
        run.CopyStockTree();
        fs::copy_file(kSource / "Assets" / "Textures" / "floor.png", Texture());
        run.WriteFile("Data/Tilemaps/live.json", Map(false));
        run.WriteFile("Data/Scenes/Live.json", Scene(kMarkerY));
        run.WriteStartSettings("Scenes/Live.json", "0", false);
    }

    fs::path Texture() const { return run.WorkingTree() / "Assets" / "Textures" / "live.png"; }
    fs::path Working(const std::string& relative) const {
        return run.WorkingTree() / "Data" / relative;
    }

    // One picture once the game has drawn what `wanted` looks for.
    Screenshot ShotWhen(const std::string& name,
                        const std::function<bool(const Screenshot&)>& wanted) {
        return run.window().ShotWhen(name, wanted, kShotLimit);
    }

    GameRun run;
};

TEST_F(LiveReloadTest, ATextureATileMapAndTheSceneChangedOnDiskShowAndABrokenFileKeepsTheOld) {
    ASSERT_TRUE(run.StartOn("Live.json")) << run.Errors();
    const Screenshot first = ShotWhen("1-started", [](const Screenshot& shot) {
        return shot.Unlike(Rgb{0, 0, 0}, Around(shot, kPictureX, 0, kPictureHalf)) > 0 &&
               shot.Unlike(Rgb{0, 0, 0}, Around(shot, 0, kMarkerY, kMarkerHalf)) > 0;
    });
    const PixelArea picture = Around(first, kPictureX, 0, kPictureHalf);
    const PixelArea map = Around(first, kMapX, 0, kCell);
    ASSERT_EQ(first.Unlike(Rgb{0, 0, 0}, map), 0) << "the map starts empty";

    // The texture: another image saved over it.
    Save(Texture(), ReadFileText(kSource / "Assets" / "Textures" / "enemy.png"));
    ASSERT_TRUE(run.WaitForTrace("LiveReload - reloaded Assets/Textures/live.png")) << run.Trace();
    const Screenshot retextured = ShotWhen("2-texture", [&](const Screenshot& shot) {
        return shot.Differences(first, picture) > 0;
    });
    EXPECT_GT(retextured.Differences(first, picture), 0) << "the picture did not change";

    // The tile map: every cell floor now.
    Save(Working("Tilemaps/live.json"), Map(true));
    ASSERT_TRUE(run.WaitForTrace("LiveReload - reloaded Data/Tilemaps/live.json")) << run.Trace();
    const Screenshot mapped = ShotWhen("3-map", [&](const Screenshot& shot) {
        return shot.Unlike(Rgb{0, 0, 0}, map) > 0;
    });
    EXPECT_GT(mapped.Unlike(Rgb{0, 0, 0}, map), 0) << "the map was not rebuilt";
    EXPECT_EQ(ReadFileText(run.PerUserData() / "Tilemaps" / "live.json"), Map(true))
        << "the run's copy took the designer's file";

    // The scene: the marker moved down.
    Save(Working("Scenes/Live.json"), Scene(-kMarkerY));
    ASSERT_TRUE(run.WaitForTrace("LiveReload - reloaded Data/Scenes/Live.json")) << run.Trace();
    const PixelArea oldMarker = Around(first, 0, kMarkerY, kMarkerHalf);
    const PixelArea newMarker = Around(first, 0, -kMarkerY, kMarkerHalf);
    const Screenshot moved = ShotWhen("4-scene", [&](const Screenshot& shot) {
        return shot.Unlike(Rgb{0, 0, 0}, oldMarker) == 0 &&
               shot.Unlike(Rgb{0, 0, 0}, newMarker) > 0 && shot.Unlike(Rgb{0, 0, 0}, map) > 0;
    });
    EXPECT_EQ(moved.Unlike(Rgb{0, 0, 0}, oldMarker), 0);
    EXPECT_GT(moved.Unlike(Rgb{0, 0, 0}, newMarker), 0) << "the scene was not loaded again";

    // Broken files: each keeps what the run had, with one error naming it.
    struct Break {
        fs::path file;
        const char* traced;
    };
    const std::vector<Break> breaks{
        {Working("Tilemaps/live.json"), "Data/Tilemaps/live.json"},
        {Texture(), "Assets/Textures/live.png"},
        {Working("Scenes/Live.json"), "Data/Scenes/Live.json"},
    };
    for (const Break& broken : breaks) {
        SCOPED_TRACE(broken.traced);
        Save(broken.file, "{ this is not what it was");
        const std::string kept = std::string("LiveReload - ") + broken.traced +
                                 " no longer loads";
        ASSERT_TRUE(run.WaitForTrace(kept)) << run.Trace();
        std::size_t errors = 0;
        for (const std::string& line : run.TraceLines()) {
            errors += line.starts_with("ERROR: ") &&
                      line.find(fs::path(broken.traced).filename().string()) != std::string::npos;
        }
        EXPECT_EQ(errors, 1u) << run.Trace();
    }
    const Screenshot kept = run.window().Shot("5-broken");
    EXPECT_EQ(kept.Differences(moved, picture), 0) << "the texture was kept";
    EXPECT_EQ(kept.Differences(moved, map), 0) << "the map was kept";
    EXPECT_GT(kept.Unlike(Rgb{0, 0, 0}, newMarker), 0) << "the scene was kept";

    ASSERT_TRUE(run.CloseWindow());
    EXPECT_EQ(run.Wait(), 0) << run.Errors();
    EXPECT_EQ(ReadFileText(Working("Tilemaps/live.json")), "{ this is not what it was")
        << "the exit handed nothing back over the designer's file";
    for (const auto& entry : fs::recursive_directory_iterator(run.WorkingTree() / "Data")) {
        EXPECT_EQ(entry.path().string().find(".run-"), std::string::npos) << entry.path();
    }
}

// In Play: a shader, a mesh and a sound in use are replaced in place; the current scene's change
// waits for Edit; a designer's save over a file the run had changed keeps the run's version
// beside it; and a shader that no longer compiles keeps the old program.
TEST_F(LiveReloadTest, ShadersMeshesAndSoundsAreReplacedInPlayAndTheSceneWaitsForEdit) {
    json scene = json::parse(Scene(kMarkerY));
    scene["Speaker"] = {
        {"Transform", Placed(0, 0, 1)},
        {"AudioSource",
         Entry("AudioSource", {{"bufferedSound",
                                {{"isContinuous", false},
                                 {"isLooping", false},
                                 {"maxVolume", 1.0},
                                 {"soundClip", "button_click.ogg"},
                                 {"strength", 1000000.0}}},
                               {"playOnStart", false}})}};
    run.WriteFile("Data/Scenes/Live.json", scene.dump(2));
    run.WriteStartSettings("Scenes/Live.json", "1", false);
    ASSERT_TRUE(run.StartOn("Live.json")) << run.Errors();
    const Screenshot first = ShotWhen("1-started", [](const Screenshot& shot) {
        return shot.Unlike(Rgb{0, 0, 0}, Around(shot, kPictureX, 0, kPictureHalf)) > 0;
    });
    const PixelArea picture = Around(first, kPictureX, 0, kPictureHalf);
    const PixelArea pictureCentre = Around(first, kPictureX, 0, kPictureHalf / 3);
    const PixelArea pictureEdge = Around(first, kPictureX + kPictureHalf * 0.75, 0, 20);
    const auto reloadedOnce = [&](const std::string& file) {
        std::size_t lines = 0;
        for (const std::string& line : run.TraceLines()) {
            lines += line == "LiveReload - reloaded " + file;
        }
        return lines == 1;
    };

    // The shader: every lit sprite plain blue.
    const fs::path pixelStage = run.WorkingTree() / "Shaders" / "LightingShader.frag";
    std::string source = ReadFileText(pixelStage);
    const std::string lit = "outColor = vec4(texel.rgb * passColor.rgb * light,";
    ASSERT_NE(source.find(lit), std::string::npos);
    source.replace(source.find(lit), lit.size(), "outColor = vec4(vec3(0.0, 0.0, 1.0),");
    Save(pixelStage, source);
    ASSERT_TRUE(run.WaitForTrace("LiveReload - reloaded Shaders/LightingShader.frag"))
        << run.Trace();
    const Screenshot blue = ShotWhen("2-shader", [&](const Screenshot& shot) {
        return shot.Unlike(Rgb{0, 0, 255}, picture) == 0;
    });
    EXPECT_EQ(blue.Unlike(Rgb{0, 0, 255}, picture), 0) << "the new program does not draw";
    EXPECT_TRUE(reloadedOnce("Shaders/LightingShader.frag")) << run.Trace();

    // The mesh: the quad at half its size.
    const fs::path meshFile = Working("Meshes/1x1Mesh.json");
    json mesh = json::parse(ReadFileText(meshFile));
    for (json& vertex : mesh["vertices"]) {
        vertex["position"][0] = vertex["position"][0].get<double>() / 2;
        vertex["position"][1] = vertex["position"][1].get<double>() / 2;
    }
    Save(meshFile, mesh.dump(2));
    ASSERT_TRUE(run.WaitForTrace("LiveReload - reloaded Data/Meshes/1x1Mesh.json"))
        << run.Trace();
    const Screenshot halved = ShotWhen("3-mesh", [&](const Screenshot& shot) {
        return shot.Unlike(Rgb{0, 0, 0}, pictureEdge) == 0;
    });
    EXPECT_EQ(halved.Unlike(Rgb{0, 0, 0}, pictureEdge), 0) << "the quad kept its size";
    EXPECT_EQ(halved.Unlike(Rgb{0, 0, 255}, pictureCentre), 0);

    // The sound: another clip saved over the one the speaker holds.
    Save(run.WorkingTree() / "Assets" / "Sounds" / "button_click.ogg",
         ReadFileText(kSource / "Assets" / "Sounds" / "sample_beep.ogg"));
    EXPECT_TRUE(run.WaitForTrace("LiveReload - reloaded Assets/Sounds/button_click.ogg"))
        << run.Trace();

    // The scene, which the run had changed in its copy: Play goes on; the run's version is kept
    // beside the designer's.
    std::ofstream(run.PerUserData() / "Scenes" / "Live.json") << "{\"the run's\": {}}";
    Save(Working("Scenes/Live.json"), Scene(-kMarkerY));
    ASSERT_TRUE(run.WaitForTrace(
        "LiveReload - Data/Scenes/Live.json changed: it applies on returning to Edit"))
        << run.Trace();
    const std::string trace = run.Trace();
    EXPECT_NE(trace.find("while the run had unsaved changes of it"), std::string::npos) << trace;
    EXPECT_EQ(ReadFileText(run.PerUserData() / "Scenes" / "Live.json"), Scene(-kMarkerY));
    std::vector<std::string> beside;
    for (const auto& entry : fs::directory_iterator(Working("Scenes"))) {
        if (entry.path().filename().string().starts_with("Live.json.run-")) {
            beside.push_back(ReadFileText(entry.path()));
        }
    }
    EXPECT_EQ(beside, std::vector<std::string>{"{\"the run's\": {}}"});

    // A pixel stage that no longer compiles: the old program draws on, one error names it.
    Save(pixelStage, "#version 330 core\nvoid main() { this is not a shader }\n");
    ASSERT_TRUE(run.WaitForTrace("LiveReload - Shaders/LightingShader.frag no longer loads"))
        << run.Trace();
    std::size_t errors = 0;
    for (const std::string& line : run.TraceLines()) {
        errors += line.starts_with("ERROR: ") && line.find("LightingShader.frag") != std::string::npos;
    }
    EXPECT_EQ(errors, 1u) << run.Trace();
    const Screenshot kept = run.window().Shot("4-broken-shader");
    EXPECT_EQ(kept.Unlike(Rgb{0, 0, 255}, pictureCentre), 0) << "the old program was dropped";

    ASSERT_TRUE(run.CloseWindow());
    EXPECT_EQ(run.Wait(), 0) << run.Errors();
    EXPECT_EQ(ReadFileText(Working("Scenes/Live.json")), Scene(-kMarkerY));
}

}  // namespace
