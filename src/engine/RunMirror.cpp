#include "engine/RunMirror.h"

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <algorithm>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>
#include <system_error>
#include <utility>

#include <nlohmann/json.hpp>

#include "SharedDependencies/Source/FileHandler.h"

namespace fs = std::filesystem;

namespace {
constexpr const char* kCheckoutKey = "checkout";
constexpr const char* kEndedKey = "ended";
constexpr const char* kFilesKey = "files";
constexpr const char* kBesideInfix = ".run-";

constexpr std::uint64_t kFnvOffset = 14695981039346656037ULL;
constexpr std::uint64_t kFnvPrime = 1099511628211ULL;

std::string Describe(const std::exception& error) {
    return error.what();
}

// Writes `content` to `target`, creating its folders; a failure is reported, not raised.
bool Write(const std::string& target, const std::string& content, RunMirror::Report& report) {
    try {
        FileHandler::CreateFolders(fs::path(target).parent_path().string());
        FileHandler::ReplaceFile(target, content);
        return true;
    } catch (const std::exception& error) {
        report.failed.push_back(target + ": " + Describe(error));
        return false;
    }
}

bool Remove(const std::string& target, RunMirror::Report& report) {
    std::error_code error;
    fs::remove(target, error);
    if (error) {
        report.failed.push_back(target + ": " + error.message());
        return false;
    }
    return true;
}

std::string NowStamp() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return text;
}

// The whole file, or nothing when it is not a regular file that can be read.
std::optional<std::string> ReadWhole(const std::string& path) {
    std::error_code error;
    if (!fs::is_regular_file(path, error)) {
        return std::nullopt;
    }
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    if (!file) {
        return std::nullopt;
    }
    return text.str();
}

std::string Join(const std::string& folder, const std::string& relative) {
    return folder + "/" + relative;
}
}  // namespace

RunMirror::RunMirror(std::string working, std::string perUser, std::string stateFile,
                     std::vector<std::string> extensions, std::vector<std::string> runOutputs)
    : working(std::move(working)),
      perUser(std::move(perUser)),
      stateFile(std::move(stateFile)),
      extensions(std::move(extensions)),
      runOutputs(std::move(runOutputs)) {
    std::error_code error;
    const fs::path absolute = fs::absolute(this->working, error);
    checkout = (error ? fs::path(this->working) : absolute).lexically_normal().string();
    while (checkout.size() > 1 && checkout.back() == '/') {
        checkout.pop_back();
    }
}

std::string RunMirror::Fingerprint(const std::string& content) {
    std::uint64_t hash = kFnvOffset;
    for (const char byte : content) {
        hash ^= static_cast<unsigned char>(byte);
        hash *= kFnvPrime;
    }
    std::ostringstream text;
    text << content.size() << ':' << std::hex << hash;
    return text.str();
}

RunMirror::Folders RunMirror::Prepare(const std::string& written, Report& report) {
    stamp = NowStamp();
    FileHandler::CreateFolders(working);
    FileHandler::CreateFolders(perUser);
    FileHandler::RemoveScratchFiles(written, extensions);
    return {ReadFolder(working, report), ReadFolder(perUser, report)};
}

