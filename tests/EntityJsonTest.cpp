// Entity files: the JSON form of an entity (component entries, children), the tolerant reading of
// missing, odd and wrong members, and the process-wide cache of parsed files.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "SharedDependencies/Source/StreamOpenError.h"
#include "engine/DataDirectories.h"
#include "engine/UpdateLayer.h"
#include "entities/ComponentClasses.h"
#include "entities/ComponentListSystem.h"
#include "entities/Entity.h"
#include "entities/EntityFiles.h"
#include "support/TempDirectory.h"
#include "support/TraceMessages.h"

// Every declared component type, so that a case can ask whether its class exists yet.
#define COMPONENT_TYPE(Name, value, fanOutPosition, jsonKey) class Name;
#include "entities/ComponentTypes.def"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

constexpr const char* kLogFileName = "Trace_Log.txt";
constexpr const char* kWarningTag = "WARNING: ";
constexpr const char* kErrorTag = "ERROR: ";
constexpr const char* kReadErrorPrefix = "Entity::from_json - error serializing entity: ";
constexpr const char* kLoadedEntityName = "To Be Loaded";

bool Contains(const std::string& text, std::string_view part) {
    return text.find(part) != std::string::npos;
}

std::vector<std::string> ChildNames(const Entity& entity) {
    std::vector<std::string> names;
    for (const Entity* child : entity.children) {
        names.push_back(child->name);
    }
    return names;
}

const Entity* FindChild(const Entity& entity, std::string_view name) {
    const auto found = std::find_if(entity.children.begin(), entity.children.end(),
                                    [name](const Entity* child) { return child->name == name; });
    return found != entity.children.end() ? *found : nullptr;
}

template <class T>
const ComponentEntry* EntryOf(const Entity& entity) {
    const auto found = entity.components.find(&ComponentListSystem<T>::Instance());
    return found != entity.components.end() ? &found->second : nullptr;
}

template <class T>
bool InLayer(const Component* component, UpdateLayer layer) {
    const auto& members = ComponentListSystem<T>::Instance().Layer(layer);
    return std::find(members.begin(), members.end(), component) != members.end();
}

// A component entry as the writer stores it.
json Entry(const std::string& key, const json& data, int layer) {
    return json{{key, data}, {"Update layer", layer}};
}

// Points the data directory (and with it the trace log) at a temporary folder, and restores it.
class EntityJsonTest : public ::testing::Test {
protected:
    void SetUp() override { DataDirectory = temp.path().string() + "/"; }
    void TearDown() override { DataDirectory = savedDataDirectory; }

    std::string Log() const {
        return fs::exists(temp.path() / kLogFileName) ? temp.ReadFile(kLogFileName) : "";
    }
    void ClearLog() const { fs::remove(temp.path() / kLogFileName); }

    std::vector<std::string> WarningLines() const {
        std::vector<std::string> lines;
        std::istringstream log(Log());
        for (std::string line; std::getline(log, line);) {
            if (Contains(line, kWarningTag)) {
                lines.push_back(line);
            }
        }
        return lines;
    }
    std::size_t ErrorCount() const { return CountOccurrences(Log(), kErrorTag); }

    static std::unique_ptr<Entity> Read(const json& value) {
        auto entity = std::make_unique<Entity>("Read");
        Entity::from_json(value, *entity);
        return entity;
    }

    TempDirectory temp;
    const std::string savedDataDirectory = DataDirectory;
};

