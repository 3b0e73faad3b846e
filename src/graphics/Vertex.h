#pragma once
// One vertex of a mesh, laid out exactly as the vertex buffer holds it (32 bytes): shaders read
// position from attribute 0, texture coordinate from 1 and colour from 2.

struct Vertex {
    float position[2];
    float textureCoord[2];
    float color[4];
};

static_assert(sizeof(Vertex) == 32, "the vertex buffer layout is 32 bytes per vertex");
