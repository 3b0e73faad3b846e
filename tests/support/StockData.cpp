#include "support/StockData.h"

void CopyStockData(const std::filesystem::path& gameRoot) {
    namespace fs = std::filesystem;
    const fs::path source = TARNWICK_SOURCE_DIR;
    const auto options = fs::copy_options::recursive | fs::copy_options::overwrite_existing;
    fs::create_directories(gameRoot / "Data" / "Meshes");
    fs::copy(source / "Shaders", gameRoot / "Shaders", options);
    fs::copy(source / "Data" / "Meshes", gameRoot / "Data" / "Meshes", options);
    if (!fs::exists(gameRoot / "Assets")) {
        fs::create_directory_symlink(source / "Assets", gameRoot / "Assets");
    }
}
