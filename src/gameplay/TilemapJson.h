#pragma once
// Checked reads of a tile-map file's JSON values. Each names the value it reads by its path in
// the file ("layers[1].data", "tilesets[0].tiles[3].id") and throws a TilemapFileError that says
// where and what when the value is missing or of the wrong kind.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "gameplay/TilemapFileError.h"

class TilemapJson {
public:
    // A value as a problem report shows it: containers by their type and long text cut short,
    // so that a report never carries a whole layer.
    static std::string Describe(const nlohmann::json& value);
    static std::string Element(const std::string& where, std::size_t index);
    static std::string MemberPath(const std::string& where, std::string_view key);

    static const nlohmann::json& Member(const nlohmann::json& object, std::string_view key,
                                        const std::string& where);
    static const nlohmann::json& ArrayMember(const nlohmann::json& object, std::string_view key,
                                             const std::string& where);
    // Whole numbers only: ids and sizes are integers in every tile-map file.
    static std::int32_t Integer(const nlohmann::json& value, const std::string& what);
    static std::int32_t IntegerMember(const nlohmann::json& object, std::string_view key,
                                      const std::string& where);
    // An integer member within minimum..maximum.
    static std::int32_t BoundedMember(const nlohmann::json& object, std::string_view key,
                                      const std::string& where, std::int32_t minimum,
                                      std::int32_t maximum);
    // The same, or `fallback` when the member is absent.
    static std::int32_t BoundedMember(const nlohmann::json& object, std::string_view key,
                                      const std::string& where, std::int32_t minimum,
                                      std::int32_t maximum, std::int32_t fallback);
    static std::string StringMember(const nlohmann::json& object, std::string_view key,
                                    const std::string& where);
    // The same, or `fallback` when the member is absent.
    static std::string StringMember(const nlohmann::json& object, std::string_view key,
                                    const std::string& where, const std::string& fallback);
};
