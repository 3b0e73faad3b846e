#version 330 core

uniform vec4 passColor;

out vec4 outColor;

void main() {
    outColor = passColor;
}
