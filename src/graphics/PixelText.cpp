#include "graphics/PixelText.h"

#include <cctype>
#include <exception>
#include <optional>
#include <string>

#include "engine/TraceLog.h"
#include "graphics/GraphicsSystem.h"
#include "graphics/Mesh.h"
#include "graphics/Shader.h"
#include "graphics/Texture.h"
#include "physics/Transform.h"

namespace {
constexpr Vector3 kShadowColor{0.05f, 0.05f, 0.08f};

// The atlas cell of `character`, or of the blank for one outside the atlas.
int CellOf(char character) {
    const int code = std::toupper(static_cast<unsigned char>(character));
    const int cell = code - PixelText::kFirstCharacter;
    return cell >= 0 && cell < PixelText::kColumns * PixelText::kRows ? cell : 0;
}

struct FontAssets {
    Texture* font = nullptr;
    Mesh* mesh = nullptr;
    Shader* shader = nullptr;
    Texture* white = nullptr;
    Mesh* quad = nullptr;
};

// The font's assets, or nothing (reported once) when a file of them cannot be loaded: lettering is
// drawn every frame, and a damaged data folder must not end the game.
std::optional<FontAssets> LoadFontAssets() {
    static bool reported = false;
    try {
        return FontAssets{GetTexture(PixelText::kFontTexture), GetMesh(PixelText::kGlyphMesh),
                          GetShader(PixelText::kShader), GetTexture(PixelText::kFillTexture),
                          GetMesh(PixelText::kFillMesh)};
    } catch (const std::exception& error) {
        if (!reported) {
            TraceLog::Error(std::string("PixelText - lettering not drawn: ") + error.what());
            reported = true;
        }
        return std::nullopt;
    }
}
}  // namespace

float PixelText::Width(std::string_view text, float pixel) {
    if (text.empty()) {
        return 0.0f;
    }
    return (static_cast<float>(text.size() * kCellWidth) - 1.0f) * pixel;
}

void PixelText::Draw(std::string_view text, Vector2 anchor, float pixel, Vector3 color,
                     float alpha, Align align) {
    const float width = Width(text, pixel);
    float left = anchor.x;
    if (align == Align::kCentre) {
        left -= width * 0.5f;
    } else if (align == Align::kRight) {
        left -= width;
    }
    DrawLine(text, {left + pixel, anchor.y - pixel}, pixel, kShadowColor, alpha);
    DrawLine(text, {left, anchor.y}, pixel, color, alpha);
}

void PixelText::DrawLine(std::string_view text, Vector2 left, float pixel, Vector3 color,
                         float alpha) {
    const std::optional<FontAssets> assets = LoadFontAssets();
    if (!assets || assets->font == nullptr || assets->mesh == nullptr || assets->shader == nullptr) {
        return;
    }
    const FontAssets& use = *assets;
    const float cellWidth = kCellWidth * pixel;
    const float cellHeight = kCellHeight * pixel;
    // The glyph fills the top kGlyphHeight rows of its cell: the cell's centre lies half the
    // spare row below the letters' centre.
    const float centreY = left.y - (kCellHeight - kGlyphHeight) * pixel * 0.5f;
    Transform glyph;
    glyph.SetScale({cellWidth, cellHeight});
    for (std::size_t index = 0; index < text.size(); ++index) {
        const int cell = CellOf(text[index]);
        if (cell == 0) {
            continue;  // a blank draws nothing
        }
        glyph.SetPosition({left.x + cellWidth * (static_cast<float>(index) + 0.5f), centreY});
        const Vector2 offset{static_cast<float>(cell % kColumns) / kColumns,
                             static_cast<float>(cell / kColumns) / kRows};
        GraphicsSystem::Instance().DrawSprite(glyph, use.shader->program, use.mesh->vertexArray,
                                              use.mesh->VertexCount(), use.font->id, offset, color,
                                              alpha);
    }
}

void PixelText::Fill(Vector2 centre, Vector2 size, Vector3 color, float alpha) {
    const std::optional<FontAssets> assets = LoadFontAssets();
    if (!assets || assets->white == nullptr || assets->quad == nullptr ||
        assets->shader == nullptr) {
        return;
    }
    Transform cover;
    cover.SetPosition(centre);
    cover.SetScale(size);
    GraphicsSystem::Instance().DrawSprite(cover, assets->shader->program, assets->quad->vertexArray,
                                          assets->quad->VertexCount(), assets->white->id,
                                          {0.0f, 0.0f}, color, alpha);
}
