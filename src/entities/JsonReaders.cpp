#include "entities/JsonReaders.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>
#include <limits>
#include <stdexcept>

#include "engine/TraceLog.h"

namespace {
constexpr const char* kMissingKeyWarning = "Json key does not exist. Tried to deserialize key ";
}  // namespace

const nlohmann::json& GetJsonPath(const nlohmann::json& value,
                                  std::initializer_list<std::string_view> keys) {
    static const nlohmann::json missing = kMissingJsonValue;
    const nlohmann::json* current = &value;
    for (std::string_view key : keys) {
        if (!current->is_object()) {
            TraceLog::Warning(kMissingKeyWarning + std::string(key));
            return missing;
        }
        const auto found = current->find(key);
        if (found == current->end()) {
            TraceLog::Warning(kMissingKeyWarning + std::string(key));
            return missing;
        }
        current = &*found;
    }
    return *current;
}

bool IsMissingJsonValue(const nlohmann::json& value) {
    return value.is_string() && value.get_ref<const std::string&>() == kMissingJsonValue;
}

void ReadJsonFloat(const nlohmann::json& object, std::string_view key, float& destination) {
    const nlohmann::json& found = GetJsonPath(object, {key});
    if (!IsMissingJsonValue(found)) {
        destination = JsonToFloat(found);
    }
}

void ReadJsonVector2(const nlohmann::json& object, std::string_view key, Vector2& destination) {
    const nlohmann::json& found = GetJsonPath(object, {key});
    if (!IsMissingJsonValue(found)) {
        // Both members must be there once the key is: a half vector is a data error.
        const float x = JsonToFloat(found.at("x"));
        const float y = JsonToFloat(found.at("y"));
        destination = {x, y};
    }
}

void ReadJsonString(const nlohmann::json& object, std::string_view key, std::string& destination) {
    const nlohmann::json& found = GetJsonPath(object, {key});
    if (!IsMissingJsonValue(found)) {
        destination = found.get<std::string>();
    }
}

void ReadJsonInt(const nlohmann::json& object, std::string_view key, int& destination) {
    const nlohmann::json& found = GetJsonPath(object, {key});
    if (!IsMissingJsonValue(found)) {
        destination = JsonToInt(found);
    }
}

void ReadJsonBool(const nlohmann::json& object, std::string_view key, bool& destination) {
    const nlohmann::json& found = GetJsonPath(object, {key});
    if (!IsMissingJsonValue(found)) {
        destination = found.get<bool>();
    }
}

void ReadJsonFlag(const nlohmann::json& object, std::string_view key, bool& destination) {
    const nlohmann::json& found = GetJsonPath(object, {key});
    if (!IsMissingJsonValue(found)) {
        destination = found.is_boolean() ? found.get<bool>() : JsonToDouble(found) != 0.0;
    }
}

void ReadJsonDouble(const nlohmann::json& object, std::string_view key, double& destination) {
    const nlohmann::json& found = GetJsonPath(object, {key});
    if (!IsMissingJsonValue(found)) {
        destination = JsonToDouble(found);
    }
}

void ReadJsonUnsigned(const nlohmann::json& object, std::string_view key,
                      std::uint32_t& destination) {
    const nlohmann::json& found = GetJsonPath(object, {key});
    if (!IsMissingJsonValue(found)) {
        destination = JsonToUnsigned(found);
    }
}

nlohmann::json Vector2ToJson(Vector2 vector) {
    return nlohmann::json{{"x", vector.x}, {"y", vector.y}};
}

float JsonToFloat(const nlohmann::json& value) {
    const double number = value.get<double>();
    if (!(std::abs(number) <= std::numeric_limits<float>::max())) {
        throw std::out_of_range("number " + value.dump() + " does not fit a float");
    }
    return static_cast<float>(number);
}

int JsonToInt(const nlohmann::json& value) {
    constexpr int kLowest = std::numeric_limits<int>::min();
    constexpr int kHighest = std::numeric_limits<int>::max();
    if (value.is_number_unsigned()) {
        const auto number = value.get<std::uint64_t>();
        if (number <= static_cast<std::uint64_t>(kHighest)) {
            return static_cast<int>(number);
        }
    } else if (value.is_number_integer()) {
        const auto number = value.get<std::int64_t>();
        if (number >= kLowest && number <= kHighest) {
            return static_cast<int>(number);
        }
    } else {
        // Throws the JSON library's type error for anything that is not a number.
        const double number = value.get<double>();
        if (number >= kLowest && number <= kHighest) {
            return static_cast<int>(number);
        }
    }
    throw std::out_of_range("number " + value.dump() + " does not fit an integer");
}

double JsonToDouble(const nlohmann::json& value) {
    const double number = value.get<double>();
    if (!std::isfinite(number)) {
        throw std::out_of_range("number " + value.dump() + " is not finite");
    }
    return number;
}

std::uint32_t JsonToUnsigned(const nlohmann::json& value) {
    constexpr double kHighest = std::numeric_limits<std::uint32_t>::max();
    if (value.is_number_unsigned()) {
        const auto number = value.get<std::uint64_t>();
        if (number <= std::numeric_limits<std::uint32_t>::max()) {
            return static_cast<std::uint32_t>(number);
        }
    } else {
        const double number = value.get<double>();
        if (number > -1.0 && number <= kHighest) {
            return static_cast<std::uint32_t>(number);
        }
    }
    throw std::out_of_range("number " + value.dump() + " does not fit an unsigned integer");
}

std::size_t JsonNestingDepth(const nlohmann::json& root) {
    std::size_t deepest = 0;
    // Only containers are queued: a plain member counts for its depth where it is met.
    std::vector<std::pair<const nlohmann::json*, std::size_t>> pending{{&root, 1}};
    while (!pending.empty()) {
        const auto [value, depth] = pending.back();
        pending.pop_back();
        deepest = std::max(deepest, depth);
        if (value->is_structured() && depth <= kMaxJsonNestingDepth) {
            for (const nlohmann::json& member : *value) {
                if (member.is_structured()) {
                    pending.emplace_back(&member, depth + 1);
                } else {
                    deepest = std::max(deepest, depth + 1);
                }
            }
        }
    }
    return deepest;
}
