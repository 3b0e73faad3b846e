#pragma once
// The settings that decide how an engine pass starts: whether it runs at once or paused, and
// which scene it loads. They live in a small JSON file under DataDirectory + "EngineSettingFiles/";
// the router file there names the active one, so several settings files can sit side by side.
//
// Settings file shape (written with an indent of 2, keys sorted, no final line break):
//   { "defaultEntityFile": "Scenes/MenuScene.json", "runOnStart": "1", "ticksPerSecond": "60" }
// "runOnStart" is a string holding JSON text: a number (non-zero is true) or a boolean.
// "ticksPerSecond", optional, is a string holding a number from 10 to 1000: how many simulation
// ticks make a second (60 when missing).
// "showTools", optional, is a string holding JSON text like "runOnStart": whether the pass starts
// with the tool windows and the debug outlines shown (shown when missing, as files written before
// it existed expect; the shipped settings say "0", so the game opens as a game).

#include <optional>
#include <string>

#include <nlohmann/json.hpp>

// The process-wide record, refilled by every LoadEngineSettings. Until the first load it holds
// the defaults: no start scene, start paused.
namespace EngineSettings {
inline std::string routerPath;
inline bool runOnStart = false;
// Relative to DataDirectory and beginning with "Scenes/"; empty means no start scene.
inline std::string defaultEntityFile;
inline constexpr double kDefaultTicksPerSecond = 60.0;
inline constexpr double kFewestTicksPerSecond = 10.0;
inline constexpr double kMostTicksPerSecond = 1000.0;
inline double ticksPerSecond = kDefaultTicksPerSecond;
inline bool showTools = true;
}  // namespace EngineSettings

// The router file, and a settings file of the given name, in the data directory.
std::string RouterPath();
std::string SettingsPath(const std::string& name);
// Why `name` cannot name a settings file, or nothing when it can. A settings name is a plain
// file name inside "EngineSettingFiles/": not empty, not "." or "..", and without a '/' or '\\'
// separator or a NUL (which would cut the path short), so that whatever the router or the
// settings window holds, no file outside that folder is read, created or written.
std::optional<std::string> SettingsNameFault(const std::string& name);
// The settings a new settings file starts with: no start scene, start paused.
nlohmann::json DefaultSettingsJson();

// Fills EngineSettings from the settings file the router names. The router's content is the
// file name; trailing line breaks, spaces and tabs are not part of it. Missing
// router or settings files are created empty (the shared read+write+append open mode). Whenever
// the settings cannot be used (a missing or empty router, an empty or invalid settings file, a
// missing or mistyped member, a "runOnStart" that is neither a number nor a boolean) the record
// gets the default settings and one trace error names the file and the reason, so that the
// engine still starts. A router that names no plain file inside the folder (SettingsNameFault)
// is reported the same way, and then no settings file is opened at all. A "ticksPerSecond" that is
// not a number in its range gets one trace error and the default, and the rest is kept; so does a
// "showTools" that is neither a number nor a boolean.
void LoadEngineSettings();
// The same, for a settings file changed during the run: a file that cannot be used leaves the
// record as it was (with one trace error) and gives false.
bool ReloadEngineSettings();

// Replaces the active settings file (the one the router names) with `settings`. The text is
// produced before the file is touched and then swapped in whole, so a failure (reported as one
// trace error) leaves the previous file as it was. When the router names no plain file inside
// the folder, nothing is written.
void SaveSettings(const nlohmann::json& settings);
