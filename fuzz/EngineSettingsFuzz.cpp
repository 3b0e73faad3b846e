// The engine-settings loader on arbitrary bytes, twice per input: once as the settings file the
// router names, and once as the router file itself (which then names a settings file of its own
// choosing, created empty by the loader when it is missing and removed again here, so that the
// folder does not fill up over millions of runs). The loader reports every problem itself and
// throws nothing.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "engine/EngineSettings.h"
#include "support/FuzzGameTree.h"

namespace {
constexpr const char* kSettingsName = "Fuzz.json";

void Write(const std::string& path, const std::string& text) {
    FuzzGameTree::Instance().Write(path, reinterpret_cast<const std::uint8_t*>(text.data()),
                                   text.size());
}

// Everything in the settings folder but the router and the target's own settings file.
void RemoveCreatedSettingsFiles() {
    const std::filesystem::path folder = std::filesystem::path(RouterPath()).parent_path();
    std::vector<std::filesystem::path> created;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        if (entry.path() != RouterPath() && entry.path() != SettingsPath(kSettingsName)) {
            created.push_back(entry.path());
        }
    }
    for (const std::filesystem::path& path : created) {
        std::filesystem::remove_all(path, error);
    }
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FuzzGameTree::Instance();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Write(RouterPath(), kSettingsName);
    FuzzGameTree::Instance().Write(SettingsPath(kSettingsName), data, size);
    LoadEngineSettings();

    FuzzGameTree::Instance().Write(RouterPath(), data, size);
    LoadEngineSettings();
    RemoveCreatedSettingsFiles();
    return 0;
}