TEST_F(EntityJsonTest, WrittenEntityReadsBackToTheSameJson) {
    Entity player("Player");
    auto* transform = new Transform();
    transform->position = {3.5f, -2.0f};
    transform->rotation = 45.0f;
    transform->scale = {2.0f, 0.5f};
    player.AddComponent(transform, UpdateLayer::SLOW);
    auto* physics = new Physics();
    physics->velocity = {1.0f, 2.0f};
    physics->acceleration = {0.0f, -9.5f};
    physics->oldPosition = {0.25f, 0.5f};
    physics->newPosition = {-1.0f, 4.0f};
    player.AddComponent(physics, UpdateLayer::FASTEST);
    auto* arm = new Entity("Arm");
    arm->AddComponent(new Transform(), UpdateLayer::SLOWEST);
    player.AddChild(arm);
    auto* hand = new Entity("Hand");
    hand->AddComponent(new Physics(), UpdateLayer::FAST);
    arm->AddChild(hand);
    player.AddChild(new Entity("Marker"));

    const json written = Entity::to_json(player);
    const json zero = {{"x", 0}, {"y", 0}};
    EXPECT_EQ(
        written,
        (json{
            {"Arm",
             {{"Hand",
               {{"Physics", Entry("Physics",
                                  {{"acceleration", zero},
                                   {"newPosition", zero},
                                   {"oldPosition", zero},
                                   {"velocity", zero}},
                                  1)}}},
              {"Transform",
               Entry("Transform",
                     {{"position", zero}, {"rotation", 0}, {"scale", {{"x", 1}, {"y", 1}}}}, 4)}}},
            {"Marker", json::object()},
            {"Physics", Entry("Physics",
                              {{"acceleration", {{"x", 0}, {"y", -9.5}}},
                               {"newPosition", {{"x", -1}, {"y", 4}}},
                               {"oldPosition", {{"x", 0.25}, {"y", 0.5}}},
                               {"velocity", {{"x", 1}, {"y", 2}}}},
                              0)},
            {"Transform", Entry("Transform",
                                {{"position", {{"x", 3.5}, {"y", -2}}},
                                 {"rotation", 45},
                                 {"scale", {{"x", 2}, {"y", 0.5}}}},
                                3)},
        }));

    const std::unique_ptr<Entity> loaded = Read(written);
    EXPECT_EQ(Entity::to_json(*loaded), written);
    EXPECT_EQ(ChildNames(*loaded), (std::vector<std::string>{"Arm", "Marker"}));
    const Entity* loadedArm = FindChild(*loaded, "Arm");
    ASSERT_NE(loadedArm, nullptr);
    EXPECT_EQ(loadedArm->parent, loaded.get());
    ASSERT_EQ(loadedArm->children.size(), 1u);
    EXPECT_EQ(loadedArm->children[0]->parent, loadedArm);

    // The recorded layers are the ones the components enter their lists with.
    ComponentListSystem<Transform>::Instance().FlushPending();
    ComponentListSystem<Physics>::Instance().FlushPending();
    EXPECT_TRUE(InLayer<Transform>(loaded->GetComponent<Transform>(), UpdateLayer::SLOW));
    EXPECT_TRUE(InLayer<Physics>(loaded->GetComponent<Physics>(), UpdateLayer::FASTEST));
    EXPECT_TRUE(InLayer<Transform>(loadedArm->GetComponent<Transform>(), UpdateLayer::SLOWEST));
    EXPECT_EQ(WarningLines().size(), 0u) << Log();
    EXPECT_EQ(ErrorCount(), 0u) << Log();
}

TEST_F(EntityJsonTest, LaterStoresOverwriteEqualKeysWhenWritten) {
    Entity entity("Entity");
    entity.AddComponent(new Physics());
    auto* namedLikeAComponent = new Entity("Physics");
    namedLikeAComponent->AddComponent(new Transform());
    entity.AddChild(namedLikeAComponent);
    entity.AddChild(new Entity("Twin"));
    auto* lastTwin = new Entity("Twin");
    lastTwin->AddComponent(new Physics());
    entity.AddChild(lastTwin);

    const json written = Entity::to_json(entity);

    EXPECT_EQ(written.size(), 2u);
    EXPECT_EQ(written["Physics"], Entity::to_json(*namedLikeAComponent));
    EXPECT_EQ(written["Twin"], Entity::to_json(*lastTwin));
}

// Transform is read before the other members and Physics among them, so both paths are covered.
template <class T>
class EntityJsonEntryTest : public EntityJsonTest {
protected:
    static std::string Key() { return T::kComponentName; }
    // Complete data, so that only the member under test can warn.
    static json CompleteData() { return T().ToJson(); }
};

