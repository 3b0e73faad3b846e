// Printable enumeration names and the component type declaration they are partly built from.

#include "engine/EnumNames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "entities/ComponentTypeInfo.h"

namespace {

using AnyEnum = std::variant<ComponentType, Orientation, SystemType, UpdateLayer, WindowRenderState,
                             WindowSectionMode, InputType, MessageTag>;

const std::string& NameOf(const AnyEnum& value) {
    return std::visit([](auto v) -> const std::string& { return EnumName(v); }, value);
}

// Callers show this message in their own diagnostics, so its exact text matters.
template <class Lookup>
void ExpectUnknownKey(Lookup lookup) {
    try {
        lookup();
        ADD_FAILURE() << "expected std::out_of_range";
    } catch (const std::out_of_range& error) {
        EXPECT_STREQ(error.what(), "invalid unordered_map<K, T> key");
    }
}

std::vector<std::int32_t> Range(std::int32_t first, std::int32_t last) {
    std::vector<std::int32_t> values;
    for (std::int32_t value = first; value <= last; ++value) {
        values.push_back(value);
    }
    return values;
}

// Every value has a name with its enumeration's prefix, and that name leads back to the value;
// a name shared by two values would send one of them to the other.
template <class E>
void ExpectEveryValueRoundTrips(std::string_view prefix, const std::vector<std::int32_t>& values) {
    for (std::int32_t number : values) {
        const E value = static_cast<E>(number);
        SCOPED_TRACE(std::string(prefix) + std::to_string(number));
        const std::string& name = EnumName(value);
        EXPECT_TRUE(name.starts_with(prefix)) << name;
        EXPECT_GT(name.size(), prefix.size()) << name;
        EXPECT_EQ(EnumValue<E>(name), value) << name;
    }
}

TEST(EnumNames, NameOfValueSamples) {
    struct Case {
        AnyEnum value;
        std::string expected;
    };
    const Case cases[] = {
        {static_cast<SystemType>(2), "SystemType::REPLAY_STORAGE_SYSTEM"},
        {static_cast<SystemType>(14), "SystemType::CHEAT_SYSTEM"},
        {static_cast<SystemType>(15), "SystemType::WINDOW_MODE_SYSTEM"},
        {static_cast<Orientation>(-1), "Orientation::INVALID"},
        {static_cast<Orientation>(45), "Orientation::NORTH_WEST"},
        {static_cast<Orientation>(270), "Orientation::EAST"},
        {static_cast<Orientation>(315), "Orientation::NORTH_EAST"},
        {static_cast<UpdateLayer>(2), "UpdateLayer::AVERAGE"},
        {static_cast<UpdateLayer>(5), "UpdateLayer::UPDATE_LAYER_COUNT"},
        {static_cast<WindowRenderState>(1), "WindowRenderState::VISIBLE"},
        {static_cast<WindowSectionMode>(1), "WindowSectionMode::REARRANGEABLE"},
        {static_cast<InputType>(12), "InputType::CLICK"},
        {static_cast<InputType>(15), "InputType::_CUSTOM"},
        {static_cast<InputType>(22), "InputType::SHIFT"},
        {static_cast<InputType>(29), "InputType::_NUKE"},
        {static_cast<InputType>(30), "InputType::TOGGLE_FULLSCREEN"},
        {static_cast<InputType>(31), "InputType::PAUSE"},
        {static_cast<InputType>(32), "InputType::TOGGLESETTINGS"},
        {static_cast<InputType>(33), "InputType::TOGGLETOOLS"},
        {static_cast<InputType>(34), "InputType::cInputStateMax"},
        {static_cast<MessageTag>(30), "MessageTag::MESSAGECONTINUITY"},
        {static_cast<ComponentType>(0), "ComponentType::Animator"},
        {static_cast<ComponentType>(10), "ComponentType::TransformUI"},
        {static_cast<ComponentType>(16), "ComponentType::ColliderRectangle"},
        {static_cast<ComponentType>(29), "ComponentType::Weapon"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NameOf(c.value), c.expected);
    }
}

TEST(EnumNames, EveryValueRoundTripsThroughItsName) {
    ExpectEveryValueRoundTrips<ComponentType>("ComponentType::", Range(0, 29));
    ExpectEveryValueRoundTrips<Orientation>("Orientation::",
                                            {-1, 0, 45, 90, 135, 180, 225, 270, 315});
    ExpectEveryValueRoundTrips<SystemType>("SystemType::", Range(0, 15));
    ExpectEveryValueRoundTrips<UpdateLayer>("UpdateLayer::", Range(0, 5));
    ExpectEveryValueRoundTrips<WindowRenderState>("WindowRenderState::", Range(0, 1));
    ExpectEveryValueRoundTrips<WindowSectionMode>("WindowSectionMode::", Range(0, 1));
    // 31 is kept for an input still to come.
    std::vector<std::int32_t> inputs = Range(0, 30);
    inputs.push_back(32);
    ExpectEveryValueRoundTrips<InputType>("InputType::", inputs);
    ExpectEveryValueRoundTrips<MessageTag>("MessageTag::", {30});
}

TEST(EnumNames, ValueOfFullNameIncludesThePrefix) {
    EXPECT_EQ(static_cast<std::int32_t>(EnumValue<InputType>("InputType::JUMP")), 1);
    EXPECT_EQ(EnumValue<Orientation>("Orientation::NORTH_EAST"), Orientation::NORTH_EAST);
}

TEST(EnumNames, UnknownNamesThrowOutOfRange) {
    const std::string unknownNames[] = {
        "JUMP",              // bare value name: file readers must add the prefix themselves
        "InputType::jump",   // case matters
        "InputType::JUMP ",  // no trimming
        "InputType::",
        "",
        "UpdateLayer::JUMP",  // another enumeration's prefix
        "InputType::NOT_AN_INPUT",
    };
    for (const std::string& name : unknownNames) {
        SCOPED_TRACE(name);
        ExpectUnknownKey([&] { EnumValue<InputType>(name); });
    }
    ExpectUnknownKey([] { EnumValue<UpdateLayer>("InputType::JUMP"); });
}

TEST(EnumNames, UnknownValuesThrowOutOfRange) {
    const AnyEnum unknownValues[] = {
        static_cast<InputType>(35),        static_cast<InputType>(-1),
        static_cast<Orientation>(46),      static_cast<Orientation>(360),
        static_cast<SystemType>(16),       static_cast<UpdateLayer>(6),
        static_cast<WindowRenderState>(2), static_cast<WindowSectionMode>(2),
        static_cast<MessageTag>(0),        static_cast<ComponentType>(31),
    };
    for (const AnyEnum& value : unknownValues) {
        ExpectUnknownKey([&] { NameOf(value); });
    }
}

struct DeclaredType {
    std::int32_t value;
    int fanOutPosition;
};

std::vector<DeclaredType> ReadDeclaration() {
    return {
#define COMPONENT_TYPE(Name, value, fanOutPosition, jsonKey) {value, fanOutPosition},
#include "entities/ComponentTypes.def"
    };
}

TEST(ComponentTypeDeclaration, NumbersAndFanOutPositionsArePermutations) {
    const std::vector<DeclaredType> declared = ReadDeclaration();
    ASSERT_EQ(declared.size(), 31u);
    EXPECT_EQ(kComponentTypeCount, declared.size());

    std::vector<int> valueSeen(declared.size(), 0);
    std::vector<int> positionSeen(declared.size(), 0);
    for (const DeclaredType& type : declared) {
        ASSERT_GE(type.value, 0);
        ASSERT_LT(static_cast<std::size_t>(type.value), declared.size());
        ASSERT_GE(type.fanOutPosition, 0);
        ASSERT_LT(static_cast<std::size_t>(type.fanOutPosition), declared.size());
        ++valueSeen[type.value];
        ++positionSeen[type.fanOutPosition];
    }
    for (std::size_t i = 0; i < declared.size(); ++i) {
        EXPECT_EQ(valueSeen[i], 1) << "ComponentType " << i;
        EXPECT_EQ(positionSeen[i], 1) << "fan-out position " << i;
    }
}

// The order is observable (trace lines, who reacts first in a frame, the camera-follow lag of
// screen-space entities), so a swapped pair is a real fault even though every type is present.
TEST(ComponentTypeDeclaration, FanOutFollowsTheDesignedOrderWithSoundEffectLast) {
    const std::string_view designedOrder[] = {
        "Animator",
        "AudioListener",
        "Collider",
        "Canvas",
        "AudioSource",
        "BasicEnemyBehavior",
        "BasicBehavior",
        "BulletBehavior",
        "FlameBehavior",
        "BoomerangBehavior",
        "Camera",
        "Controller",
        "Emitter",
        "Physics",
        "PlayerInput",
        "Sprite",
        "ColliderCircle",
        "ColliderLine",
        "ColliderRectangle",
        "SpriteController",
        "SpriteNonsense",
        "Tracker",
        "Transform",
        "TransformUI",
        "Weapon",
        "Tilemap",
        "Button",
        "GameMaster",
        "Pathfinding",
        "SoundEffect",
        "Hud",
    };
    ASSERT_EQ(std::size(designedOrder), kComponentTypesInFanOutOrder.size());
    for (std::size_t i = 0; i < kComponentTypesInFanOutOrder.size(); ++i) {
        const ComponentTypeInfo& info = kComponentTypesInFanOutOrder[i];
        EXPECT_EQ(info.name, designedOrder[i]) << "fan-out position " << i;
        EXPECT_EQ(EnumName(info.type), "ComponentType::" + std::string(designedOrder[i]));
    }
}

TEST(ComponentTypeInfo, JsonKeyLookup) {
    struct Case {
        std::string_view key;
        std::optional<ComponentType> expected;
    };
    const Case cases[] = {
        {"Transform", ComponentType::Transform},
        {"Physics", ComponentType::Physics},
        {"SoundEffect", ComponentType::SoundEffect},
        {"AudioListener", ComponentType::AudioListener},
        {"Tilemap", ComponentType::Tilemap},
        {"Pathfinding", ComponentType::Pathfinding},
        // One key for every collider kind; the data decides which kind is built.
        {"Collider", ComponentType::Collider},
        {"ColliderCircle", std::nullopt},
        {"ColliderRectangle", std::nullopt},
        // Types without a reader key: such members are child entities.
        {"Canvas", std::nullopt},
        {"TransformUI", std::nullopt},
        {"Tracker", std::nullopt},
        {"SpriteController", std::nullopt},
        {"SpriteNonsense", std::nullopt},
        // Envelope keys and near misses.
        {"Update layer", std::nullopt},
        {"physics", std::nullopt},
        {"ComponentType::Physics", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ComponentTypeFromJsonKey(c.key), c.expected) << c.key;
    }
}

// Every key of the entity reader's dispatch table (plus "Transform", read first) resolves to
// the component named like it.
TEST(ComponentTypeInfo, EveryReaderKeyResolves) {
    const std::string_view readerKeys[] = {
        "Transform",
        "Physics",
        "Controller",
        "SoundEffect",
        "Sprite",
        "Animator",
        "Collider",
        "Camera",
        "PlayerInput",
        "Weapon",
        "BasicEnemyBehavior",
        "BasicBehavior",
        "BoomerangBehavior",
        "BulletBehavior",
        "FlameBehavior",
        "GameMaster",
        "Emitter",
        "AudioSource",
        "AudioListener",
        "Tilemap",
        "Button",
        "Pathfinding",
        "Hud",
    };
    for (std::string_view key : readerKeys) {
        const std::optional<ComponentType> type = ComponentTypeFromJsonKey(key);
        ASSERT_TRUE(type.has_value()) << key;
        EXPECT_EQ(EnumName(*type), "ComponentType::" + std::string(key));
    }
}

TEST(ComponentTypeInfo, ColliderKindsShareTheColliderKey) {
    for (const ComponentTypeInfo& info : kComponentTypesInFanOutOrder) {
        if (info.type == ComponentType::ColliderCircle ||
            info.type == ComponentType::ColliderLine ||
            info.type == ComponentType::ColliderRectangle) {
            EXPECT_EQ(info.jsonKey, "Collider") << info.name;
            EXPECT_TRUE(info.hasReaderKey) << info.name;
        }
    }
}

}  // namespace
