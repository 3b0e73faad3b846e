#pragma once
// Makes its entity visible: a mesh drawn with a shader and a texture at the entity's Transform,
// tinted by `color`, faded by `alpha` and shifted in texture space by `textureOffset`. The asset
// records are shared by name with every other user and never owned here.

#include "engine/Vector2.h"
#include "engine/Vector3.h"
#include "entities/Component.h"

struct Mesh;
struct Shader;
struct Texture;

class Sprite : public Component {
public:
    static constexpr const char* kComponentName = "Sprite";
    static constexpr const char* kDefaultTexture = "milk.png";
    static constexpr const char* kDefaultMesh = "1x1Mesh.json";
    static constexpr const char* kDefaultShader = "LightingShader.json";

    // The stock assets, tint black and fully opaque, as the loader and the editor create it.
    Sprite();
    // For the tile map: given assets, white tint, opaque.
    Sprite(Mesh* mesh, Texture* texture, Shader* shader);

    std::unique_ptr<Component> Clone() const override;
    void Render() override;
    void FromJson(const nlohmann::json& data) override;
    nlohmann::json ToJson() const override;

    Texture* texture = nullptr;
    Shader* shader = nullptr;
    Mesh* mesh = nullptr;
    float alpha = 0.0f;
    Vector3 color{0.0f, 0.0f, 0.0f};
    Vector2 textureOffset{0.0f, 0.0f};
    // Informational: drawing uses only textureOffset.
    int frameIndex = 0;
};
