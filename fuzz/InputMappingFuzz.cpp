// The input-mapping reader on arbitrary bytes, opened and read as every engine start does with
// "DefaultInputMappings.txt" (the start catches std::exception around it, and so does this
// target), followed by a press and a release of every code that ended up bound.

#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>
#include <vector>

#include "SharedDependencies/Source/Stream.h"
#include "engine/DataDirectories.h"
#include "engine/Engine.h"
#include "input/InputSystem.h"
#include "support/FuzzGameTree.h"

namespace {
constexpr const char* kMappingsFile = "DefaultInputMappings.txt";
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FuzzGameTree::Instance();
    Engine& engine = Engine::Instance();
    engine.paused = true;
    engine.RegisterSystem(&InputSystem::Instance());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzGameTree::Instance().Write(DataDirectory + kMappingsFile, data, size);
    InputSystem& input = InputSystem::Instance();
    try {
        const std::string path = DataDirectory + kMappingsFile;
        Stream mappings(path, Stream::kReadWriteAppend);
        input.LoadMappings(mappings, path);
    } catch (const std::exception&) {
        return 0;
    }
    std::vector<int> codes;
    for (const auto& [code, inputs] : input.bindings) {
        codes.push_back(code);
    }
    for (int code : codes) {
        input.OnKeyDown(code);
        input.OnKeyUp(code);
    }
    // The engine is paused, so the dispatch frees the queued messages undelivered: delivery is
    // not the reader's business.
    input.SendInputMessages();
    return 0;
}
