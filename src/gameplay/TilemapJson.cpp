#include "gameplay/TilemapJson.h"

#include <limits>

namespace {
// Text longer than this (a whole layer in base64) is shown only in part.
constexpr std::size_t kShownText = 40;
}  // namespace

std::string TilemapJson::Describe(const nlohmann::json& value) {
    if (value.is_string() && value.get_ref<const std::string&>().size() > kShownText) {
        const std::string& text = value.get_ref<const std::string&>();
        return nlohmann::json(text.substr(0, kShownText)).dump() + "... (" +
               std::to_string(text.size()) + " characters)";
    }
    return value.is_structured() ? std::string(value.type_name()) : value.dump();
}

std::string TilemapJson::Element(const std::string& where, std::size_t index) {
    return where + "[" + std::to_string(index) + "]";
}

std::string TilemapJson::MemberPath(const std::string& where, std::string_view key) {
    return where.empty() ? std::string(key) : where + "." + std::string(key);
}

const nlohmann::json& TilemapJson::Member(const nlohmann::json& object, std::string_view key,
                                          const std::string& where) {
    if (!object.is_object()) {
        throw TilemapFileError((where.empty() ? "the file" : where) + " is not an object but " +
                               Describe(object));
    }
    const auto found = object.find(key);
    if (found == object.end()) {
        throw TilemapFileError("missing key \"" + MemberPath(where, key) + "\"");
    }
    return *found;
}

const nlohmann::json& TilemapJson::ArrayMember(const nlohmann::json& object, std::string_view key,
                                               const std::string& where) {
    const nlohmann::json& member = Member(object, key, where);
    if (!member.is_array()) {
        throw TilemapFileError(MemberPath(where, key) + " is not an array but " + Describe(member));
    }
    return member;
}

std::int32_t TilemapJson::Integer(const nlohmann::json& value, const std::string& what) {
    if (value.is_number_unsigned()) {
        const auto number = value.get<std::uint64_t>();
        if (number <= static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())) {
            return static_cast<std::int32_t>(number);
        }
    } else if (value.is_number_integer()) {
        const auto number = value.get<std::int64_t>();
        if (number >= std::numeric_limits<std::int32_t>::min() &&
            number <= std::numeric_limits<std::int32_t>::max()) {
            return static_cast<std::int32_t>(number);
        }
    }
    throw TilemapFileError(what + " is not a 32-bit integer: " + Describe(value));
}

std::int32_t TilemapJson::IntegerMember(const nlohmann::json& object, std::string_view key,
                                        const std::string& where) {
    return Integer(Member(object, key, where), MemberPath(where, key));
}

std::int32_t TilemapJson::BoundedMember(const nlohmann::json& object, std::string_view key,
                                        const std::string& where, std::int32_t minimum,
                                        std::int32_t maximum) {
    const std::int32_t number = IntegerMember(object, key, where);
    if (number < minimum || number > maximum) {
        throw TilemapFileError("\"" + MemberPath(where, key) + "\" is " + std::to_string(number) +
                               ", outside " + std::to_string(minimum) + ".." +
                               std::to_string(maximum));
    }
    return number;
}

std::int32_t TilemapJson::BoundedMember(const nlohmann::json& object, std::string_view key,
                                        const std::string& where, std::int32_t minimum,
                                        std::int32_t maximum, std::int32_t fallback) {
    if (object.is_object() && !object.contains(key)) {
        return fallback;
    }
    return BoundedMember(object, key, where, minimum, maximum);
}

std::string TilemapJson::StringMember(const nlohmann::json& object, std::string_view key,
                                      const std::string& where) {
    const nlohmann::json& member = Member(object, key, where);
    if (!member.is_string()) {
        throw TilemapFileError(MemberPath(where, key) + " is not a string but " + Describe(member));
    }
    return member.get<std::string>();
}

std::string TilemapJson::StringMember(const nlohmann::json& object, std::string_view key,
                                      const std::string& where, const std::string& fallback) {
    if (object.is_object() && !object.contains(key)) {
        return fallback;
    }
    return StringMember(object, key, where);
}