struct ComponentTypeNames {
    template <class T>
    static std::string GetName(int) {
        return T::kComponentName;
    }
};

using ReadableTypes = ::testing::Types<Transform, Physics>;
TYPED_TEST_SUITE(EntityJsonEntryTest, ReadableTypes, ComponentTypeNames);

TYPED_TEST(EntityJsonEntryTest, MissingUpdateLayerReadsAsAverageWithOneWarning) {
    const std::string key = this->Key();
    const auto entity = this->Read({{key, {{key, this->CompleteData()}}}});

    const ComponentEntry* entry = EntryOf<TypeParam>(*entity);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->layer, UpdateLayer::AVERAGE);
    ComponentListSystem<TypeParam>::Instance().FlushPending();
    EXPECT_TRUE(InLayer<TypeParam>(entry->component, UpdateLayer::AVERAGE));
    const std::vector<std::string> warnings = this->WarningLines();
    ASSERT_EQ(warnings.size(), 1u) << this->Log();
    EXPECT_TRUE(Contains(warnings[0], "Update layer")) << warnings[0];
}

TYPED_TEST(EntityJsonEntryTest, MissingDataKeepsDefaultsWithOneWarningNamingTheKey) {
    const std::string key = this->Key();
    const auto entity = this->Read({{key, {{"Update layer", 1}}}});

    const ComponentEntry* entry = EntryOf<TypeParam>(*entity);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->layer, UpdateLayer::FAST);
    EXPECT_EQ(entry->component->ToJson(), this->CompleteData());
    const std::vector<std::string> warnings = this->WarningLines();
    ASSERT_EQ(warnings.size(), 1u) << this->Log();
    EXPECT_TRUE(warnings[0].ends_with(" " + key)) << warnings[0];
}

struct LayerCase {
    const char* name;
    json layer;
    UpdateLayer expected;
    bool warns;
};

TYPED_TEST(EntityJsonEntryTest, UpdateLayerOutsideTheLayersReadsAsAverageWithAWarning) {
    const std::vector<LayerCase> cases{
        {"first layer", 0, UpdateLayer::FASTEST, false},
        {"last layer", 4, UpdateLayer::SLOWEST, false},
        {"below the first", -1, UpdateLayer::AVERAGE, true},
        {"the layer count", 5, UpdateLayer::AVERAGE, true},
        {"beyond int", 1e30, UpdateLayer::AVERAGE, true},
        {"beyond unsigned 32 bits", 4294967298u, UpdateLayer::AVERAGE, true},
    };
    const std::string key = this->Key();
    for (const LayerCase& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        this->ClearLog();
        const auto read =
            this->Read({{key, {{key, this->CompleteData()}, {"Update layer", testCase.layer}}}});

        const ComponentEntry* entry = EntryOf<TypeParam>(*read);
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(entry->layer, testCase.expected);
        ComponentListSystem<TypeParam>::Instance().FlushPending();
        EXPECT_TRUE(InLayer<TypeParam>(entry->component, testCase.expected));
        const std::vector<std::string> warnings = this->WarningLines();
        ASSERT_EQ(warnings.size(), testCase.warns ? 1u : 0u) << this->Log();
        if (testCase.warns) {
            EXPECT_TRUE(Contains(warnings[0], "Update layer")) << warnings[0];
            EXPECT_TRUE(Contains(warnings[0], key)) << warnings[0];
        }
    }
}

TEST_F(EntityJsonTest, TypesWithoutAReaderKeyAreReadAsChildren) {
    const json transform = Entry("Transform", Transform().ToJson(), 2);
    for (const char* name :
         {"Canvas", "TransformUI", "Tracker", "SpriteController", "SpriteNonsense"}) {
        SCOPED_TRACE(name);
        const auto entity = Read({{name, {{"Transform", transform}}}});

        EXPECT_TRUE(entity->components.empty());
        ASSERT_EQ(ChildNames(*entity), std::vector<std::string>{name});
        EXPECT_NE(entity->children[0]->GetComponent<Transform>(), nullptr);
    }
    EXPECT_EQ(WarningLines().size(), 0u) << Log();
}

