#include "graphics/PointBuffers.h"

#include <glad/gl.h>

#include "graphics/GraphicsSystem.h"

namespace {
constexpr GLsizei kPointStride = sizeof(Vector2);
static_assert(sizeof(Vector2) == 2 * sizeof(float), "points go to OpenGL as packed float pairs");
}  // namespace

void CreatePointBuffers(unsigned int& vertexArray, unsigned int& vertexBuffer,
                        const std::vector<Vector2>& points) {
    glGenVertexArrays(1, &vertexArray);
    glGenBuffers(1, &vertexBuffer);
    glBindVertexArray(vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, kPointStride, nullptr);
    glEnableVertexAttribArray(0);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(points.size()) * kPointStride,
                 points.data(), GL_STATIC_DRAW);
    glBindVertexArray(0);
    GraphicsSystem::Instance().ForgetGlState();
}

void DeletePointBuffers(unsigned int& vertexArray, unsigned int& vertexBuffer) {
    glDeleteBuffers(1, &vertexBuffer);
    glDeleteVertexArrays(1, &vertexArray);
    vertexBuffer = 0;
    vertexArray = 0;
    // Deleting a bound vertex array unbinds it, and its name may come back for a new one.
    GraphicsSystem::Instance().ForgetGlState();
}
