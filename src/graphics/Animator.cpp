#include "graphics/Animator.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>

#include "engine/TraceLog.h"
#include "entities/Entity.h"
#include "entities/JsonReaders.h"
#include "graphics/Mesh.h"
#include "graphics/Sprite.h"

namespace {
// 2^31, the first cell count an int cannot hold; a float below it converts safely.
constexpr float kCellCountLimit = 2147483648.0f;

// The frame a finished animation stays on, frameCount - 1, held at the lowest int for the
// lowest frame count (any negative frame shows no cell, so nothing visible changes).
int LastFrame(int frameCount) {
    return std::max(frameCount, std::numeric_limits<int>::min() + 1) - 1;
}

// Whether the columns or rows that a cell of `size` gives (1 / size) fit an int.
bool CellCountFits(float size) {
    return 1.0f / size < kCellCountLimit;
}
}  // namespace

Animator::Animator() : Component(kComponentName) {}

std::unique_ptr<Component> Animator::Clone() const {
    return std::make_unique<Animator>(*this);
}

void Animator::Update(float dt) {
    if (!isPlaying) {
        return;
    }
    timer -= dt;
    if (timer > 0.0f) {
        return;
    }
    // In 64 bits: a loop start at the top of the int range would otherwise wrap to a negative
    // frame. From there the next frame is past any frame count, so the loop stays on it.
    const std::int64_t nextFrame = std::int64_t{currentFrame} + 1;
    if (nextFrame < frameCount) {
        currentFrame = static_cast<int>(nextFrame);
    } else {
        if (!isLooping) {
            currentFrame = LastFrame(frameCount);
            isPlaying = false;
            timer = 0.0f;
            return;
        }
        currentFrame = startFrame;
    }
    ShowCurrentFrame();
    timer += frameDuration;
}

void Animator::ShowCurrentFrame() {
    // Without a sprite, or with a mesh that is not a sheet cell (sizes outside (0, 1] give zero
    // columns or rows), there is no cell to show: the offset is left as it is.
    Sprite* sprite = owner != nullptr ? owner->GetComponent<Sprite>() : nullptr;
    if (sprite == nullptr || sprite->mesh == nullptr || !(sprite->mesh->uSize > 0.0f) ||
        !(sprite->mesh->vSize > 0.0f)) {
        return;
    }
    // A cell so small that the sheet would have more columns or rows than an int can count is
    // no usable cell either; such a mesh is a data mistake, so it is reported, once per mesh.
    if (!CellCountFits(sprite->mesh->uSize) || !CellCountFits(sprite->mesh->vSize)) {
        ReportUncountableSheet(*sprite->mesh);
        return;
    }
    // Columns come from vSize and rows from uSize: the sheet meshes are built in that pairing.
    const int columns = static_cast<int>(1.0f / sprite->mesh->vSize);
    const int rows = static_cast<int>(1.0f / sprite->mesh->uSize);
    if (columns <= 0 || rows <= 0 || currentFrame < 0) {
        return;
    }
    sprite->frameIndex = currentFrame;
    sprite->textureOffset = {
        static_cast<float>(currentFrame % columns) / static_cast<float>(columns),
        static_cast<float>(currentFrame / columns) / static_cast<float>(rows)};
}

void Animator::ReportUncountableSheet(const Mesh& mesh) {
    if (reportedMesh == &mesh) {
        return;
    }
    reportedMesh = &mesh;
    TraceLog::Warning("Animator - The mesh \"" + mesh.name + "\" has a cell of uSize " +
                      std::to_string(mesh.uSize) + " and vSize " + std::to_string(mesh.vSize) +
                      ", too small to count the sheet's cells; the sprite's offset is left as " +
                      "it is");
}

void Animator::FromJson(const nlohmann::json& data) {
    ReadJsonInt(data, "startFrame", startFrame);
    ReadJsonInt(data, "frameCount", frameCount);
    ReadJsonFloat(data, "frameDuration", frameDuration);
    ReadJsonBool(data, "isLooping", isLooping);
    timer = frameDuration;
    currentFrame = 0;
    isPlaying = true;
}

nlohmann::json Animator::ToJson() const {
    return nlohmann::json{{"startFrame", startFrame},
                          {"frameCount", frameCount},
                          {"frameDuration", frameDuration},
                          {"isLooping", isLooping}};
}
