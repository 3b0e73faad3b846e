#version 330 core
// Unlit, tinted sprites for what lies on the screen rather than in the world (the HUD's lettering):
// the level's lights neither brighten nor darken it. As with the lit sprites, passColor.rgb
// multiplies the texture (white leaves it as it is) and passColor.a fades it (0 is fully opaque).

uniform sampler2D spriteTexture;
uniform vec4 passColor;

in vec2 fragTextureCoord;
in vec2 fragWorldPosition;
in vec4 fragVertexColor;

out vec4 outColor;

void main() {
    vec4 texel = texture(spriteTexture, fragTextureCoord) * fragVertexColor;
    outColor = vec4(texel.rgb * passColor.rgb, texel.a * (1.0 - passColor.a));
}
