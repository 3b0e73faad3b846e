#include "engine/EngineSettings.h"

#include <exception>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "SharedDependencies/Source/Stream.h"
#include "engine/DataDirectories.h"
#include "engine/TraceLog.h"

namespace {
constexpr const char* kSettingsFolder = "EngineSettingFiles/";
constexpr const char* kRouterFileName = "SettingsRouter.txt";
constexpr const char* kTrailingBlanks = "\r\n \t";
// Both kinds, so that a name written on another system cannot climb out of the folder either.
constexpr const char* kPathSeparators = "/\\";
constexpr const char* kDefaultEntityFileKey = "defaultEntityFile";
constexpr const char* kRunOnStartKey = "runOnStart";
constexpr const char* kTicksPerSecondKey = "ticksPerSecond";
constexpr const char* kShowToolsKey = "showTools";
constexpr int kSettingsIndent = 2;
// The new text is written here first and then renamed over the settings file. It sits beside
// the settings file so that the rename stays on one file system and replaces the file at once.
constexpr const char* kScratchSuffix = ".saving";

constexpr const char* kLoadErrorPrefix = "LoadEngineSettings - Using the default settings: ";
constexpr const char* kSaveErrorPrefix = "SaveSettings - Settings not saved: ";

// What an engine start uses when the settings cannot be read.
struct StartSettings {
    bool runOnStart = false;
    std::string defaultEntityFile;
    double ticksPerSecond = EngineSettings::kDefaultTicksPerSecond;
    bool showTools = true;
};

// The file that could not be used and why, for the one trace error.
struct SettingsFault {
    std::string file;
    std::string reason;
};


// The path as a JSON string literal: a name may end in a line break (the router is not
// trimmed), and the escape keeps the trace entry on one line and shows where the name ends.
std::string Quoted(const std::string& path) {
    return nlohmann::json(path).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

std::string Describe(const SettingsFault& fault) {
    return Quoted(fault.file) + ": " + fault.reason;
}

// The shared open mode creates a missing file, so a missing file reads as empty.
std::string ReadWholeFile(const std::string& path) {
    Stream stream(path, Stream::kReadWriteAppend);
    std::string content;
    stream.ReadAll(content);
    return content;
}

std::optional<SettingsFault> ReadActiveName(std::string& name) {
    const std::string routerPath = RouterPath();
    try {
        name = ReadWholeFile(routerPath);
    } catch (const std::exception& error) {
        return SettingsFault{routerPath, error.what()};
    }
    // Editors end a saved line with a line break; trailing breaks and blanks are not part of
    // the name.
    name.erase(name.find_last_not_of(kTrailingBlanks) + 1);
    if (name.empty()) {
        return SettingsFault{routerPath, "the router file names no settings file"};
    }
    if (std::optional<std::string> fault = SettingsNameFault(name)) {
        return SettingsFault{routerPath, *std::move(fault)};
    }
    return std::nullopt;
}

// "runOnStart" holds JSON text; only a boolean or a number (non-zero is true) is accepted.
std::optional<bool> RunOnStartFromText(const std::string& text) {
    const nlohmann::json value = nlohmann::json::parse(text, nullptr, false);
    if (value.is_boolean()) {
        return value.get<bool>();
    }
    if (value.is_number()) {
        return value.get<double>() != 0.0;
    }
    return std::nullopt;
}

std::optional<SettingsFault> ReadStartSettings(const std::string& path, StartSettings& result) {
    nlohmann::json settings;
    try {
        const std::string text = ReadWholeFile(path);
        if (text.empty()) {
            return SettingsFault{path, "the settings file is empty"};
        }
        settings = nlohmann::json::parse(text);
    } catch (const std::exception& error) {
        return SettingsFault{path, error.what()};
    }
    if (!settings.is_object()) {
        return SettingsFault{path, "the settings are not a JSON object"};
    }
    for (const char* key : {kDefaultEntityFileKey, kRunOnStartKey}) {
        const auto member = settings.find(key);
        if (member == settings.end()) {
            return SettingsFault{path, "the member \"" + std::string(key) + "\" is missing"};
        }
        if (!member->is_string()) {
            return SettingsFault{path, "the member \"" + std::string(key) + "\" is not a string"};
        }
    }
    const std::optional<bool> runOnStart =
        RunOnStartFromText(settings[kRunOnStartKey].get_ref<const std::string&>());
    if (!runOnStart) {
        return SettingsFault{path, "\"runOnStart\" holds neither a number nor a boolean"};
    }
    result.runOnStart = *runOnStart;
    result.defaultEntityFile = settings[kDefaultEntityFileKey].get<std::string>();
    return std::nullopt;
}

// The optional members, read once the required ones were found sound: each one that is present
// but faulty gets one fault naming the file, and keeps its default.
std::vector<SettingsFault> ReadOptionalSettings(const std::string& path, StartSettings& result) {
    nlohmann::json settings;
    try {
        settings = nlohmann::json::parse(ReadWholeFile(path));
    } catch (const std::exception& error) {
        return {SettingsFault{path, error.what()}};
    }
    std::vector<SettingsFault> faults;
    if (const auto member = settings.find(kTicksPerSecondKey); member != settings.end()) {
        const nlohmann::json value =
            member->is_string()
                ? nlohmann::json::parse(member->get_ref<const std::string&>(), nullptr, false)
                : nlohmann::json();
        if (!value.is_number() || !(value.get<double>() >= EngineSettings::kFewestTicksPerSecond) ||
            !(value.get<double>() <= EngineSettings::kMostTicksPerSecond)) {
            faults.push_back({path, "\"ticksPerSecond\" is not a string holding a number from 10 "
                                    "to 1000; 60 ticks per second are used"});
        } else {
            result.ticksPerSecond = value.get<double>();
        }
    }
    if (const auto member = settings.find(kShowToolsKey); member != settings.end()) {
        const std::optional<bool> show =
            member->is_string() ? RunOnStartFromText(member->get_ref<const std::string&>())
                                : std::nullopt;
        if (!show) {
            faults.push_back({path, "\"showTools\" is not a string holding a number or a "
                                    "boolean; the tools are shown"});
        } else {
            result.showTools = *show;
        }
    }
    return faults;
}

// Writes `text` to a scratch file and renames it over `path`, so that `path` holds either its
// old content or all of the new one.
std::optional<SettingsFault> ReplaceFile(const std::string& path, const std::string& text) {
    const std::string scratch = path + kScratchSuffix;
    std::error_code ignored;
    try {
        Stream stream(scratch, Stream::kWriteTruncate);
        stream << text;
        stream.close();
        if (stream.fail()) {
            std::filesystem::remove(scratch, ignored);
            return SettingsFault{scratch, "the new settings could not be written"};
        }
    } catch (const std::exception& error) {
        return SettingsFault{scratch, error.what()};
    }
    std::error_code error;
    std::filesystem::rename(scratch, path, error);
    if (error) {
        std::filesystem::remove(scratch, ignored);
        return SettingsFault{path, error.message()};
    }
    return std::nullopt;
}
}  // namespace

std::string RouterPath() {
    return DataDirectory + kSettingsFolder + kRouterFileName;
}

std::optional<std::string> SettingsNameFault(const std::string& name) {
    const char* why = nullptr;
    if (name.empty()) {
        why = "it is empty";
    } else if (name == "." || name == "..") {
        why = "it names a folder";
    } else if (name.find_first_of(kPathSeparators) != std::string::npos) {
        why = "it holds a path separator";
    } else if (name.find('\0') != std::string::npos) {
        why = "it holds a NUL character";
    } else {
        return std::nullopt;
    }
    return Quoted(name) + " is not a file name inside " + kSettingsFolder + ": " + why;
}

std::string SettingsPath(const std::string& name) {
    return DataDirectory + kSettingsFolder + name;
}

nlohmann::json DefaultSettingsJson() {
    return {{kDefaultEntityFileKey, ""}, {kRunOnStartKey, "0"}};
}

namespace {
// Reads the settings the router names; on a fault the record gets the defaults, or, when
// `keepOnFault`, stays as it was.
bool ReadEngineSettings(bool keepOnFault) {
    EngineSettings::routerPath = RouterPath();
    std::string name;
    StartSettings loaded;
    std::optional<SettingsFault> fault = ReadActiveName(name);
    if (!fault) {
        const std::string path = SettingsPath(name);
        std::error_code ignored;
        const bool existed = std::filesystem::exists(path, ignored);
        fault = ReadStartSettings(path, loaded);
        // The router may be what is wrong (a name cut short, a typing error): say so.
        if (fault && !existed) {
            fault->reason += " (it did not exist; " + Quoted(RouterPath()) + " names it)";
        }
    }
    if (fault && keepOnFault) {
        TraceLog::Error("LoadEngineSettings - the settings are kept as they were: " +
                        Describe(*fault));
        return false;
    }
    if (fault) {
        TraceLog::Error(kLoadErrorPrefix + Describe(*fault));
        loaded = StartSettings{};
    } else {
        for (const SettingsFault& optional : ReadOptionalSettings(SettingsPath(name), loaded)) {
            TraceLog::Error("LoadEngineSettings - " + Describe(optional));
        }
    }
    EngineSettings::runOnStart = loaded.runOnStart;
    EngineSettings::defaultEntityFile = loaded.defaultEntityFile;
    EngineSettings::ticksPerSecond = loaded.ticksPerSecond;
    EngineSettings::showTools = loaded.showTools;
    return !fault;
}
}  // namespace

void LoadEngineSettings() {
    ReadEngineSettings(false);
}

bool ReloadEngineSettings() {
    return ReadEngineSettings(true);
}

void SaveSettings(const nlohmann::json& settings) {
    std::string name;
    if (const std::optional<SettingsFault> fault = ReadActiveName(name)) {
        TraceLog::Error(kSaveErrorPrefix + Describe(*fault));
        return;
    }
    const std::string path = SettingsPath(name);
    std::string text;
    try {
        text = settings.dump(kSettingsIndent);
    } catch (const nlohmann::json::exception& error) {
        TraceLog::Error(kSaveErrorPrefix + Describe({path, error.what()}));
        return;
    }
    if (const std::optional<SettingsFault> fault = ReplaceFile(path, text)) {
        TraceLog::Error(kSaveErrorPrefix + Describe(*fault));
    }
}
