#version 330 core
// Sprites: the world matrix places the mesh; the projection is centred on the camera, so it alone
// carries the camera's position (the view matrix would move the picture a second time).

layout(location = 0) in vec2 position;
layout(location = 1) in vec2 textureCoord;
layout(location = 2) in vec4 color;

uniform mat4 world;
uniform mat4 projection;
uniform vec2 textureOffset;

out vec2 fragTextureCoord;
out vec2 fragWorldPosition;
out vec4 fragVertexColor;

void main() {
    vec4 worldPosition = world * vec4(position, 0.0, 1.0);
    fragWorldPosition = worldPosition.xy;
    fragTextureCoord = textureCoord + textureOffset;
    fragVertexColor = color;
    gl_Position = projection * worldPosition;
}
