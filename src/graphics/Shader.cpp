#include "graphics/Shader.h"

#include <glad/gl.h>

#include <array>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <vector>

#include <nlohmann/json.hpp>

#include "graphics/GraphicsSystem.h"

#include "SharedDependencies/Source/Stream.h"
#include "engine/DataDirectories.h"
#include "engine/RethrowNamingFile.h"
#include "engine/TraceLog.h"

namespace {
constexpr std::size_t kInfoLogSize = 256;
constexpr const char* kStageFailure = "Failed to compile the vertex stage: ";
constexpr const char* kCompileTrace = "CompileShaderProgram - ";

std::vector<std::unique_ptr<Shader>>& Cache() {
    static auto* cache = new std::vector<std::unique_ptr<Shader>>();
    return *cache;
}

int loadCount = 0;

// A stage's source, read whole. A source that cannot be read (missing, a folder, unreadable)
// reads as empty, and then fails to compile with the report; `readable` says which it was.
std::string ReadSource(const std::string& path, bool& readable) {
    std::error_code error;
    readable = std::filesystem::is_regular_file(path, error);
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    if (readable && in) {
        text << in.rdbuf();
    }
    readable = readable && in.good();
    return text.str();
}

void Report(const std::array<char, kInfoLogSize>& log) {
    std::cout << kStageFailure << '\n' << log.data() << std::endl;
}

// The first line of an info log, for the one trace line; the whole log is on standard output.
std::string FirstLine(const std::array<char, kInfoLogSize>& log) {
    const std::string text = log.data();
    return text.substr(0, text.find('\n'));
}

// Who failed, for the trace line: the descriptor (when the record has its name yet) and then
// the source or sources.
std::string Culprit(const Shader& shader, const std::string& sources) {
    return kCompileTrace + (shader.name.empty() ? "" : shader.name + ": ") + sources;
}

GLuint CompileStage(const Shader& record, GLenum stage, const std::string& path) {
    bool readable = false;
    const std::string source = ReadSource(path, readable);
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
        TraceLog::Error(Culprit(record, path) +
                        (readable ? " does not compile: " + FirstLine(log)
                                  : " cannot be read as a shader source"));
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

}  // namespace

std::unique_ptr<Shader> LoadShader(const std::string& name) {
    const std::string path = ShadersDirectory + name;
    auto shader = std::make_unique<Shader>();
    shader->descriptorVersion = VersionOf(path);
    try {
        // Read-only open: a missing descriptor is reported by name instead of being created empty.
        Stream file(path, Stream::kRead);
        const nlohmann::json descriptor = nlohmann::json::parse(file);
        shader->vertexFile = descriptor.at("vertex file").get<std::string>();
        shader->pixelFile = descriptor.at("pixel file").get<std::string>();
    } catch (const std::exception&) {
        RethrowNamingFile(path);
    }
    // Named before it is built, so that a report of its build names it.
    shader->name = name;
    shader->vertexVersion = VersionOf(shader->vertexFile);
    shader->pixelVersion = VersionOf(shader->pixelFile);
    shader->program = CompileShaderProgram(*shader);
    ++loadCount;
    return shader;
}

namespace {
int CompileAndLink(const Shader& shader) {
    const GLuint vertex = CompileStage(shader, GL_VERTEX_SHADER, shader.vertexFile);
    if (vertex == 0) {
        return 0;
    }
    const GLuint pixel = CompileStage(shader, GL_FRAGMENT_SHADER, shader.pixelFile);
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
        TraceLog::Error(Culprit(shader, shader.vertexFile + " and " + shader.pixelFile) +
                        " do not link: " + FirstLine(log));
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

ReloadResult ReloadShaders(const std::string& file) {
    ReloadResult result = ReloadResult::NotInUse();
    const FileVersion version = VersionOf(file);
    const FileVersion descriptorVersion = VersionOf(ShadersDirectory + file);
    for (const auto& shader : Cache()) {
        Shader rebuilt = *shader;
        if (shader->name == file) {
            if (descriptorVersion == shader->descriptorVersion) {
                continue;
            }
            shader->descriptorVersion = descriptorVersion;
            try {
                rebuilt = *LoadShader(file);
            } catch (const std::exception& error) {
                return ReloadResult::Failed(error.what());
            }
        } else if (shader->vertexFile == file || shader->pixelFile == file) {
            FileVersion& held =
                shader->vertexFile == file ? shader->vertexVersion : shader->pixelVersion;
            if (version == held) {
                continue;
            }
            held = version;
            rebuilt.vertexVersion = shader->vertexVersion;
            rebuilt.pixelVersion = shader->pixelVersion;
            rebuilt.program = CompileShaderProgram(rebuilt);
        } else {
            continue;
        }
        if (rebuilt.program <= 0) {
            return ReloadResult::Failed("it does not build", true);
        }
        if (shader->program > 0) {
            glDeleteProgram(static_cast<GLuint>(shader->program));
            GraphicsSystem::Instance().ForgetGlState();
        }
        *shader = rebuilt;
        result = ReloadResult::Reloaded();
    }
    return result;
}

int ShaderLoadCount() {
    return loadCount;
}
