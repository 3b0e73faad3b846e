#include "entities/JsonReaders.h"

#include "engine/TraceLog.h"

namespace {
constexpr const char* kMissingKeyWarning = "Json key does not exist. Tried to deserialize key ";
}  // namespace

nlohmann::json GetJsonPath(const nlohmann::json& value,
                           std::initializer_list<std::string_view> keys) {
    const nlohmann::json* current = &value;
    for (std::string_view key : keys) {
        if (!current->is_object()) {
            TraceLog::Warning(kMissingKeyWarning + std::string(key));
            return kMissingJsonValue;
        }
        const auto found = current->find(key);
        if (found == current->end()) {
            TraceLog::Warning(kMissingKeyWarning + std::string(key));
            return kMissingJsonValue;
        }
        current = &*found;
    }
    return *current;
}

bool IsMissingJsonValue(const nlohmann::json& value) {
    return value.is_string() && value.get_ref<const std::string&>() == kMissingJsonValue;
}

void ReadJsonFloat(const nlohmann::json& object, std::string_view key, float& destination) {
    const nlohmann::json found = GetJsonPath(object, {key});
    if (!IsMissingJsonValue(found)) {
        destination = found.get<float>();
    }
}

void ReadJsonVector2(const nlohmann::json& object, std::string_view key, Vector2& destination) {
    const nlohmann::json found = GetJsonPath(object, {key});
    if (!IsMissingJsonValue(found)) {
        // Both members must be there once the key is: a half vector is a data error.
        const float x = found.at("x").get<float>();
        const float y = found.at("y").get<float>();
        destination = {x, y};
    }
}

void ReadJsonString(const nlohmann::json& object, std::string_view key, std::string& destination) {
    const nlohmann::json found = GetJsonPath(object, {key});
    if (!IsMissingJsonValue(found)) {
        destination = found.get<std::string>();
    }
}

void ReadJsonInt(const nlohmann::json& object, std::string_view key, int& destination) {
    const nlohmann::json found = GetJsonPath(object, {key});
    if (!IsMissingJsonValue(found)) {
        destination = found.get<int>();
    }
}

void ReadJsonBool(const nlohmann::json& object, std::string_view key, bool& destination) {
    const nlohmann::json found = GetJsonPath(object, {key});
    if (!IsMissingJsonValue(found)) {
        destination = found.get<bool>();
    }
}

nlohmann::json Vector2ToJson(Vector2 vector) {
    return nlohmann::json{{"x", vector.x}, {"y", vector.y}};
}
