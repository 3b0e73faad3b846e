#version 330 core
// Debug lines and collider outlines: points in the shape's own units, placed by the world
// matrix and shown through the camera's projection.

layout(location = 0) in vec2 position;

uniform mat4 world;
uniform mat4 projection;

void main() {
    gl_Position = projection * world * vec4(position, 0.0, 1.0);
}
