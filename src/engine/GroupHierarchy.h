#pragma once

// A tree node holding named child groups and named values, such as stopwatches grouped by the
// step of the frame they time.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

// Lets string-keyed maps be searched with a std::string_view (or a literal) without building a
// std::string for every look-up; std::equal_to<> completes the pair.
struct TransparentStringHash {
    using is_transparent = void;

    std::size_t operator()(std::string_view text) const noexcept {
        return std::hash<std::string_view>{}(text);
    }
};

// Hash and equality of a key type: string keys get the transparent pair so that look-ups on a hot
// path do not allocate; other keys use the standard ones.
template <typename Key>
struct GroupHierarchyKeyTraits {
    using Hash = std::hash<Key>;
    using Equal = std::equal_to<Key>;
};

template <>
struct GroupHierarchyKeyTraits<std::string> {
    using Hash = TransparentStringHash;
    using Equal = std::equal_to<>;
};

template <typename Value, typename GroupKey, typename ValueKey>
struct GroupHierarchy {
    using GroupTraits = GroupHierarchyKeyTraits<GroupKey>;
    using ValueTraits = GroupHierarchyKeyTraits<ValueKey>;

    std::unordered_map<GroupKey, GroupHierarchy, typename GroupTraits::Hash,
                       typename GroupTraits::Equal>
        groups;
    std::unordered_map<ValueKey, Value, typename ValueTraits::Hash, typename ValueTraits::Equal>
        values;
};
