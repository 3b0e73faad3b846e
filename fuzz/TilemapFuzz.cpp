// The tile-map loader on arbitrary bytes: the input is a tile-map file, named by a Tilemap
// component on an entity of its own, which builds the level in its first updates as it does in a
// scene (read and check the file, cell objects, wall outline, navigation graph); the built level
// then runs a frame. The loader reports every problem itself and throws nothing.

#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/DataDirectories.h"
#include "engine/Engine.h"
#include "entities/Entity.h"
#include "gameplay/Tilemap.h"
#include "physics/Transform.h"
#include "support/FuzzEngine.h"
#include "support/FuzzGameTree.h"
#include "support/HiddenGlContext.h"

namespace {
constexpr const char* kMapName = "Fuzz.json";
// Added and cleared, built, then the level's own first frame.
constexpr int kFrames = 3;
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FuzzGameTree::Instance();
    MakeHiddenGlContextCurrent();
    FuzzEngine::Instance();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzGameTree::Instance().Write(DataDirectory + Tilemap::kTilemapsFolder + kMapName, data,
                                   size);
    auto* map = new Entity("Map");
    map->AddComponent(new Transform(), UpdateLayer::AVERAGE);
    map->AddComponent(new Tilemap(kMapName), UpdateLayer::AVERAGE);
    Engine::Instance().originEntity->AddChild(map);
    for (int frame = 0; frame < kFrames; ++frame) {
        FuzzEngine::Instance().Frame();
    }
    FuzzEngine::Instance().Reset();
    return 0;
}
