#pragma once
// A small arena in place of the shipped first level, for tests that play it with a scripted
// player: the level keeps its walls, floor and one lamp but holds only the shipped player, on the
// open second row from the bottom, and one shipped enemy `enemyDistance` to its right on that
// row, running at `enemySpeed`, that one hit kills. The shipped second level follows it.

#include <filesystem>
#include <fstream>

#include <nlohmann/json.hpp>

#include "support/ChildProcess.h"

inline void WriteArenaLevel(const std::filesystem::path& workingTree, double enemyDistance,
                            double enemySpeed) {
    using json = nlohmann::json;
    const std::filesystem::path scene = workingTree / "Data" / "Scenes" / "MainScene.json";
    const json shipped = json::parse(ReadFileText(std::filesystem::path(TARNWICK_SOURCE_DIR) /
                                                  "Data" / "Scenes" / "MainScene.json"));
    // The map is 30 x 17 cells of 128 units, cell (0, 0) centred at (-1920, -1088).
    const double rowY = 128.0 - 1088.0;
    const double playerX = 2 * 128.0 - 1920.0;
    json player = shipped.at("Player");
    player["Transform"]["Transform"]["position"] = {{"x", playerX}, {"y", rowY}};
    json enemy = shipped.at("Enemy0");
    enemy["Transform"]["Transform"]["position"] = {{"x", playerX + enemyDistance}, {"y", rowY}};
    enemy["BasicEnemyBehavior"]["BasicEnemyBehavior"]["moveSpeed"] = enemySpeed;
    enemy["BasicEnemyBehavior"]["BasicEnemyBehavior"]["health"] = 1.0;
    const json arena = {{"Player", player},
                        {"Enemy0", enemy},
                        {"BorderWalls", shipped.at("BorderWalls")},
                        {"Level", shipped.at("Level")},
                        {"Lamp", shipped.at("Lamp3")}};
    std::ofstream(scene, std::ios::trunc) << arena.dump(2);
}
