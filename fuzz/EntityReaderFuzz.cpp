// The entity reader on arbitrary bytes. The input is a scene file: parsed and checked as the
// entity-file cache does it (ReloadEntityFile), switched to as the scene system does it, and its
// components are initialized and updated for two frames, as a scene's are after a switch. A throw
// is how the cache refuses a file, and every caller (the scene switch, a weapon, the editor)
// catches std::exception, so this target does too; anything else that goes wrong is a finding.

#include <cstddef>
#include <cstdint>
#include <exception>

#include "entities/EntityFiles.h"
#include "entities/SceneSystem.h"
#include "support/FuzzEngine.h"
#include "support/FuzzGameTree.h"
#include "support/HiddenGlContext.h"

namespace {
constexpr const char* kSceneName = "Fuzz.json";
constexpr const char* kFileKey = "Scenes/Fuzz.json";
constexpr int kFrames = 2;
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FuzzGameTree::Instance();
    MakeHiddenGlContextCurrent();
    FuzzEngine::Instance();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzGameTree::Instance().Write(std::string("Data/") + kFileKey, data, size);
    try {
        // The cache keeps a file once parsed; the reload makes the switch read this input.
        ReloadEntityFile(kFileKey);
    } catch (const std::exception&) {
        return 0;
    }
    SceneSystem::Instance().ChangeScene(kSceneName);
    for (int frame = 0; frame < kFrames; ++frame) {
        FuzzEngine::Instance().Frame();
    }
    FuzzEngine::Instance().Reset();
    return 0;
}
