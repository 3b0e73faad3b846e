#include "graphics/Shader.h"

#include <glad/gl.h>

#include <array>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <vector>

#include <nlohmann/json.hpp>

#include "graphics/GraphicsSystem.h"

#include "SharedDependencies/Source/Stream.h"
#include "engine/DataDirectories.h"

namespace {
constexpr std::size_t kInfoLogSize = 256;
constexpr const char* kStageFailure = "Failed to compile the vertex stage: ";

std::vector<std::unique_ptr<Shader>>& Cache() {
    static auto* cache = new std::vector<std::unique_ptr<Shader>>();
    return *cache;
}

int loadCount = 0;

// A source that cannot be opened reads as empty, and then fails to compile with a report.
std::string ReadSource(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void Report(const std::array<char, kInfoLogSize>& log) {
    std::cout << kStageFailure << '\n' << log.data() << std::endl;
}

GLuint CompileStage(GLenum stage, const std::string& source) {
    const GLuint shader = glCreateShader(stage);
    const char* text = source.c_str();
    const auto length = static_cast<GLint>(source.size());
    glShaderSource(shader, 1, &text, &length);
    glCompileShader(shader);
    GLint status = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
    if (status != GL_TRUE) {
        std::array<char, kInfoLogSize> log{};
        glGetShaderInfoLog(shader, static_cast<GLsizei>(log.size() - 1), nullptr, log.data());
        Report(log);
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

std::unique_ptr<Shader> LoadShader(const std::string& name) {
    // Read-only open: a missing descriptor is reported by name instead of being created empty.
    Stream file(ShadersDirectory + name, Stream::kRead);
    const nlohmann::json descriptor = nlohmann::json::parse(file);
    auto shader = std::make_unique<Shader>();
    shader->vertexFile = descriptor.at("vertex file").get<std::string>();
    shader->pixelFile = descriptor.at("pixel file").get<std::string>();
    shader->program = CompileShaderProgram(*shader);
    shader->name = name;
    ++loadCount;
    return shader;
}
}  // namespace

namespace {
int CompileAndLink(const Shader& shader) {
    const GLuint vertex = CompileStage(GL_VERTEX_SHADER, ReadSource(shader.vertexFile));
    if (vertex == 0) {
        return 0;
    }
    const GLuint pixel = CompileStage(GL_FRAGMENT_SHADER, ReadSource(shader.pixelFile));
    if (pixel == 0) {
        glDeleteShader(vertex);
        return 0;
    }
    const GLuint program = glCreateProgram();
    glAttachShader(program, vertex);
    glAttachShader(program, pixel);
    glLinkProgram(program);
    glDeleteShader(vertex);
    glDeleteShader(pixel);
    GLint status = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &status);
    if (status != GL_TRUE) {
        std::array<char, kInfoLogSize> log{};
        glGetProgramInfoLog(program, static_cast<GLsizei>(log.size() - 1), nullptr, log.data());
        Report(log);
        glDeleteProgram(program);
        return 0;
    }
    return static_cast<int>(program);
}
}  // namespace

int CompileShaderProgram(const Shader& shader) {
    const int program = CompileAndLink(shader);
    // A deleted program's name can come back for a new program, so nothing known about the
    // old one may stay attached to it.
    GraphicsSystem::Instance().ForgetGlState();
    return program;
}

Shader* GetShader(const std::string& name) {
    for (const auto& shader : Cache()) {
        if (shader->name == name) {
            return shader.get();
        }
    }
    Cache().push_back(LoadShader(name));
    return Cache().back().get();
}

int ShaderLoadCount() {
    return loadCount;
}
