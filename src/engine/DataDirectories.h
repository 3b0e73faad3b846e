#pragma once

// The directory strings every file path is built from, by plain concatenation:
// directory + optional sub-folder + file name. Each directory string ends with "/".

#include <string>

// Where ".json" and ".txt" data is read and written. Starts relative to the working tree and is
// repointed at the per-user mirror when the engine initializes.
extern std::string DataDirectory;
// Shader descriptors and sources; repointed at the per-user mirror like DataDirectory.
extern std::string ShadersDirectory;

// Images and sounds are never mirrored, so they are always read from the working tree.
extern const std::string AssetsDirectory;
// Appended to DataDirectory for mesh files.
extern const std::string MeshesDirectory;
// Appended to AssetsDirectory for texture images.
extern const std::string TexturesDirectory;

// Appended to PerUserFolder() to name the mirrored copies of "Data" and "Shaders" (no trailing
// separator, as the mirror expects folder paths without one).
extern const std::string kMirroredDataSubPath;
extern const std::string kMirroredShadersSubPath;

// The per-user application-data folder: $XDG_DATA_HOME when set and non-empty, otherwise
// $HOME/.local/share. Empty when neither is available, which turns the mirrored sub-paths into
// absolute paths at the file-system root.
std::string PerUserFolder();
