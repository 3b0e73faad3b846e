// Scene files that are broken in every way a hand or a tool can break them: the running engine
// reports each one and carries on, and no NaN or infinity reaches a transform.

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "engine/Engine.h"
#include "engine/Program.h"
#include "entities/Entity.h"
#include "entities/SceneSystem.h"
#include "game/GameComposition.h"
#include "graphics/GraphicsSystem.h"
#include "physics/Transform.h"
#include "support/FrameProbe.h"
#include "support/GameTree.h"
#include "support/TraceMessages.h"

namespace {

std::string Nested(int levels) {
    std::string text;
    for (int i = 0; i < levels; ++i) {
        text += "{\"child\": ";
    }
    text += "{}";
    text.append(static_cast<std::size_t>(levels), '}');
    return text;
}

std::string Entity(const std::string& members) {
    return "{\"Thing\": {" + members + "}}";
}

std::string TransformEntry(const std::string& data) {
    return "\"Transform\": {\"Transform\": " + data + ", \"Update layer\": 2}";
}

constexpr const char* kGoodTransform =
    R"({"position": {"x": 1, "y": 2}, "rotation": 0, "scale": {"x": 1, "y": 1}})";

struct BadScene {
    const char* name;
    std::string text;
};

std::vector<BadScene> BadScenes() {
    using namespace std::string_literals;
    return {
        {"Empty.json", ""},
        // The literal's own length (16 bytes), embedded NULs included.
        {"Garbage.json", "\x89PNG\r\n\x1a\n\0\0binary"s},
        {"NotAnObject.json", "[1, 2, 3]"},
        {"TooDeep.json", Nested(20000)},
        {"HugeFloat.json", Entity(TransformEntry(R"({"position": {"x": 1e39, "y": 0}})"))},
        {"NumberTooLarge.json", Entity(TransformEntry(R"({"position": {"x": 1e400, "y": 0}})"))},
        {"HalfVector.json", Entity(TransformEntry(R"({"position": {"x": 1}})"))},
        {"WrongTypes.json", Entity(TransformEntry(R"({"position": "here", "rotation": [1]})"))},
        {"HugeLayer.json", Entity("\"Transform\": {\"Transform\": " + std::string(kGoodTransform) +
                                  ", \"Update layer\": 1e300}")},
        // Near the largest float, one step runs both the velocity and the position to infinity.
        {"RunawayPhysics.json",
         Entity(
             TransformEntry(
                 R"({"position": {"x": 3.4e38, "y": 0}, "rotation": 0, "scale": {"x": 1, "y": 1}})") +
             R"(, "Physics": {"Physics": {"velocity": {"x": 3.4e38, "y": -3.4e38},
                    "acceleration": {"x": 3.4e38, "y": -3.4e38}, "oldPosition": {"x": 0, "y": 0},
                    "newPosition": {"x": 0, "y": 0}}, "Update layer": 2})")},
        {"BadCollider.json",
         Entity(TransformEntry(kGoodTransform) +
                R"(, "Collider": {"Collider": {"type": 2, "relativePos": {"x": 0, "y": 0},
                    "is solid": 1, "vertices": 7}, "Update layer": 2})")},
        {"BadSprite.json",
         Entity(TransformEntry(kGoodTransform) +
                R"(, "Sprite": {"Sprite": {"texture": 5, "mesh": "../../nowhere.json"},
                    "Update layer": 2})")},
        {"MissingAssets.json",
         Entity(TransformEntry(kGoodTransform) +
                R"(, "Sprite": {"Sprite": {"texture": "none.png", "mesh": "none.json",
                    "shader": "none.json"}, "Update layer": 2})")},
        {"ScalarMembers.json", R"({"a": 1, "b": "two", "c": [3], "d": true, "e": null})"},
    };
}

bool AllTransformsFinite(const ::Entity& entity) {
    if (const Transform* transform = entity.GetComponent<Transform>()) {
        for (float value : {transform->position.x, transform->position.y, transform->rotation,
                            transform->scale.x, transform->scale.y}) {
            if (!std::isfinite(value)) {
                return false;
            }
        }
    }
    for (const ::Entity* child : entity.children) {
        if (!AllTransformsFinite(*child)) {
            return false;
        }
    }
    return true;
}

TEST(BadDataTest, BrokenScenesAreReportedAndTheEngineKeepsRunning) {
    GameTree tree;
    const std::vector<BadScene> scenes = BadScenes();
    for (const BadScene& scene : scenes) {
        tree.WriteFile(std::filesystem::path("Data/Scenes") / scene.name, scene.text);
    }
    Program program{GameComposition()};
    ASSERT_TRUE(program.StartUp());
    Engine& engine = Engine::Instance();
    FrameProbe probe;
    std::size_t next = 0;
    int frame = 0;
    bool finite = true;
    probe.onUpdate = [&](int) {
        finite = finite && AllTransformsFinite(*engine.originEntity);
        // A few frames per scene, so each one is loaded, swept in, updated and drawn.
        if (++frame % 5 == 0) {
            if (next == scenes.size()) {
                engine.running = false;
                return;
            }
            SceneSystem::Instance().ChangeScene(scenes[next++].name);
        }
    };
    program.RunEnginePasses([&] {
        engine.paused = false;
        engine.RegisterSystem(&probe);
    });
    GraphicsSystem::Instance().ShutDown();

    EXPECT_EQ(next, scenes.size()) << "the engine stopped before the last scene";
    EXPECT_TRUE(finite);
    const std::vector<std::string> trace = TraceMessages(tree.perUserData() / "Trace_Log.txt");
    const auto has = [&](const std::string& text) {
        return std::any_of(trace.begin(), trace.end(), [&](const std::string& line) {
            return line.find(text) != std::string::npos;
        });
    };
    EXPECT_TRUE(has("Failed to scene: TooDeep.json | error message: ") && has("nests deeper than"));
    EXPECT_TRUE(has("Failed to scene: NumberTooLarge.json"));
    EXPECT_TRUE(has("does not fit a float"));
    EXPECT_TRUE(has("Failed to scene: Empty.json"));
    EXPECT_TRUE(has("Failed to scene: Garbage.json"));
    EXPECT_TRUE(has("Entity::from_json - error serializing entity: "));
}

}  // namespace