struct CameraEntryCase {
    const char* type;
    const char* name;
    json entry;
    UpdateLayer layer;
    // The keys the warnings name, in order.
    std::vector<std::string> missingKeys;
};

// Camera, Canvas and AudioListener have no data of their own and are written as null. Such an
// entry is complete with its layer alone: no data object is looked up, so none is reported missing.
TEST_F(EntityJsonTest, EntriesWithoutDataNeedNothingButTheirLayer) {
    Entity saved("Saved");
    saved.AddComponent(new Camera(), UpdateLayer::SLOW);
    saved.AddComponent(new Canvas(), UpdateLayer::FAST);
    const json written = Entity::to_json(saved);
    EXPECT_EQ(written, (json{{"Camera", Entry("Camera", nullptr, 3)},
                             {"Canvas", Entry("Canvas", nullptr, 1)}}));

    const std::vector<CameraEntryCase> cases{
        {"Camera", "only the layer", {{"Update layer", 1}}, UpdateLayer::FAST, {}},
        {"Camera", "as written", written["Camera"], UpdateLayer::SLOW, {}},
        {"Camera", "nothing at all", json::object(), UpdateLayer::AVERAGE, {"Update layer"}},
        {"AudioListener", "only the layer", {{"Update layer", 4}}, UpdateLayer::SLOWEST, {}},
        {"AudioListener", "data null", Entry("AudioListener", nullptr, 0), UpdateLayer::FASTEST,
         {}},
    };
    for (const CameraEntryCase& testCase : cases) {
        SCOPED_TRACE(std::string(testCase.type) + ", " + testCase.name);
        ClearLog();
        const auto entity = Read({{testCase.type, testCase.entry}});

        EXPECT_TRUE(entity->children.empty());
        const ComponentEntry* entry = std::string(testCase.type) == "Camera"
                                          ? EntryOf<Camera>(*entity)
                                          : EntryOf<AudioListener>(*entity);
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(entry->layer, testCase.layer);
        const std::vector<std::string> warnings = WarningLines();
        ASSERT_EQ(warnings.size(), testCase.missingKeys.size()) << Log();
        for (std::size_t i = 0; i < warnings.size(); ++i) {
            EXPECT_TRUE(
                Contains(warnings[i], "Tried to deserialize key " + testCase.missingKeys[i]))
                << warnings[i];
        }
        EXPECT_EQ(ErrorCount(), 0u) << Log();
    }
}

struct CameraBoundsCase {
    const char* name;
    json data;
    std::optional<CameraMatrices::Bounds> bounds;
    std::size_t warnings;
    std::size_t errors;
};

// A camera's bounds live in its entry's data, which a camera without them still writes as null;
// old entries (null, or the layer alone) load without bounds and without a word.
TEST_F(EntityJsonTest, CameraBoundsAreReadFromTheEntryAndWrittenBack) {
    const json bounds = {{"min", {{"x", -1984.0}, {"y", -1152.0}}},
                         {"max", {{"x", 1856.0}, {"y", 1024.0}}}};
    const std::vector<CameraBoundsCase> cases{
        {"bounds",
         {{"bounds", bounds}},
         CameraMatrices::Bounds{{-1984.0f, -1152.0f}, {1856.0f, 1024.0f}},
         0,
         0},
        {"a point for bounds",
         {{"bounds", {{"min", {{"x", 5}, {"y", 5}}}, {"max", {{"x", 5}, {"y", 5}}}}}},
         CameraMatrices::Bounds{{5.0f, 5.0f}, {5.0f, 5.0f}},
         0,
         0},
        {"null", nullptr, std::nullopt, 0, 0},
        {"an object without bounds", json::object(), std::nullopt, 0, 0},
        {"min beyond max",
         {{"bounds", {{"min", {{"x", 10}, {"y", 0}}}, {"max", {{"x", -10}, {"y", 100}}}}}},
         std::nullopt,
         1,
         0},
        {"no max", {{"bounds", {{"min", {{"x", 10}, {"y", 0}}}}}}, std::nullopt, 0, 1},
    };
    for (const CameraBoundsCase& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        ClearLog();
        const auto entity = Read({{"Camera", Entry("Camera", testCase.data, 1)}});
        const auto* camera = entity->GetComponent<Camera>();
        EXPECT_EQ(WarningLines().size(), testCase.warnings) << Log();
        EXPECT_EQ(ErrorCount(), testCase.errors) << Log();
        if (testCase.errors > 0) {
            continue;
        }
        ASSERT_NE(camera, nullptr);
        EXPECT_EQ(camera->bounds, testCase.bounds);
        const json written = Entity::to_json(*entity);
        // Read bounds are written back as they were read; none as null.
        const json expected = testCase.bounds ? testCase.data : json(nullptr);
        EXPECT_EQ(written, (json{{"Camera", Entry("Camera", expected, 1)}}));
    }
}

