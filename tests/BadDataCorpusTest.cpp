// Every kind of file the engine reads, broken in every way a hand, a tool or a disk breaks files:
// missing, empty, a folder in its place, cut short, binary garbage, wrong JSON types, numbers at
// the edges (1e309, INT_MAX, INT_MIN), nested 100 000 levels deep, bytes that are not UTF-8. The
// real engine meets each one while it runs a scene: it reports the file in exactly one trace
// message that names it, and runs on, with the scene it was running (or, when only an asset of a
// scene is broken, with that scene). A value that is merely unusual (a position of INT_MAX) is
// taken as it is, without a report.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "engine/DataDirectories.h"
#include "entities/Entity.h"
#include "entities/SceneSystem.h"
#include "gameplay/Weapon.h"
#include "physics/Transform.h"
#include "support/ChildProcess.h"
#include "support/EnginePassTest.h"
#include "support/SceneJson.h"
#include "support/TraceMessages.h"
#include "tools/EngineSettingsSystem.h"

namespace {

namespace fs = std::filesystem;
using json = nlohmann::json;

constexpr int kTriggerFrame = 5;
// Enough for a tile map's two-update rebuild and for the scene to move visibly.
constexpr int kFramesAfter = 20;
// Frames after the trigger before the first position is taken: a switched-to scene enters the
// lists at the next frame's flush and then updates.
constexpr int kSettleFrames = 2;
constexpr int kDeepNesting = 100000;
constexpr double kMarkerSpeed = 600.0;

constexpr const char* kStageScene = "Stage.json";
constexpr const char* kProbeScene = "Probe.json";
constexpr const char* kMarker = "Marker";
constexpr const char* kGun = "Gun";

// Where the engine reads a kind of file: the per-user copies of "Data" and "Shaders" (mirrored
// at start, read while running), or the working tree (images, sounds and shader sources).
enum class Root { kData, kShaders, kWorking };

// How the running engine comes to read the file.
enum class Trigger {
    // Switched to as a scene while the stage runs; the stage stays.
    kSceneSwitch,
    // Spawned by the stage's gun as its projectile; the stage stays.
    kWeaponFire,
    // An asset named by the subject of the probe scene, which is switched to and runs.
    kProbeScene,
    // Read by the engine's initialization at a restart; the stage is loaded again, unless the
    // broken file is the settings (then the engine runs with the default settings: no scene).
    kRestart,
    // Switched to in the settings window, which shows its values; the stage stays.
    kSettingsSwitch,
};

enum class Expect { kReported, kAccepted };

struct FileKind {
    const char* name;
    Root root;
    // Below the root.
    std::string path;
    Trigger trigger;
    // Names the file in a report: a path fragment that only a report about this file holds.
    std::string marker;
    // Working content, to be cut short or spoilt.
    std::string good;
    bool isJson = true;
};

struct BrokenFile {
    FileKind kind;
    std::string variant;
    // The content to write; ignored for the missing file and the folder.
    std::string content;
    bool missing = false;
    bool folder = false;
    Expect expect = Expect::kReported;
    // A scene file that parses is switched to with whatever could be read from it (a wrong value
    // costs only its entity); one that does not leaves the current scene in place.
    bool switchesScene = false;
};

std::string ReadSource(const fs::path& relative) {
    return ReadFileText(fs::path(TARNWICK_SOURCE_DIR) / relative);
}

std::string Nested(int levels) {
    std::string text;
    for (int i = 0; i < levels; ++i) {
        text += "{\"a\": ";
    }
    text += "{}";
    text.append(static_cast<std::size_t>(levels), '}');
    return text;
}

// The number written into `text` in place of the placeholder string, as a bare JSON number.
std::string WithNumber(const json& text, const std::string& number) {
    std::string dumped = text.dump();
    const std::string placeholder = "\"@NUMBER@\"";
    for (std::size_t at = dumped.find(placeholder); at != std::string::npos;
         at = dumped.find(placeholder, at + number.size())) {
        dumped.replace(at, placeholder.size(), number);
    }
    return dumped;
}

// The text with a byte that is never UTF-8 (0xFF) inserted at `after`.
std::string WithByteNotUtf8(const std::string& text, std::size_t after) {
    std::string spoilt = text;
    spoilt.insert(after, "\xff");
    return spoilt;
}

std::string Garbage() {
    using namespace std::string_literals;
    std::string bytes = "\x89PNG\r\n\x1a\n\0\0\xff\xfe binary \x01\x02"s;
    // The C library's generator with its default seed: the same bytes in every run.
    for (int i = 0; i < 256; ++i) {
        bytes.push_back(static_cast<char>(std::rand() & 0xff));
    }
    return bytes;
}

void AppendBigEndian(std::string& bytes, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        bytes.push_back(static_cast<char>((value >> shift) & 0xff));
    }
}

