#include "graphics/Animator.h"

#include "entities/Entity.h"
#include "entities/JsonReaders.h"
#include "graphics/Mesh.h"
#include "graphics/Sprite.h"

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
    ++currentFrame;
    if (currentFrame >= frameCount) {
        if (!isLooping) {
            currentFrame = frameCount - 1;
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
    if (sprite == nullptr || sprite->mesh == nullptr || sprite->mesh->uSize <= 0.0f ||
        sprite->mesh->vSize <= 0.0f) {
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