struct MemberCase {
    const char* name;
    json member;
    std::vector<std::string> children;
    std::size_t warnings;
};

TEST_F(EntityJsonTest, MembersThatAreNotEntitiesAreSkippedWithAWarning) {
    const std::vector<MemberCase> cases{
        {"number", 5, {"Before", "Zed"}, 1},
        {"fraction", -0.5, {"Before", "Zed"}, 1},
        {"string", "Enemy", {"Before", "Zed"}, 1},
        {"empty string", "", {"Before", "Zed"}, 1},
        {"boolean", true, {"Before", "Zed"}, 1},
        {"array of numbers", {1, 2}, {"Before", "Zed"}, 1},
        {"array of objects", json::array({json::object()}), {"Before", "Zed"}, 1},
        {"null is an empty entity", nullptr, {"Before", "Odd", "Zed"}, 0},
    };
    for (const MemberCase& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        ClearLog();
        const auto entity =
            Read({{"Before", json::object()}, {"Odd", testCase.member}, {"Zed", json::object()}});

        EXPECT_EQ(ChildNames(*entity), testCase.children);
        if (const Entity* odd = FindChild(*entity, "Odd")) {
            EXPECT_TRUE(odd->children.empty());
            EXPECT_TRUE(odd->components.empty());
        }
        const std::vector<std::string> warnings = WarningLines();
        ASSERT_EQ(warnings.size(), testCase.warnings) << Log();
        if (testCase.warnings > 0) {
            EXPECT_TRUE(Contains(warnings[0], "Odd")) << warnings[0];
        }
        EXPECT_EQ(ErrorCount(), 0u) << Log();
    }
}

TEST_F(EntityJsonTest, ValueThatIsNotAnObjectReadsNothing) {
    for (const json& value : {json(7), json("Player"), json::array({json::object()}), json()}) {
        SCOPED_TRACE(value.dump());
        const auto entity = Read(value);
        EXPECT_TRUE(entity->children.empty());
        EXPECT_TRUE(entity->components.empty());
    }
    EXPECT_EQ(ErrorCount(), 0u) << Log();
}

struct ReadErrorCase {
    const char* name;
    json value;
    std::vector<std::string> children;
    bool keepsTransform;
};

TEST_F(EntityJsonTest, ReadErrorStopsTheEntityAndKeepsWhatWasRead) {
    const json physics = Physics().ToJson();
    const json transform = Entry("Transform", Transform().ToJson(), 2);
    const std::vector<ReadErrorCase> cases{
        {"string where a number belongs",
         {{"Alpha", json::object()},
          {"Physics", Entry("Physics", {{"velocity", {{"x", "fast"}, {"y", 0}}}}, 2)},
          {"Transform", transform},
          {"Zulu", json::object()}},
         {"Alpha"},
         true},
        {"update layer that is not a number",
         {{"Alpha", json::object()},
          {"Physics", {{"Physics", physics}, {"Update layer", "2"}}},
          {"Zulu", json::object()}},
         {"Alpha"},
         false},
        {"transform is read before every other member",
         {{"Alpha", json::object()},
          {"Physics", Entry("Physics", physics, 2)},
          {"Transform", Entry("Transform", {{"rotation", "left"}}, 2)}},
         {},
         false},
    };
    for (const ReadErrorCase& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        ClearLog();
        const auto entity = Read(testCase.value);

        EXPECT_EQ(ChildNames(*entity), testCase.children);
        EXPECT_EQ(entity->GetComponent<Physics>(), nullptr);
        EXPECT_EQ(entity->GetComponent<Transform>() != nullptr, testCase.keepsTransform);
        EXPECT_EQ(ErrorCount(), 1u) << Log();
        const std::string errorLine =
            std::string(kErrorTag) + kReadErrorPrefix + testCase.value.dump(4) + "[json.exception";
        EXPECT_TRUE(Contains(Log(), errorLine)) << Log();
    }
}

