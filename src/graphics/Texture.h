#pragma once
// Textures decoded from Assets/Textures/ with stb_image (8-bit RGBA, not flipped) and shared by
// name for the whole run. An image that cannot be loaded is reported once and cached with id -1,
// so it is not retried.

#include <string>

#include "engine/FileVersion.h"
#include "engine/ReloadResult.h"

struct Texture {
    // OpenGL texture name, or -1 when the image could not be loaded.
    int id = -1;
    int width = 0;
    int height = 0;
    std::string name;
    // The image file as it was read (see FileVersion).
    FileVersion version;
};

Texture* GetTexture(const std::string& name);

// The image `name` changed on disk: a texture in use is given the new pixels under the same
// OpenGL name, so every sprite that draws it shows them. An image that no longer decodes keeps
// the old pixels.
ReloadResult ReloadTexture(const std::string& name);
