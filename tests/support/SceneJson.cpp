#include "support/SceneJson.h"

#include <utility>

#include "gameplay/Weapon.h"

nlohmann::json EntryJson(const std::string& name, nlohmann::json data, int layer) {
    return {{name, std::move(data)}, {"Update layer", layer}};
}

nlohmann::json VectorJson(double x, double y) {
    return {{"x", x}, {"y", y}};
}

nlohmann::json TransformJson(double x, double y, double size) {
    return EntryJson("Transform",
                     {{"position", VectorJson(x, y)}, {"rotation", 0}, {"scale", VectorJson(size, size)}});
}

nlohmann::json PhysicsJson() {
    return EntryJson("Physics", {{"velocity", VectorJson(0, 0)},
                                 {"acceleration", VectorJson(0, 0)},
                                 {"oldPosition", VectorJson(0, 0)},
                                 {"newPosition", VectorJson(0, 0)}});
}

nlohmann::json SpriteJson(const std::string& texture, int layer) {
    return EntryJson("Sprite",
                     {{"alpha", 0.0},
                      {"color", {{"x", 1}, {"y", 1}, {"z", 1}}},
                      {"frameIndex", 0},
                      {"mesh", "1x1Mesh.json"},
                      {"shader", "LightingShader.json"},
                      {"texture", texture},
                      {"textureOffset", VectorJson(0, 0)}},
                     layer);
}

nlohmann::json PlayerJson(double x, double y, double size, double speed) {
    return {{"Transform", TransformJson(x, y, size)},
            {"Physics", PhysicsJson()},
            {"Sprite", SpriteJson("player.png")},
            {"PlayerInput", EntryJson("PlayerInput", {{"speed", speed}})},
            {"Weapon", EntryJson("Weapon", Weapon().ToJson())}};
}
