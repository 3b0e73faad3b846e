#pragma once
// A level laid out in a tile editor. The component reads its tile-map file from the data
// folder's "Tilemaps/" and builds the level under its own entity: one child per non-empty cell
// of the first layer (its kind chosen by the tile's "archetype" property, its picture the tile's
// own, flipped as the cell says), one solid ColliderLine on its own entity outlining every wall
// cell (tile id 5), and the process-wide navigation graph. The file's top row is the level's
// top row, as the editor shows it.
//
// A rebuild takes two updates. An entity holds one component per type, and a removal takes
// effect only at the next flush of pending components, so the first update queues the removal of
// the old wall collider and the second builds the new map. A new component, a loaded one and
// every FromJson start a rebuild.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/Vector2.h"
#include "entities/Component.h"
#include "gameplay/TileInfo.h"
#include "gameplay/TilemapFlips.h"

struct TilemapFile;

class Tilemap : public Component {
public:
    static constexpr const char* kComponentName = "Tilemap";
    // Below DataDirectory.
    static constexpr const char* kTilemapsFolder = "Tilemaps/";
    // Cells of this tile id (their flip bits cleared) are walls: outlined by the collider and
    // blocked for routes, whatever tile the id names and however it is flipped.
    static constexpr std::int32_t kWallCell = 5;

    // The entity loader and the editor give an empty path.
    explicit Tilemap(std::string filepath);

    std::unique_ptr<Component> Clone() const override;
    // One step of the rebuild while recreateMap is set.
    void Update(float dt) override;
    // Reads "filepath" and starts a rebuild.
    void FromJson(const nlohmann::json& data) override;
    // "recreateMap" is written but never read back.
    nlohmann::json ToJson() const override;

    // The rebuild proper: destroys the old cell objects, reads the file and builds the new level.
    // A file that cannot be opened or read is reported (one trace error naming the file and the
    // problem) and leaves the map empty; nothing is thrown.
    void Serialize();
    // The file changed on disk: the map is rebuilt (over the next two updates) when the file
    // reads; otherwise the map stays as it is and the one trace error says why. True when the
    // rebuild is under way.
    bool ReloadFile();
    // Creates one cell's object as a child of the tile map's entity, showing the tile's picture
    // flipped by `flips`. The object counter counts every call, also those whose archetype is
    // unknown.
    void CreateObject(Vector2 position, const TileInfo& info, TilemapFlips flips = {});

    // The cells of the first layer that are walls, as outline segments: consecutive point pairs
    // relative to the tile map's entity.
    std::vector<Vector2> WallOutline() const;

    // Relative to DataDirectory + kTilemapsFolder.
    std::string filepath;
    bool recreateMap = true;
    // The next rebuild update only takes the old wall collider away.
    bool clearStep = true;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t tileWidth = 0;
    std::int32_t tileHeight = 0;
    // Incremented before each created object and never reset, not even by a rebuild, so object
    // names stay unique for the component's life.
    std::int32_t objectCounter = -1;
    // Kept as read (tile ids, as firstLayer); nothing is built from it.
    std::vector<std::int32_t> secondLayer;
    // Tile ids per cell (flip bits cleared), row by row, row 0 at the bottom: the file's last row.
    std::vector<std::int32_t> firstLayer;
    // How each cell of firstLayer shows its tile.
    std::vector<TilemapFlips> firstLayerFlips;
    // Every rebuild appends its tile sets' tiles; for an id the latest entry counts.
    std::vector<TileInfo> tileInfos;

private:
    void RemoveWallCollider();
    void DestroyChildren();
    // The parsed and checked file, or false after reporting why there is none.
    bool ReadFile(TilemapFile& file) const;
    void Apply(TilemapFile&& file);
    void CreateObjects();
    void CreateWallCollider();
    void CreateNavigationGraph();
    bool IsWall(std::int32_t row, std::int32_t column) const;
};