void AppendLittleEndian(std::string& bytes, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) {
        bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
    }
}

// A PNG whose header claims a width of `width` pixels (and a height of 1); the decoder's checks,
// not the checksums, decide.
std::string PngClaiming(std::uint32_t width) {
    std::string png = "\x89PNG\r\n\x1a\n";
    AppendBigEndian(png, 13);
    png += "IHDR";
    AppendBigEndian(png, width);
    AppendBigEndian(png, 1);
    png += std::string("\x08\x06\x00\x00\x00", 5);
    AppendBigEndian(png, 0);
    AppendBigEndian(png, 0);
    png += "IEND";
    AppendBigEndian(png, 0);
    return png;
}

// A 16-bit mono WAV of a few samples whose header claims `rate` samples per second.
std::string WavClaiming(std::uint32_t rate) {
    constexpr std::uint32_t kSamples = 64;
    std::string wav = "RIFF";
    AppendLittleEndian(wav, 36 + kSamples * 2, 4);
    wav += "WAVEfmt ";
    AppendLittleEndian(wav, 16, 4);
    AppendLittleEndian(wav, 1, 2);
    AppendLittleEndian(wav, 1, 2);
    AppendLittleEndian(wav, rate, 4);
    AppendLittleEndian(wav, rate * 2, 4);
    AppendLittleEndian(wav, 2, 2);
    AppendLittleEndian(wav, 16, 2);
    wav += "data";
    AppendLittleEndian(wav, kSamples * 2, 4);
    wav.append(kSamples * 2, '\x10');
    return wav;
}

json SmallMap(const json& width) {
    const json tileSet = {
        {"firstgid", 1},
        {"tiles",
         {{{"id", 0},
           {"image", "../Assets/Textures/bricks.png"},
           {"imageheight", 32},
           {"imagewidth", 32},
           {"properties", {{{"name", "archetype"}, {"value", "floor"}}}}}}}};
    return {{"width", width},
            {"height", 2},
            {"tilewidth", 32},
            {"tileheight", 32},
            {"layers", {{{"data", {5, 5, 5, 5, 1, 5}}}, {{"data", {0, 0, 0, 0, 0, 0}}}}},
            {"tilesets", {tileSet}}};
}

json VertexWith(const json& x) {
    return {{"position", {x, x}}, {"textureCoord", {0, 0}}, {"color", {1, 1, 1, 1}}};
}

json MeshWith(const json& number) {
    return {{"vertices", {VertexWith(number), VertexWith(0), VertexWith(1)}},
            {"uSize", number},
            {"vSize", 1}};
}

// The stage moves its marker, so a test can tell that it still updates.
json MovingMarker() {
    json marker = {{"Transform", TransformJson(0, 0, 10)}, {"Physics", PhysicsJson()}};
    marker["Physics"]["Physics"]["velocity"] = VectorJson(kMarkerSpeed, 0);
    return marker;
}