TEST_F(EntityJsonTest, ReadErrorInAChildStopsOnlyThatChild) {
    const json badChild = {{"Grandchild", json::object()},
                           {"Physics", Entry("Physics", {{"velocity", "fast"}}, 2)},
                           {"Zed", json::object()}};
    const json value = {{"Child", badChild},
                        {"Physics", Entry("Physics", Physics().ToJson(), 2)},
                        {"Sibling", json::object()}};

    const auto entity = Read(value);

    EXPECT_EQ(ChildNames(*entity), (std::vector<std::string>{"Child", "Sibling"}));
    EXPECT_NE(entity->GetComponent<Physics>(), nullptr);
    const Entity* child = FindChild(*entity, "Child");
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(ChildNames(*child), std::vector<std::string>{"Grandchild"});
    EXPECT_EQ(child->GetComponent<Physics>(), nullptr);
    EXPECT_EQ(ErrorCount(), 1u) << Log();
    EXPECT_TRUE(Contains(
        Log(), std::string(kErrorTag) + kReadErrorPrefix + badChild.dump(4) + "[json.exception"))
        << Log();
}

// An archetype whose only content is its transform's x position, to tell file versions apart.
std::string ArchetypeFile(float x) {
    Transform transform;
    transform.position = {x, 0.0f};
    return json{{"Transform", Entry("Transform", transform.ToJson(), 2)}}.dump();
}

float PositionX(const Entity& entity) {
    const Transform* transform = entity.GetComponent<Transform>();
    return transform != nullptr ? transform->position.x : -1.0f;
}

TEST_F(EntityJsonTest, FileIsParsedOnceUntilReloaded) {
    const std::string key = "Archetypes/Bullet.json";
    temp.WriteFile(key, ArchetypeFile(1.0f));

    const std::unique_ptr<Entity> first(LoadEntity(key));
    temp.WriteFile(key, ArchetypeFile(2.0f));
    const std::unique_ptr<Entity> second(LoadEntity(key));

    for (const Entity* loaded : {first.get(), second.get()}) {
        EXPECT_EQ(loaded->name, kLoadedEntityName);
        EXPECT_EQ(loaded->parent, nullptr);
        EXPECT_EQ(PositionX(*loaded), 1.0f);
    }
    EXPECT_NE(first.get(), second.get());
    EXPECT_NE(first->id, second->id);
    EXPECT_NE(first->GetComponent<Transform>(), second->GetComponent<Transform>());

    ReloadEntityFile(key);
    const std::unique_ptr<Entity> reloaded(LoadEntity(key));
    EXPECT_EQ(PositionX(*reloaded), 2.0f);
}

struct FileOperation {
    const char* name;
    std::function<void(const std::string&)> run;
};

const std::vector<FileOperation> kFileOperations{
    {"LoadEntity", [](const std::string& key) { delete LoadEntity(key); }},
    {"ReloadEntityFile", ReloadEntityFile},
};

