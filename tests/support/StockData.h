#pragma once
// Copies the repository's stock game data that every running engine needs (shader descriptors
// and sources, meshes) into a throw-away game tree, and links its Assets folder, so tests that
// run the engine draw with the real shaders.

#include <filesystem>

void CopyStockData(const std::filesystem::path& gameRoot);
