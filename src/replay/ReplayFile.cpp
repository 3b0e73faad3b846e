#include "replay/ReplayFile.h"

#include <cmath>
#include <fstream>
#include <stdexcept>

#include <nlohmann/json.hpp>

#include "engine/EnumNames.h"

namespace {
constexpr int kFormatVersion = 1;
constexpr const char* kInputPrefix = "InputType::";
// Far more lines than any session holds; a bigger file is not a recording.
constexpr std::size_t kMostLines = 50'000'000;

// A fault of one line, with the reason.
struct LineFault : std::runtime_error {
    using std::runtime_error::runtime_error;
};

const nlohmann::json& Member(const nlohmann::json& line, const char* key) {
    const auto found = line.find(key);
    if (found == line.end()) {
        throw LineFault(std::string("\"") + key + "\" is missing");
    }
    return *found;
}

std::uint64_t Count(const nlohmann::json& line, const char* key) {
    const nlohmann::json& value = Member(line, key);
    if (!value.is_number_unsigned()) {
        throw LineFault(std::string("\"") + key + "\" is not a whole number of 0 or more");
    }
    return value.get<std::uint64_t>();
}

double Number(const nlohmann::json& value, const char* what) {
    if (!value.is_number() || !std::isfinite(value.get<double>())) {
        throw LineFault(std::string(what) + " is not a finite number");
    }
    return value.get<double>();
}

ReplayStart ReadStart(const nlohmann::json& line) {
    if (!line.is_object() || !line.contains("replay")) {
        throw LineFault("the first line is not a recording's start line");
    }
    if (Member(line, "replay") != kFormatVersion) {
        throw LineFault("the recording's format " + Member(line, "replay").dump() +
                        " is not 1");
    }
    ReplayStart start;
    start.ticksPerSecond = Number(Member(line, "ticksPerSecond"), "\"ticksPerSecond\"");
    if (!(start.ticksPerSecond >= 10.0 && start.ticksPerSecond <= 1000.0)) {
        throw LineFault("\"ticksPerSecond\" is not from 10 to 1000");
    }
    start.seed = Count(line, "seed");
    const nlohmann::json& scene = Member(line, "startScene");
    const nlohmann::json& run = Member(line, "runOnStart");
    if (!scene.is_string() || !run.is_boolean()) {
        throw LineFault("\"startScene\" is not a string or \"runOnStart\" not a boolean");
    }
    start.startScene = scene.get<std::string>();
    start.runOnStart = run.get<bool>();
    start.digestEvery = Count(line, "digestEvery");
    if (start.digestEvery == 0) {
        throw LineFault("\"digestEvery\" is 0");
    }
    return start;
}

ReplayEvent ReadEvent(const nlohmann::json& line) {
    ReplayEvent event;
    event.tick = Count(line, "tick");
    if (line.contains("input")) {
        const nlohmann::json& name = Member(line, "input");
        const nlohmann::json& pressed = Member(line, "pressed");
        if (!name.is_string() || !pressed.is_boolean()) {
            throw LineFault("\"input\" is not a string or \"pressed\" not a boolean");
        }
        try {
            event.input = EnumValue<InputType>(kInputPrefix + name.get<std::string>());
        } catch (const std::out_of_range&) {
            throw LineFault("\"" + name.get<std::string>() + "\" names no input");
        }
        event.kind = ReplayEvent::Kind::kInput;
        event.pressed = pressed.get<bool>();
    } else if (line.contains("pointer")) {
        const nlohmann::json& point = Member(line, "pointer");
        if (!point.is_array() || point.size() != 2) {
            throw LineFault("\"pointer\" is not a pair of numbers");
        }
        event.kind = ReplayEvent::Kind::kPointer;
        event.pointer = {static_cast<float>(Number(point[0], "the pointer's x")),
                         static_cast<float>(Number(point[1], "the pointer's y"))};
    } else if (line.contains("scene") || line.contains("digest")) {
        const bool scene = line.contains("scene");
        const nlohmann::json& text = Member(line, scene ? "scene" : "digest");
        if (!text.is_string()) {
            throw LineFault(std::string("\"") + (scene ? "scene" : "digest") +
                            "\" is not a string");
        }
        event.kind = scene ? ReplayEvent::Kind::kScene : ReplayEvent::Kind::kDigest;
        event.text = text.get<std::string>();
    } else {
        throw LineFault("the line is no event of a recording");
    }
    return event;
}
}  // namespace

std::optional<ReplayRecording> ReadReplayFile(const std::string& path, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + ": the file cannot be opened";
        return std::nullopt;
    }
    ReplayRecording recording;
    std::string text;
    std::size_t number = 0;
    bool ended = false;
    try {
        while (std::getline(in, text)) {
            ++number;
            if (number > kMostLines) {
                throw LineFault("the file holds more lines than a recording can");
            }
            if (ended) {
                throw LineFault("a line follows the end line");
            }
            const nlohmann::json line = nlohmann::json::parse(text, nullptr, false);
            if (line.is_discarded() || !line.is_object()) {
                throw LineFault("the line is not a JSON object");
            }
            if (number == 1) {
                recording.start = ReadStart(line);
            } else if (line.contains("end")) {
                recording.endTick = Count(line, "end");
                if (!recording.events.empty() && recording.events.back().tick > recording.endTick) {
                    throw LineFault("the end comes before the last event");
                }
                ended = true;
            } else {
                ReplayEvent event = ReadEvent(line);
                if (!recording.events.empty() && event.tick < recording.events.back().tick) {
                    throw LineFault("its tick comes before the previous line's");
                }
                recording.events.push_back(std::move(event));
            }
        }
    } catch (const LineFault& fault) {
        error = path + " line " + std::to_string(number) + ": " + fault.what();
        return std::nullopt;
    }
    if (number == 0) {
        error = path + ": the file is empty";
        return std::nullopt;
    }
    if (!ended) {
        error = path + ": the recording has no end line (cut short, or its run did not end)";
        return std::nullopt;
    }
    return recording;
}

void ReplayWriter::Start(const ReplayStart& start) {
    out << nlohmann::json{{"replay", kFormatVersion},
                          {"ticksPerSecond", start.ticksPerSecond},
                          {"seed", start.seed},
                          {"startScene", start.startScene},
                          {"runOnStart", start.runOnStart},
                          {"digestEvery", start.digestEvery}}
                .dump()
        << '\n';
}

void ReplayWriter::Event(const ReplayEvent& event) {
    nlohmann::json line{{"tick", event.tick}};
    switch (event.kind) {
        case ReplayEvent::Kind::kInput:
            line["input"] = EnumName(event.input).substr(std::string(kInputPrefix).size());
            line["pressed"] = event.pressed;
            break;
        case ReplayEvent::Kind::kPointer:
            line["pointer"] = {event.pointer.x, event.pointer.y};
            break;
        case ReplayEvent::Kind::kScene:
            line["scene"] = event.text;
            break;
        case ReplayEvent::Kind::kDigest:
            line["digest"] = event.text;
            break;
    }
    out << line.dump() << '\n';
}

void ReplayWriter::End(std::uint64_t lastTick) {
    out << nlohmann::json{{"end", lastTick}}.dump() << '\n';
    out.flush();
}
