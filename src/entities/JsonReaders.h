#pragma once
// Tolerant readers for entity and component data. A missing key is never an error: it writes one
// trace warning naming the key, and the destination keeps its default. A present value of the
// wrong shape still throws the JSON library's error, which the entity reader catches.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "engine/Vector2.h"

// Stands in for a value that is not there. A real string with this text is read as absent too.
inline constexpr const char* kMissingJsonValue = "Horriblerror";

// Follows `keys` one level at a time and returns the value found, or the string
// kMissingJsonValue (after a trace warning naming the first key that is missing). The result
// refers into `value` (or to a shared constant), so it lives as long as `value` does; callers
// that keep it longer take a copy.
const nlohmann::json& GetJsonPath(const nlohmann::json& value,
                                  std::initializer_list<std::string_view> keys);

bool IsMissingJsonValue(const nlohmann::json& value);

// The one limit on nesting for JSON the engine reads, from files and from the editor's boxes.
// Far deeper than any scene needs (each entity level is one object level, its component data a
// few more), and shallow enough that reading, freeing, showing and reporting a value, which all
// recurse once per level, stay well inside the stack.
inline constexpr std::size_t kMaxJsonNestingDepth = 256;

// How many levels `root` nests (a plain value is 1), measured without recursion, since the parser
// itself does not recurse and hands over values nested many thousands of levels deep. Counting
// stops a level past kMaxJsonNestingDepth.
std::size_t JsonNestingDepth(const nlohmann::json& root);

// Each leaves `destination` unchanged when `key` is absent from `object`.
void ReadJsonFloat(const nlohmann::json& object, std::string_view key, float& destination);
void ReadJsonVector2(const nlohmann::json& object, std::string_view key, Vector2& destination);
void ReadJsonString(const nlohmann::json& object, std::string_view key, std::string& destination);
void ReadJsonInt(const nlohmann::json& object, std::string_view key, int& destination);
void ReadJsonBool(const nlohmann::json& object, std::string_view key, bool& destination);
// A boolean, or a number that is true when non-zero.
void ReadJsonFlag(const nlohmann::json& object, std::string_view key, bool& destination);
void ReadJsonDouble(const nlohmann::json& object, std::string_view key, double& destination);
void ReadJsonUnsigned(const nlohmann::json& object, std::string_view key,
                      std::uint32_t& destination);

nlohmann::json Vector2ToJson(Vector2 vector);

// Numbers as the engine stores them. A number that a float (or an int) cannot hold throws
// std::out_of_range, and a value that is not a number throws the JSON library's type error, so an
// oversized value in a file is a malformed value like any other and never becomes an infinity
// (or an undefined conversion) in a transform.
float JsonToFloat(const nlohmann::json& value);
int JsonToInt(const nlohmann::json& value);
// A finite number (out_of_range for an infinity or NaN that a lenient parser let through).
double JsonToDouble(const nlohmann::json& value);
// A whole or fractional number within 0 .. 2^32 - 1 (fractions truncate); anything else throws
// std::out_of_range, so a negative amount never wraps around to four billion.
std::uint32_t JsonToUnsigned(const nlohmann::json& value);
