#include "graphics/Texture.h"

#include <glad/gl.h>
#include <stb_image.h>

#include <iostream>
#include <memory>
#include <vector>

#include "engine/DataDirectories.h"
#include "engine/TraceLog.h"
#include "graphics/GraphicsSystem.h"

namespace {
constexpr int kRgbaChannels = 4;

std::vector<std::unique_ptr<Texture>>& Cache() {
    static auto* cache = new std::vector<std::unique_ptr<Texture>>();
    return *cache;
}

std::string TexturePath(const std::string& name) {
    return AssetsDirectory + TexturesDirectory + name;
}

// The image's pixels as 8-bit RGBA, top row first; null when it does not decode.
stbi_uc* Decode(const std::string& name, int& width, int& height) {
    const std::string path = TexturePath(name);
    int channels = 0;
    stbi_set_flip_vertically_on_load(0);
    return stbi_load(path.c_str(), &width, &height, &channels, kRgbaChannels);
}

// Gives texture `id` the pixels (and frees them), nearest sampling, clamped at the edges.
void Upload(GLuint id, stbi_uc* pixels, int width, int height) {
    glBindTexture(GL_TEXTURE_2D, id);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    stbi_image_free(pixels);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glBindTexture(GL_TEXTURE_2D, 0);
}

int LoadTexture(Texture& texture, const std::string& name) {
    texture.version = VersionOf(TexturePath(name));
    int width = 0;
    int height = 0;
    stbi_uc* pixels = Decode(name, width, height);
    if (pixels == nullptr) {
        std::cout << "Error creating texture: stbi_load failed to generate image." << std::endl;
        TraceLog::Error("Error creating texture: stbi_load failed to generate image: " + name);
        return -1;
    }
    TraceLog::Warning("Texture loaded fine");
    GLuint id = 0;
    glGenTextures(1, &id);
    Upload(id, pixels, width, height);
    texture.width = width;
    texture.height = height;
    return static_cast<int>(id);
}
}  // namespace

ReloadResult ReloadTexture(const std::string& name) {
    for (const auto& texture : Cache()) {
        if (texture->name != name) {
            continue;
        }
        const FileVersion version = VersionOf(TexturePath(name));
        if (version == texture->version) {
            return ReloadResult::NotInUse();
        }
        texture->version = version;
        int width = 0;
        int height = 0;
        stbi_uc* pixels = Decode(name, width, height);
        if (pixels == nullptr) {
            const char* reason = stbi_failure_reason();
            return ReloadResult::Failed(reason != nullptr ? reason : "it does not decode");
        }
        if (texture->id < 0) {
            GLuint id = 0;
            glGenTextures(1, &id);
            texture->id = static_cast<int>(id);
        }
        Upload(static_cast<GLuint>(texture->id), pixels, width, height);
        GraphicsSystem::Instance().ForgetGlState();
        texture->width = width;
        texture->height = height;
        return ReloadResult::Reloaded();
    }
    return ReloadResult::NotInUse();
}

Texture* GetTexture(const std::string& name) {
    for (const auto& texture : Cache()) {
        if (texture->name == name) {
            return texture.get();
        }
    }
    auto texture = std::make_unique<Texture>();
    texture->id = LoadTexture(*texture, name);
    // Loading left texture 0 bound.
    GraphicsSystem::Instance().ForgetGlState();
    texture->name = name;
    Cache().push_back(std::move(texture));
    return Cache().back().get();
}