// A scene of a moving marker and a thing whose transform holds `number`.
json SceneWith(const json& number) {
    return {{kMarker, MovingMarker()},
            {"Thing",
             {{"Transform",
               EntryJson("Transform", {{"position", {{"x", number}, {"y", number}}},
                                       {"rotation", number},
                                       {"scale", {{"x", 1}, {"y", 1}}}})}}}};
}

json SettingsWith(const json& defaultEntityFile, const json& runOnStart) {
    return {{"defaultEntityFile", defaultEntityFile}, {"runOnStart", runOnStart}};
}

// The shipped pistol bullet with one value of one component replaced.
json PistolBulletWith(const std::string& component, const std::string& key, const json& value) {
    json bullet = json::parse(ReadSource("Data/PistolBullet.json"));
    bullet[component][component][key] = value;
    return bullet;
}

std::vector<FileKind> Kinds() {
    const std::string stockMappings = ReadSource("Data/DefaultInputMappings.txt");
    return {
        {"Scene", Root::kData, "Scenes/BadScene.json", Trigger::kSceneSwitch, "BadScene.json",
         SceneWith(1).dump(2)},
        {"Archetype", Root::kData, "PistolBullet.json", Trigger::kWeaponFire, "PistolBullet.json",
         ReadSource("Data/PistolBullet.json")},
        {"Settings", Root::kData, "EngineSettingFiles/Settings.json", Trigger::kRestart,
         "EngineSettingFiles/Settings.json", SettingsWith("Scenes/Stage.json", "1").dump(2)},
        {"SettingsSwitched", Root::kData, "EngineSettingFiles/Switched.json",
         Trigger::kSettingsSwitch, "Switched.json",
         SettingsWith("Scenes/Stage.json", "1").dump(2)},
        {"SettingsRouter", Root::kData, "EngineSettingFiles/SettingsRouter.txt", Trigger::kRestart,
         "SettingsRouter.txt", "Settings.json", false},
        {"InputMappings", Root::kData, "DefaultInputMappings.txt", Trigger::kRestart,
         "DefaultInputMappings.txt", stockMappings, false},
        {"Mesh", Root::kData, "Meshes/BadMesh.json", Trigger::kProbeScene, "Meshes/BadMesh.json",
         ReadSource("Data/Meshes/1x1Mesh.json")},
        {"ShaderDescriptor", Root::kShaders, "BadShader.json", Trigger::kProbeScene,
         "Shaders/BadShader.json", ReadSource("Shaders/LightingShader.json")},
        {"ShaderSource", Root::kWorking, "Shaders/BadSource.frag", Trigger::kProbeScene,
         "Shaders/BadSource.frag", ReadSource("Shaders/LightingShader.frag"), false},
        {"Tilemap", Root::kData, "Tilemaps/BadMap.json", Trigger::kProbeScene,
         "Tilemaps/BadMap.json", SmallMap(3).dump(2)},
        {"Texture", Root::kWorking, "Assets/Textures/Bad.png", Trigger::kProbeScene, "Bad.png",
         ReadSource("Assets/Textures/milk.png"), false},
        {"Sound", Root::kWorking, "Assets/Sounds/Bad.ogg", Trigger::kProbeScene, "Sounds/Bad.ogg",
         ReadSource("Assets/Sounds/button_click.ogg"), false},
    };
}

// The kind's content with each edge number in the place where the kind keeps numbers.
struct NumberedContent {
    std::string text;
    Expect expect;
};