TEST_F(EntityJsonTest, MissingFileThrowsNamingThePathAndCreatesNothing) {
    const std::string key = "Scenes/Nowhere.json";
    const std::int32_t liveBefore = Entity::liveEntityCount;
    for (const FileOperation& operation : kFileOperations) {
        SCOPED_TRACE(operation.name);
        try {
            operation.run(key);
            ADD_FAILURE() << "no exception";
        } catch (const StreamOpenError& error) {
            EXPECT_TRUE(Contains(error.what(), DataDirectory + key)) << error.what();
        }
        EXPECT_EQ(Entity::liveEntityCount, liveBefore);
        EXPECT_FALSE(fs::exists(temp.path() / "Scenes"));
    }

    temp.WriteFile(key, ArchetypeFile(4.0f));
    const std::unique_ptr<Entity> loaded(LoadEntity(key));
    EXPECT_EQ(PositionX(*loaded), 4.0f);
}

TEST_F(EntityJsonTest, InvalidJsonThrowsAndIsNotCached) {
    const std::string key = "Scenes/Broken.json";
    const std::int32_t liveBefore = Entity::liveEntityCount;
    temp.WriteFile(key, R"({"Transform": {"Transform": )");

    EXPECT_THROW(delete LoadEntity(key), json::parse_error);
    EXPECT_EQ(Entity::liveEntityCount, liveBefore);

    temp.WriteFile(key, ArchetypeFile(3.0f));
    const std::unique_ptr<Entity> loaded(LoadEntity(key));
    EXPECT_EQ(PositionX(*loaded), 3.0f);
}

// A value that cannot be read costs its entity, and the report says which file it was in; an
// entity read from no file (a clone, an editor paste) is reported as before.
TEST_F(EntityJsonTest, ReadErrorsOfAFileNameTheFile) {
    const std::string key = "Scenes/WrongType.json";
    const json bad = {{"Physics", Entry("Physics", {{"velocity", "fast"}}, 2)}};
    const json notAnEntity = json::array({1, 2});
    struct Case {
        const char* what;
        json file;
        const char* reportStart;
    };
    const Case cases[] = {
        {"a wrong type in a child", {{"Child", bad}}, "ERROR: Entity::from_json - error serializing"},
        {"a file that is no entity", notAnEntity, "WARNING: Entity::from_json - not an entity"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ClearLog();
        temp.WriteFile(key, c.file.dump());
        ReloadEntityFile(key);
        delete LoadEntity(key);
        EXPECT_TRUE(Contains(Log(), c.reportStart)) << Log();
        EXPECT_TRUE(Contains(Log(), " | in file: " + DataDirectory + key + "\n")) << Log();

        ClearLog();
        Read(c.file);
        EXPECT_TRUE(Contains(Log(), c.reportStart)) << Log();
        EXPECT_FALSE(Contains(Log(), " | in file: ")) << Log();
    }
}

// A folder where the file should be is no file: refused as a missing one is, by its path.
TEST_F(EntityJsonTest, FolderInPlaceOfAFileThrowsNamingThePath) {
    const std::string key = "Scenes/Folder.json";
    fs::create_directories(temp.path() / key);
    for (const FileOperation& operation : kFileOperations) {
        SCOPED_TRACE(operation.name);
        try {
            operation.run(key);
            ADD_FAILURE() << "no exception";
        } catch (const StreamOpenError& error) {
            EXPECT_TRUE(Contains(error.what(), DataDirectory + key)) << error.what();
        }
    }
}

struct BrokenFileCase {
    const char* name;
    std::function<void(const TempDirectory&, const std::string&)> breakFile;
};

TEST_F(EntityJsonTest, FailedReloadKeepsTheCachedContent) {
    const std::vector<BrokenFileCase> cases{
        {"file removed", [](const TempDirectory& folder,
                            const std::string& key) { fs::remove(folder.path() / key); }},
        {"file no longer JSON", [](const TempDirectory& folder,
                                   const std::string& key) { folder.WriteFile(key, "not json"); }},
    };
    for (const BrokenFileCase& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        const std::string key = std::string("Archetypes/") + testCase.name + ".json";
        temp.WriteFile(key, ArchetypeFile(1.0f));
        delete LoadEntity(key);
        testCase.breakFile(temp, key);

        EXPECT_ANY_THROW(ReloadEntityFile(key));

        const std::unique_ptr<Entity> loaded(LoadEntity(key));
        EXPECT_EQ(PositionX(*loaded), 1.0f);
    }
}

}  // namespace
