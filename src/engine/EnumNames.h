#pragma once
// Printable names of the enumerations: the enumeration's name, "::" and the value's name, as in
// "InputType::JUMP". Each enumeration has one process-wide pair of tables (value to name, name
// to value), built before main and read-only afterwards.
//
//   EnumName(InputType::JUMP)               -> "InputType::JUMP"
//   EnumValue<InputType>("InputType::JUMP") -> InputType::JUMP
//
// Both throw std::out_of_range("invalid unordered_map<K, T> key") for a value or name that is
// not in the table; there is no fallback. Callers that read bare value names from files prefix
// them with the enumeration's name first.

#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "engine/ComponentType.h"
#include "engine/InputType.h"
#include "engine/MessageTag.h"
#include "engine/Orientation.h"
#include "engine/SystemType.h"
#include "engine/UpdateLayer.h"
#include "engine/WindowRenderState.h"
#include "engine/WindowSectionMode.h"

// The failure message is part of the interface (it shows in trace lines of callers that catch
// it), so it is thrown explicitly rather than left to the standard library's wording.
inline constexpr const char* kUnknownEnumKeyMessage = "invalid unordered_map<K, T> key";

template <class E>
class EnumNameTable {
public:
    EnumNameTable(std::initializer_list<std::pair<E, std::string_view>> entries) {
        for (const auto& [value, name] : entries) {
            names.emplace(value, name);
            values.emplace(name, value);
        }
    }

    const std::string& NameOf(E value) const {
        const auto found = names.find(value);
        if (found == names.end()) {
            throw std::out_of_range(kUnknownEnumKeyMessage);
        }
        return found->second;
    }

    E ValueOf(const std::string& fullName) const {
        const auto found = values.find(fullName);
        if (found == values.end()) {
            throw std::out_of_range(kUnknownEnumKeyMessage);
        }
        return found->second;
    }

private:
    std::unordered_map<E, std::string> names;
    std::unordered_map<std::string, E> values;
};

// The table of each enumeration, defined in EnumNames.cpp; an enumeration without a table
// fails to link.
template <class E>
const EnumNameTable<E>& NameTable();
template <>
const EnumNameTable<ComponentType>& NameTable();
template <>
const EnumNameTable<Orientation>& NameTable();
template <>
const EnumNameTable<SystemType>& NameTable();
template <>
const EnumNameTable<UpdateLayer>& NameTable();
template <>
const EnumNameTable<WindowRenderState>& NameTable();
template <>
const EnumNameTable<WindowSectionMode>& NameTable();
template <>
const EnumNameTable<InputType>& NameTable();
template <>
const EnumNameTable<MessageTag>& NameTable();

template <class E>
const std::string& EnumName(E value) {
    return NameTable<E>().NameOf(value);
}

template <class E>
E EnumValue(const std::string& fullName) {
    return NameTable<E>().ValueOf(fullName);
}