std::vector<NumberedContent> HugeNumbers(const FileKind& kind) {
    const json at = "@NUMBER@";
    const std::string kName = kind.name;
    const std::vector<std::string> numbers = {"1e309", "2147483647", "-2147483648"};
    std::vector<NumberedContent> contents;
    for (const std::string& number : numbers) {
        // 1e309 is beyond a double: no JSON file holding it parses.
        const Expect overflow = number == "1e309" ? Expect::kReported : Expect::kAccepted;
        if (kName == "Scene") {
            contents.push_back({WithNumber(SceneWith(at), number), overflow});
        } else if (kName == "Archetype") {
            contents.push_back(
                {WithNumber(PistolBulletWith("BulletBehavior", "lifeTime", at), number), overflow});
        } else if (kName == "Settings" || kName == "SettingsSwitched") {
            // "runOnStart" holds JSON text: any number is a flag, one that does not parse is not.
            contents.push_back({SettingsWith("Scenes/Stage.json", number).dump(), overflow});
        } else if (kName == "InputMappings") {
            // Key codes are read by the stream rules and saturate: every one binds something.
            contents.push_back({number + " = UP\n87 = UP\n", Expect::kAccepted});
        } else if (kName == "Mesh") {
            contents.push_back({WithNumber(MeshWith(at), number), overflow});
        } else if (kName == "ShaderDescriptor") {
            // A path that is a number is wrong whatever the number.
            contents.push_back({WithNumber(json{{"vertex file", at},
                                                {"pixel file", "Shaders/LightingShader.frag"}},
                                           number),
                                Expect::kReported});
        } else if (kName == "Tilemap") {
            // No map is 2^31 cells wide, nor negative.
            contents.push_back({WithNumber(SmallMap(at), number), Expect::kReported});
        }
    }
    // Binary formats carry 32-bit fields: the largest signed value and the pattern of the
    // smallest. No image is 2^31 pixels wide, and no sound has a negative rate or one beyond
    // what an output plays.
    if (kName == "Texture") {
        contents.push_back({PngClaiming(0x7fffffffu), Expect::kReported});
        contents.push_back({PngClaiming(0x80000000u), Expect::kReported});
    } else if (kName == "Sound") {
        contents.push_back({WavClaiming(0x7fffffffu), Expect::kReported});
        contents.push_back({WavClaiming(0x80000000u), Expect::kReported});
    }
    return contents;
}

std::string WrongTypes(const FileKind& kind) {
    const std::string kName = kind.name;
    if (kName == "Scene") {
        json scene = SceneWith(0);
        scene["Thing"]["Transform"] =
            EntryJson("Transform", {{"position", "here"}, {"rotation", {1}}, {"scale", true}});
        return scene.dump();
    }
    if (kName == "Archetype") {
        // The sprite is read after the transform and the physics, so the shot still flies.
        return PistolBulletWith("Sprite", "texture", 5).dump();
    }
    if (kName == "Settings" || kName == "SettingsSwitched") {
        return SettingsWith(5, true).dump();
    }
    if (kName == "Mesh") {
        return json{{"vertices", "three"}, {"uSize", "1"}, {"vSize", nullptr}}.dump();
    }
    if (kName == "ShaderDescriptor") {
        return json{{"vertex file", 5}, {"pixel file", {"Shaders/LightingShader.frag"}}}.dump();
    }
    if (kName == "Tilemap") {
        return SmallMap("3").dump();
    }
    return {};
}

// Cut where the result is certainly broken: JSON in half, a mapping inside an input name, the
// router inside the settings name, a shader source in half, a sound inside its header.
std::string Truncated(const FileKind& kind) {
    const std::string kName = kind.name;
    if (kName == "InputMappings") {
        return "87 = UP\n65 = LE";
    }
    if (kName == "SettingsRouter") {
        return "Sett";
    }
    if (kName == "Sound") {
        return kind.good.substr(0, 40);
    }
    return kind.good.substr(0, kind.good.size() / 2);
}

std::string NonUtf8(const FileKind& kind) {
    const std::string kName = kind.name;
    if (kind.isJson) {
        // Inside the first string.
        return WithByteNotUtf8(kind.good, kind.good.find('"') + 1);
    }
    if (kName == "InputMappings") {
        return "87 = U\xffP\n";
    }
    if (kName == "SettingsRouter") {
        return "Setting\xffs.json";
    }
    if (kName == "ShaderSource") {
        return WithByteNotUtf8(kind.good, kind.good.find("main") + 2);
    }
    return {};
}