RunMirror::Report RunMirror::Start() {
    Report report;
    const auto [workingFiles, perUserFiles] = Prepare(perUser, report);
    const State state = ReadState();
    const bool sameCheckout = state.known && state.checkout == checkout;

    std::set<std::string> names;
    for (const auto& [name, content] : workingFiles) {
        names.insert(name);
    }
    for (const auto& [name, content] : perUserFiles) {
        names.insert(name);
    }
    for (const std::string& name : names) {
        const auto inWorking = workingFiles.find(name);
        const auto inPerUser = perUserFiles.find(name);
        const std::string* workingContent =
            inWorking != workingFiles.end() ? &inWorking->second : nullptr;
        const std::string* copy = inPerUser != perUserFiles.end() ? &inPerUser->second : nullptr;
        if (workingContent != nullptr && copy != nullptr && *workingContent == *copy) {
            continue;
        }
        const std::string copyPath = Join(perUser, name);
        const std::string workingPath = Join(working, name);

        // Whether the copy holds edits that never went back: after a normal end there are none;
        // otherwise a copy that differs from what its run started from (or that run made) does.
        bool unsaved = false;
        if (copy != nullptr && !IsRunOutput(name) && !(state.known && state.ended)) {
            const auto recorded = state.files.find(name);
            unsaved = recorded == state.files.end() || recorded->second != Fingerprint(*copy);
        }
        if (!unsaved) {
            if (workingContent != nullptr) {
                Write(copyPath, *workingContent, report);
            } else if (!IsRunOutput(name)) {
                // Gone from the working tree: the copy would bring it back at the exit.
                Remove(copyPath, report);
            }
            continue;
        }
        if (!sameCheckout) {
            const std::string aside = BesideName(copyPath);
            std::error_code error;
            fs::rename(copyPath, aside, error);
            if (error) {
                report.failed.push_back(copyPath + ": " + error.message());
                continue;
            }
            report.warnings.push_back(
                "moved " + copyPath + " aside to " + aside + ": it holds edits of a run of " +
                (state.known ? "another checkout (" + state.checkout + ")" : "an unknown checkout") +
                " that did not end normally, which are not carried into this one");
            if (workingContent != nullptr) {
                Write(copyPath, *workingContent, report);
            }
            continue;
        }
        const auto recorded = state.files.find(name);
        const bool workingAsBefore =
            workingContent != nullptr
                ? recorded != state.files.end() && recorded->second == Fingerprint(*workingContent)
                : recorded == state.files.end();
        if (workingAsBefore) {
            report.warnings.push_back("kept " + copyPath +
                                      ": it holds edits of a run that did not end normally");
            continue;
        }
        const std::string beside = BesideName(workingPath);
        if (!Write(beside, *copy, report)) {
            continue;
        }
        report.warnings.push_back(
            workingPath + " changed in the working tree after a run that did not end normally " +
            "had edited it: the working tree's version is used and the run's is saved as " +
            beside);
        if (workingContent != nullptr) {
            Write(copyPath, *workingContent, report);
        } else {
            Remove(copyPath, report);
        }
    }

    startedFrom.clear();
    for (const auto& [name, content] : workingFiles) {
        startedFrom[name] = Fingerprint(content);
    }
    WriteState(false, startedFrom, report);
    return report;
}

RunMirror::Report RunMirror::Finish() {
    Report report;
    const auto [workingFiles, perUserFiles] = Prepare(working, report);

    // What the next start takes the copy to have started from: the copy itself where it has
    // been dealt with, so it does not count as unsaved again.
    auto settled = startedFrom;
    for (const auto& [name, copy] : perUserFiles) {
        const auto inWorking = workingFiles.find(name);
        const std::string* workingContent =
            inWorking != workingFiles.end() ? &inWorking->second : nullptr;
        if (workingContent != nullptr && *workingContent == copy) {
            settled[name] = Fingerprint(copy);
            continue;
        }
        const std::string workingPath = Join(working, name);
        if (IsRunOutput(name)) {
            if (Write(workingPath, copy, report)) {
                settled[name] = Fingerprint(copy);
            }
            continue;
        }
        const auto before = startedFrom.find(name);
        const bool runChanged = before == startedFrom.end() || before->second != Fingerprint(copy);
        if (!runChanged) {
            // The working tree's version (edited or deleted during the run) stands.
            continue;
        }
        const bool workingChanged = before != startedFrom.end()
                                        ? workingContent == nullptr ||
                                              Fingerprint(*workingContent) != before->second
                                        : workingContent != nullptr;
        if (!workingChanged) {
            if (Write(workingPath, copy, report)) {
                settled[name] = Fingerprint(copy);
            }
            continue;
        }
        const std::string beside = BesideName(workingPath);
        if (Write(beside, copy, report)) {
            settled[name] = Fingerprint(copy);
            report.warnings.push_back(
                workingPath + (workingContent != nullptr ? " changed" : " was deleted") +
                " in the working tree during the run, which edited it too: the working tree's " +
                "version stands and the run's is saved as " + beside);
        }
    }
    WriteState(report.failed.empty(), settled, report);
    return report;
}

