#pragma once
// Shader programs, built from a small JSON descriptor ("vertex file", "pixel file") under
// ShadersDirectory and shared by name for the whole run. A program that fails to compile or link
// is cached with program 0 after its report (on standard output, and one trace error naming the
// source that failed); a descriptor that is missing or malformed throws, its message naming the
// descriptor's path (nothing is cached), and the caller's handler decides.

#include <memory>
#include <string>

#include "engine/FileVersion.h"
#include "engine/ReloadResult.h"

struct Shader {
    // OpenGL program name; 0 when building failed; -1 only while loading.
    int program = -1;
    std::string vertexFile;
    std::string pixelFile;
    // The name it was requested under (the cache key).
    std::string name;
    // The descriptor and the two sources as they were read (see FileVersion).
    FileVersion descriptorVersion;
    FileVersion vertexVersion;
    FileVersion pixelVersion;
};

// The shared record for `name`, loading it on first request.
Shader* GetShader(const std::string& name);

// Reads the descriptor `name` and builds its program, without looking at or adding to the shared
// records. Throws like GetShader.
std::unique_ptr<Shader> LoadShader(const std::string& name);

// Compiles and links the record's two sources; 0 (after the report) on failure.
int CompileShaderProgram(const Shader& shader);

// A shader file changed on disk: `file` is a descriptor's name (as GetShader takes it) or a
// stage source's path (as a descriptor names it). Every program in use that is built from it is
// built again and replaces the old one under the same record, so every sprite drawn with it uses
// the new one. A program that no longer builds keeps the old one (its build has written its one
// trace error); a descriptor that no longer reads keeps it too.
ReloadResult ReloadShaders(const std::string& file);

// How many programs have been built so far (each build is one real load of a descriptor).
int ShaderLoadCount();