// The settings window writes the default settings into a file that is missing or empty when it
// is switched to, and shows any plain value, whatever its type (a start reads them strictly).
bool SwitchTakesIt(const BrokenFile& file) {
    return file.kind.trigger == Trigger::kSettingsSwitch &&
           (file.variant == "Missing" || file.variant == "Empty" || file.variant == "WrongTypes" ||
            file.variant.starts_with("HugeNumber"));
}

std::vector<BrokenFile> Cases() {
    std::vector<BrokenFile> cases;
    for (const FileKind& kind : Kinds()) {
        const bool scene = kind.trigger == Trigger::kSceneSwitch;
        const auto add = [&](const std::string& variant, std::string content,
                             Expect expect = Expect::kReported, bool parses = false) {
            cases.push_back({kind, variant, std::move(content), false, false, expect,
                             scene && (parses || expect == Expect::kAccepted)});
        };
        cases.push_back({kind, "Missing", {}, true, false, Expect::kReported});
        cases.push_back({kind, "Folder", {}, false, true, Expect::kReported});
        add("Empty", "");
        add("Truncated", Truncated(kind));
        add("Binary", Garbage());
        if (kind.isJson) {
            add("WrongTypes", WrongTypes(kind), Expect::kReported, true);
            // Settings hold the nesting in a member, where their readers look.
            const bool settings = std::string(kind.name).starts_with("Settings");
            add("DeeplyNested",
                settings ? R"({"defaultEntityFile": )" + Nested(kDeepNesting) +
                               R"(, "runOnStart": "1"})"
                         : Nested(kDeepNesting));
        }
        if (const std::string text = NonUtf8(kind); !text.empty()) {
            add("NonUtf8", text);
        }
        int index = 0;
        for (const NumberedContent& huge : HugeNumbers(kind)) {
            add("HugeNumber" + std::to_string(index++), huge.text, huge.expect);
        }
    }
    for (BrokenFile& file : cases) {
        if (SwitchTakesIt(file)) {
            file.expect = Expect::kAccepted;
        }
    }
    return cases;
}

void PrintTo(const BrokenFile& file, std::ostream* out) {
    *out << file.kind.name << " " << file.variant;
}

std::string CaseName(const ::testing::TestParamInfo<BrokenFile>& info) {
    return std::string(info.param.kind.name) + "_" + info.param.variant;
}

Entity* Child(const Entity* parent, const std::string& name) {
    if (parent == nullptr) {
        return nullptr;
    }
    for (Entity* child : parent->children) {
        if (child->name == name) {
            return child;
        }
    }
    return nullptr;
}

json ProbeSubject(const FileKind& kind) {
    const std::string kName = kind.name;
    const auto sprite = [](const std::string& key, const std::string& value) {
        json entry = SpriteJson("milk.png");
        entry["Sprite"][key] = value;
        return json{{"Transform", TransformJson(0, 0, 10)}, {"Sprite", entry}};
    };
    if (kName == "Mesh") {
        return sprite("mesh", "BadMesh.json");
    }
    if (kName == "ShaderDescriptor") {
        return sprite("shader", "BadShader.json");
    }
    if (kName == "ShaderSource") {
        return sprite("shader", "BadSourceShader.json");
    }
    if (kName == "Texture") {
        return sprite("texture", "Bad.png");
    }
    if (kName == "Sound") {
        return {{"Transform", TransformJson(0, 0, 10)},
                {"SoundEffect", EntryJson("SoundEffect", {{"sound name", "Bad.ogg"}})}};
    }
    return {{"Transform", TransformJson(0, 0, 10)},
            {"Tilemap", EntryJson("Tilemap", {{"filepath", "BadMap.json"}})}};
}