RunMirror::Report RunMirror::Take(const std::string& workingPath, bool& covered) {
    Report report;
    const fs::path relative = fs::path(workingPath).lexically_relative(working);
    const std::string name = relative.generic_string();
    covered = !relative.empty() && *relative.begin() != ".." && *relative.begin() != "." &&
              std::find(extensions.begin(), extensions.end(), relative.extension().string()) !=
                  extensions.end() &&
              !IsRunOutput(name);
    if (!covered) {
        return report;
    }
    const auto content = ReadWhole(workingPath);
    if (!content) {
        // Deleted or unreadable: the copy stays, and the exit deals with the deletion.
        return report;
    }
    stamp = NowStamp();
    const std::string copyPath = Join(perUser, name);
    const auto copy = ReadWhole(copyPath);
    if (copy && *copy != *content) {
        const auto before = startedFrom.find(name);
        if (before == startedFrom.end() || before->second != Fingerprint(*copy)) {
            const std::string beside = BesideName(Join(working, name));
            if (!Write(beside, *copy, report)) {
                return report;
            }
            report.warnings.push_back(Join(working, name) +
                                      " changed in the working tree while the run had unsaved " +
                                      "changes of it: the run takes the working tree's version " +
                                      "and its own is saved as " + beside);
        }
    }
    if (!copy || *copy != *content) {
        if (!Write(copyPath, *content, report)) {
            return report;
        }
        report.copied = true;
    }
    startedFrom[name] = Fingerprint(*content);
    return report;
}

std::vector<RunMirror*>& RunMirror::Running() {
    static std::vector<RunMirror*> running;
    return running;
}

std::unordered_map<std::string, std::string> RunMirror::ReadFolder(const std::string& folder,
                                                                   Report& report) const {
    std::unordered_map<std::string, std::string> byPath;
    FileHandler::ReadDirectory(byPath, folder, extensions, &report.skipped);
    std::unordered_map<std::string, std::string> byName;
    for (auto& [path, content] : byPath) {
        byName[fs::path(path).lexically_relative(folder).generic_string()] = std::move(content);
    }
    return byName;
}

RunMirror::State RunMirror::ReadState() const {
    State state;
    std::ifstream file(stateFile, std::ios::binary);
    if (!file) {
        return state;
    }
    std::stringstream text;
    text << file.rdbuf();
    const nlohmann::json data = nlohmann::json::parse(text.str(), nullptr, false);
    if (!data.is_object() || !data.contains(kCheckoutKey) || !data[kCheckoutKey].is_string() ||
        !data.contains(kEndedKey) || !data[kEndedKey].is_boolean() || !data.contains(kFilesKey) ||
        !data[kFilesKey].is_object()) {
        // Unreadable: the copy's origin is unknown, and its differing files are moved aside.
        return state;
    }
    for (const auto& [name, fingerprint] : data[kFilesKey].items()) {
        if (fingerprint.is_string()) {
            state.files[name] = fingerprint.get<std::string>();
        }
    }
    state.checkout = data[kCheckoutKey].get<std::string>();
    state.ended = data[kEndedKey].get<bool>();
    state.known = true;
    return state;
}

void RunMirror::WriteState(bool ended,
                           const std::unordered_map<std::string, std::string>& files,
                           Report& report) const {
    nlohmann::json data;
    data[kCheckoutKey] = checkout;
    data[kEndedKey] = ended;
    data[kFilesKey] = nlohmann::json::object();
    for (const auto& [name, fingerprint] : files) {
        data[kFilesKey][name] = fingerprint;
    }
    Write(stateFile,
          data.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n", report);
}

std::string RunMirror::BesideName(const std::string& path) const {
    const std::string base = path + kBesideInfix + stamp;
    std::string candidate = base;
    for (int next = 2; fs::exists(candidate); ++next) {
        candidate = base + "-" + std::to_string(next);
    }
    return candidate;
}

bool RunMirror::IsRunOutput(const std::string& relative) const {
    for (const std::string& output : runOutputs) {
        if (output == relative) {
            return true;
        }
    }
    return false;
}
