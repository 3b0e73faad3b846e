#include "engine/DataDirectories.h"

#include <cstdlib>

std::string DataDirectory = "Data/";
std::string ShadersDirectory = "Shaders/";

const std::string AssetsDirectory = "Assets/";
const std::string MeshesDirectory = "Meshes/";
const std::string TexturesDirectory = "Textures/";

const std::string kMirroredDataSubPath = "/OrreryTestDirectory/Data";
const std::string kMirroredShadersSubPath = "/OrreryTestDirectory/Shaders";

namespace {
constexpr const char* kDataHomeVariable = "XDG_DATA_HOME";
constexpr const char* kHomeVariable = "HOME";
constexpr const char* kDefaultDataHomeBelowHome = "/.local/share";

// An empty variable counts as unset, as the base-directory convention asks.
const char* NonEmptyVariable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != '\0' ? value : nullptr;
}
}  // namespace

std::string PerUserFolder() {
    if (const char* dataHome = NonEmptyVariable(kDataHomeVariable)) {
        return dataHome;
    }
    if (const char* home = NonEmptyVariable(kHomeVariable)) {
        return std::string(home) + kDefaultDataHomeBelowHome;
    }
    return "";
}