class BadDataCorpusTest : public EnginePassTest, public ::testing::WithParamInterface<BrokenFile> {
protected:
    BadDataCorpusTest() {
        const BrokenFile& broken = GetParam();
        const json stage = {{kMarker, MovingMarker()},
                            {kGun, {{"Transform", TransformJson(0, 0, 10)},
                                    {"Weapon", EntryJson("Weapon", Weapon().ToJson())}}}};
        tree.WriteFile(fs::path("Data/Scenes") / kStageScene, stage.dump(2));
        tree.WriteFile(fs::path("Data/Scenes") / kProbeScene,
                       json{{kMarker, MovingMarker()}, {"Subject", ProbeSubject(broken.kind)}}
                           .dump(2));
        tree.WriteFile("Data/EngineSettingFiles/Settings.json",
                       SettingsWith("Scenes/Stage.json", "1").dump(2));
        tree.WriteFile("Data/DefaultInputMappings.txt", ReadSource("Data/DefaultInputMappings.txt"));
        tree.WriteFile("Data/PistolBullet.json", ReadSource("Data/PistolBullet.json"));
        tree.WriteFile("Shaders/BadSourceShader.json",
                       json{{"vertex file", "Shaders/LightingShader.vert"},
                            {"pixel file", "Shaders/BadSource.frag"}}
                           .dump());
        // Images and sounds are read from the working tree, which links the repository's
        // Assets: a copy of its own keeps the broken file out of the repository.
        fs::remove(tree.root() / "Assets");
        fs::copy(fs::path(TARNWICK_SOURCE_DIR) / "Assets", tree.root() / "Assets",
                 fs::copy_options::recursive);
        if (std::string(broken.kind.name) == "Sound") {
            // Sounds are decoded only when there is an output to play them on.
            setenv("ALSOFT_DRIVERS", "null", 1);
        }
    }

    fs::path BrokenPath() const {
        const BrokenFile& broken = GetParam();
        switch (broken.kind.root) {
            case Root::kData:
                return fs::path(DataDirectory) / broken.kind.path;
            case Root::kShaders:
                return fs::path(ShadersDirectory) / broken.kind.path;
            case Root::kWorking:
                break;
        }
        return tree.root() / broken.kind.path;
    }

    void BreakFile() const {
        const BrokenFile& broken = GetParam();
        const fs::path path = BrokenPath();
        fs::remove_all(path);
        fs::create_directories(path.parent_path());
        if (broken.folder) {
            fs::create_directories(path);
        } else if (!broken.missing) {
            std::ofstream(path, std::ios::binary) << broken.content;
        }
    }

    void ReadBrokenFile() {
        const BrokenFile& broken = GetParam();
        SceneSystem& scenes = SceneSystem::Instance();
        switch (broken.kind.trigger) {
            case Trigger::kSceneSwitch:
                scenes.ChangeScene("BadScene.json");
                break;
            case Trigger::kWeaponFire:
                if (Entity* gun = Child(scenes.currentScene, kGun)) {
                    gun->GetComponent<Weapon>()->Fire();
                }
                break;
            case Trigger::kProbeScene:
                scenes.ChangeScene(kProbeScene);
                break;
            case Trigger::kRestart:
                engine.running = false;
                engine.restart = true;
                break;
            case Trigger::kSettingsSwitch:
                EngineSettingsSystem::Instance().SwitchSettingsFile("Switched.json");
                break;
        }
    }

    static float MarkerX(const Entity* scene) {
        const Entity* marker = Child(scene, kMarker);
        const Transform* transform = marker != nullptr ? marker->GetComponent<Transform>() : nullptr;
        return transform != nullptr ? transform->position.x : 0.0f;
    }

    // Warnings and errors whose text names the broken file.
    std::vector<std::string> ReportsNamingTheFile() const {
        std::vector<std::string> reports;
        for (const std::string& entry : TraceEntries(tree.perUserData() / "Trace_Log.txt")) {
            if ((entry.starts_with("WARNING: ") || entry.starts_with("ERROR: ")) &&
                entry.find(GetParam().kind.marker) != std::string::npos) {
                reports.push_back(entry);
            }
        }
        return reports;
    }
};

