#version 330 core
// Lit, tinted sprites. passColor.rgb multiplies the texture (white leaves it as it is) and
// passColor.a fades it (0 is fully opaque). Each light adds its colour with a smooth falloff to
// zero at its radius, over a dim ambient so unlit sprites stay visible.

const int kMaxLights = 64;
const vec3 kAmbient = vec3(0.3);

uniform sampler2D spriteTexture;
uniform vec4 passColor;
uniform vec3 emitterPos[kMaxLights];
uniform vec3 emitterCols[kMaxLights];
uniform float emitterRadii[kMaxLights];
uniform int numLights;

in vec2 fragTextureCoord;
in vec2 fragWorldPosition;
in vec4 fragVertexColor;

out vec4 outColor;

void main() {
    vec4 texel = texture(spriteTexture, fragTextureCoord) * fragVertexColor;
    vec3 light = kAmbient;
    // The program sends every light it has; only as many as these arrays hold arrive.
    int lights = min(numLights, kMaxLights);
    for (int i = 0; i < lights; ++i) {
        float radius = emitterRadii[i];
        if (radius <= 0.0) {
            continue;
        }
        float distanceToLight = distance(fragWorldPosition, emitterPos[i].xy);
        light += emitterCols[i] * (1.0 - smoothstep(0.0, radius, distanceToLight));
    }
    outColor = vec4(texel.rgb * passColor.rgb * light, texel.a * (1.0 - passColor.a));
}
