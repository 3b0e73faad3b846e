#include "graphics/Sprite.h"

#include "entities/Entity.h"
#include "entities/JsonReaders.h"
#include "graphics/GraphicsSystem.h"
#include "graphics/Mesh.h"
#include "graphics/Shader.h"
#include "graphics/Texture.h"
#include "physics/Transform.h"

namespace {
// An asset key that is missing names the marker itself, which names no file: the texture then
// fails softly (drawn untextured) and a mesh or shader fails the entity load with the path.
std::string AssetName(const nlohmann::json& data, std::string_view key) {
    const nlohmann::json& found = GetJsonPath(data, {key});
    return found.get<std::string>();
}

// Colours are {"x", "y", "z"} objects whose members are each optional.
void ReadColor(const nlohmann::json& data, std::string_view key, Vector3& color) {
    const nlohmann::json& found = GetJsonPath(data, {key});
    if (IsMissingJsonValue(found)) {
        return;
    }
    ReadJsonFloat(found, "x", color.x);
    ReadJsonFloat(found, "y", color.y);
    ReadJsonFloat(found, "z", color.z);
}

void ReadOffset(const nlohmann::json& data, std::string_view key, Vector2& offset) {
    const nlohmann::json& found = GetJsonPath(data, {key});
    if (IsMissingJsonValue(found)) {
        return;
    }
    ReadJsonFloat(found, "x", offset.x);
    ReadJsonFloat(found, "y", offset.y);
}
}  // namespace

Sprite::Sprite()
    : Component(kComponentName),
      texture(GetTexture(kDefaultTexture)),
      shader(GetShader(kDefaultShader)),
      mesh(GetMesh(kDefaultMesh)) {}

Sprite::Sprite(Mesh* mesh, Texture* texture, Shader* shader)
    : Component(kComponentName),
      texture(texture),
      shader(shader),
      mesh(mesh),
      color{1.0f, 1.0f, 1.0f} {}

std::unique_ptr<Component> Sprite::Clone() const {
    return std::make_unique<Sprite>(*this);
}

void Sprite::Render() {
    Transform* transform = owner != nullptr ? owner->GetComponent<Transform>() : nullptr;
    if (transform == nullptr || shader == nullptr || mesh == nullptr) {
        return;
    }
    GraphicsSystem::Instance().DrawSprite(*transform, shader->program, mesh->vertexArray,
                                          mesh->VertexCount(), texture != nullptr ? texture->id : 0,
                                          textureOffset, color, alpha);
}

void Sprite::FromJson(const nlohmann::json& data) {
    texture = GetTexture(AssetName(data, "texture"));
    mesh = GetMesh(AssetName(data, "mesh"));
    shader = GetShader(AssetName(data, "shader"));
    ReadJsonFloat(data, "alpha", alpha);
    ReadColor(data, "color", color);
    ReadOffset(data, "textureOffset", textureOffset);
    ReadJsonInt(data, "frameIndex", frameIndex);
}

nlohmann::json Sprite::ToJson() const {
    return nlohmann::json{
        {"alpha", alpha},
        {"color", {{"x", color.x}, {"y", color.y}, {"z", color.z}}},
        {"frameIndex", frameIndex},
        {"mesh", mesh != nullptr ? mesh->name : std::string()},
        {"shader", shader != nullptr ? shader->name : std::string()},
        {"texture", texture != nullptr ? texture->name : std::string()},
        {"textureOffset", Vector2ToJson(textureOffset)},
    };
}