TEST_P(BadDataCorpusTest, IsReportedOnceByNameAndTheSceneRunsOn) {
    const BrokenFile& broken = GetParam();
    const bool restarts = broken.kind.trigger == Trigger::kRestart;
    const bool settingsFile = std::string(broken.kind.name).starts_with("Settings");
    // A restart without usable settings runs the defaults: no scene, paused.
    const bool stageAfterRestart = !(settingsFile && broken.expect == Expect::kReported);

    int pass = 0;
    // Compared as addresses only: the scenes are freed when the run ends.
    const Entity* sceneAtTrigger = nullptr;
    const Entity* sceneAtEnd = nullptr;
    bool endSceneHasSubject = false;
    bool endSceneHasMarker = false;
    float xAfterTrigger = 0.0f;
    float xAtEnd = 0.0f;
    int lastFrame = 0;
    RunPasses([&] {
        ++pass;
        probe.onUpdate = [&](int frame) {
            lastFrame = frame;
            Entity* scene = SceneSystem::Instance().currentScene;
            if (pass == 1 && frame == kTriggerFrame) {
                sceneAtTrigger = scene;
                BreakFile();
                ReadBrokenFile();
                return;
            }
            const int settled = restarts ? kSettleFrames : kTriggerFrame + kSettleFrames;
            if ((restarts ? pass == 2 : pass == 1) && frame == settled) {
                xAfterTrigger = MarkerX(scene);
            }
            if ((restarts ? pass == 2 : pass == 1) && frame == settled + kFramesAfter) {
                sceneAtEnd = scene;
                endSceneHasSubject = Child(scene, "Subject") != nullptr;
                endSceneHasMarker = Child(scene, kMarker) != nullptr;
                xAtEnd = MarkerX(scene);
                engine.running = false;
            }
        };
    });

    EXPECT_EQ(pass, restarts ? 2 : 1);
    EXPECT_EQ(lastFrame, (restarts ? kSettleFrames : kTriggerFrame + kSettleFrames) + kFramesAfter)
        << "the engine stopped early";
    switch (broken.kind.trigger) {
        case Trigger::kSceneSwitch:
        case Trigger::kWeaponFire:
        case Trigger::kSettingsSwitch:
            EXPECT_NE(sceneAtTrigger, nullptr);
            if (broken.switchesScene) {
                EXPECT_NE(sceneAtEnd, sceneAtTrigger) << "the readable scene was not switched to";
            } else {
                EXPECT_EQ(sceneAtEnd, sceneAtTrigger) << "the stage did not stay";
            }
            EXPECT_GT(xAtEnd, xAfterTrigger) << "the current scene stopped moving";
            break;
        case Trigger::kProbeScene:
            EXPECT_NE(sceneAtEnd, sceneAtTrigger) << "the probe scene was not switched to";
            EXPECT_TRUE(endSceneHasSubject);
            EXPECT_GT(xAtEnd, xAfterTrigger) << "the probe scene does not run";
            break;
        case Trigger::kRestart:
            if (stageAfterRestart) {
                EXPECT_TRUE(endSceneHasMarker) << "the stage was not loaded";
                EXPECT_GT(xAtEnd, xAfterTrigger) << "the stage does not run";
            } else {
                EXPECT_EQ(sceneAtEnd, nullptr);
            }
            break;
    }

    const std::vector<std::string> reports = ReportsNamingTheFile();
    if (broken.expect == Expect::kReported) {
        EXPECT_EQ(reports.size(), 1u) << ::testing::PrintToString(reports);
    } else {
        EXPECT_TRUE(reports.empty()) << ::testing::PrintToString(reports);
    }
}

INSTANTIATE_TEST_SUITE_P(EveryFileTheEngineReads, BadDataCorpusTest, ::testing::ValuesIn(Cases()),
                         CaseName);

}  // namespace
