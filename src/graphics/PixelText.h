#pragma once
// Lettering in the game's pixel font, drawn at run time (and the plain backing it may need): one quad of the glyph mesh per character,
// moved by texture offset to its cell of the font atlas (both written by scripts/make-assets), with
// the unlit HUD shader so the level's lights do not colour it. Characters the font lacks are drawn
// as blanks. Lower-case letters are drawn as capitals.

#include <string_view>

#include "engine/Vector2.h"
#include "engine/Vector3.h"

class PixelText {
public:
    static constexpr const char* kFontTexture = "font.png";
    static constexpr const char* kGlyphMesh = "GlyphMesh.json";
    static constexpr const char* kShader = "HudShader.json";
    static constexpr const char* kFillTexture = "white.png";
    static constexpr const char* kFillMesh = "1x1Mesh.json";
    // The atlas: printable ASCII from kFirstCharacter, kColumns glyphs a row, kRows rows.
    static constexpr int kFirstCharacter = 32;
    static constexpr int kColumns = 16;
    static constexpr int kRows = 6;
    // A glyph is 5 x 7 font pixels in a cell of kCellWidth x kCellHeight (the rest is spacing).
    static constexpr int kCellWidth = 6;
    static constexpr int kCellHeight = 8;
    static constexpr int kGlyphHeight = 7;

    enum class Align { kLeft, kCentre, kRight };

    // Draws one line of `text`: `anchor` is the vertical centre of the letters and, by `align`,
    // their left end, their middle or their right end; `pixel` is the size of a font pixel in
    // world units. A dark copy one font pixel down and right goes underneath, so the lettering
    // reads on any floor. `alpha` fades it (0 opaque, 1 invisible).
    static void Draw(std::string_view text, Vector2 anchor, float pixel, Vector3 color,
                     float alpha = 0.0f, Align align = Align::kLeft);
    // A solid rectangle of `size` around `centre`, unlit, in `color`, faded by `alpha`: a backing
    // for lettering.
    static void Fill(Vector2 centre, Vector2 size, Vector3 color, float alpha);
    // The width of `text` drawn at `pixel`, without the spacing after its last letter.
    static float Width(std::string_view text, float pixel);

private:
    static void DrawLine(std::string_view text, Vector2 left, float pixel, Vector3 color,
                         float alpha);
};
