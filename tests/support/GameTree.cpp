#include "support/GameTree.h"

#include <cstdlib>
#include <fstream>

#include "support/StockData.h"

GameTree::GameTree() : workingTree(temp.path() / "game") {
    std::filesystem::create_directories(workingTree / "Data");
    std::filesystem::create_directories(workingTree / "Shaders");
    std::filesystem::create_directories(temp.path() / "xdg");
    CopyStockData(workingTree);
    setenv("XDG_DATA_HOME", (temp.path() / "xdg").c_str(), 1);
    previousWorkingDirectory = std::filesystem::current_path();
    std::filesystem::current_path(workingTree);
}

GameTree::~GameTree() {
    std::filesystem::current_path(previousWorkingDirectory);
}

std::filesystem::path GameTree::perUserData() const {
    return temp.path() / "xdg" / "OrreryTestDirectory" / "Data";
}

void GameTree::WriteFile(const std::filesystem::path& relative, const std::string& text) const {
    const std::filesystem::path path = workingTree / relative;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

void GameTree::CopyShippedData() const {
    std::filesystem::copy(std::filesystem::path(TARNWICK_SOURCE_DIR) / "Data", workingTree / "Data",
                          std::filesystem::copy_options::recursive |
                              std::filesystem::copy_options::overwrite_existing);
    std::filesystem::remove(workingTree / "Data" / "Trace_Log.txt");
}
