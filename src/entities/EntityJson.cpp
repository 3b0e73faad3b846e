// The entity-file form of an entity: one JSON object whose members are component entries
// ({name: the component's own data, "Update layer": n}) and child entities (any other key, the
// key being the child's name). The reader recognises component keys through a dispatch table
// generated from ComponentTypes.def; types whose entry is not read the default way have an
// EntryReader specialisation below.

#include <array>
#include <cstddef>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

#include <nlohmann/json.hpp>

#include "engine/ComponentType.h"
#include "engine/TraceLog.h"
#include "engine/UpdateLayer.h"
#include "entities/Component.h"
#include "entities/ComponentClasses.h"
#include "entities/ComponentListSystem.h"
#include "entities/ComponentTypeInfo.h"
#include "entities/Entity.h"
#include "entities/JsonReaders.h"

namespace {

constexpr const char* kUpdateLayerKey = "Update layer";
constexpr const char* kColliderKindKey = "type";
constexpr const char* kBaseColliderKey = "base collider";
constexpr int kTraceJsonIndent = 4;

constexpr int kColliderKindCircle = 0;
constexpr int kColliderKindRectangle = 1;
constexpr int kColliderKindLine = 2;

constexpr const char* kReadErrorPrefix = "Entity::from_json - error serializing entity: ";
// Between the error's message and the file the entity was read from.
constexpr const char* kReadErrorFileSeparator = " | in file: ";
constexpr const char* kColliderKindMissingError =
    "Collider type from json is not included in Awful Entity If Statement. Please add it there";

// The types whose entry needs more than "construct, FromJson the data": SoundEffect takes its
// "sound name" in the constructor, and a Tilemap is constructed with an empty path and flagged to
// build itself when "filepath" is present. Each has its EntryReader specialisation (next to the
// collider's below); the default reader refuses to compile for them rather than read them
// wrongly. (GameMaster's default constructor already names "help".)
template <class T>
constexpr bool kHasOwnEntryRule = std::is_same_v<T, SoundEffect> || std::is_same_v<T, Tilemap>;

std::string DumpForTrace(const nlohmann::json& value) {
    // Replacing invalid UTF-8 keeps the report itself from throwing out of the error handler.
    return value.dump(kTraceJsonIndent, ' ', false, nlohmann::json::error_handler_t::replace);
}

UpdateLayer ReadUpdateLayer(const nlohmann::json& value, const std::string& key) {
    const nlohmann::json& found = GetJsonPath(value, {key, kUpdateLayerKey});
    if (IsMissingJsonValue(found)) {
        return UpdateLayer::AVERAGE;
    }
    // Range-checked as a double: converting an out-of-range number straight to int is undefined,
    // and a layer outside the five would index past the list's layers. A non-number still throws
    // the JSON library's type error, as the integer reader does.
    const double number = found.get<double>();
    if (!(number >= 0.0 && number < kUpdateLayerCount)) {
        TraceLog::Warning("Entity::from_json - " + key + ": \"" + kUpdateLayerKey + "\" " +
                          found.dump() + " is not a layer; read as UpdateLayer::AVERAGE");
        return UpdateLayer::AVERAGE;
    }
    return static_cast<UpdateLayer>(static_cast<int>(number));
}

void ApplyData(Component& component, const nlohmann::json& data) {
    if (!IsMissingJsonValue(data)) {
        component.FromJson(data);
    }
}

// The data of a type whose default form is null, when the entry holds any: such a type is
// complete with its layer alone, so no lookup here is ever reported missing.
const nlohmann::json* OptionalData(const nlohmann::json& value, const std::string& key) {
    const auto entry = value.find(key);
    if (entry == value.end() || !entry->is_object()) {
        return nullptr;
    }
    const auto data = entry->find(key);
    return data != entry->end() && !data->is_null() ? &*data : nullptr;
}

// The component's data object is looked up (and warned about) before the layer, which is read
// only once the data has been applied without error. A type that writes no data of its own by
// default (its JSON form is null: a listener, a camera without bounds) is complete with its layer
// alone, so its data object is applied when there is one and never reported missing.
template <class T>
void AddWithDataAndLayer(const nlohmann::json& value, const std::string& key, Entity& entity) {
    auto component = std::make_unique<T>();
    // Whether a type writes data of its own is a property of the type, so it is asked once, of
    // the first component built, rather than by building the JSON form of every one.
    static const bool writesOwnData = !component->ToJson().is_null();
    if (writesOwnData) {
        ApplyData(*component, GetJsonPath(value, {key, key}));
    } else if (const nlohmann::json* data = OptionalData(value, key)) {
        component->FromJson(*data);
    }
    const UpdateLayer layer = ReadUpdateLayer(value, key);
    entity.AddComponent(component.release(), layer);
}

// Reads the component entry `key` of the entity object `value` into `entity`. The default builds
// T with its constructor defaults, applies its data and adds it with its layer.
template <class T>
struct EntryReader {
    static void Read(const nlohmann::json& value, const std::string& key, Entity& entity) {
        static_assert(!kHasOwnEntryRule<T>, "this component type needs its EntryReader");
        AddWithDataAndLayer<T>(value, key, entity);
    }
};

// "Collider" names no buildable type: the entry's data picks the kind.
template <>
struct EntryReader<Collider> {
    static void Read(const nlohmann::json& value, const std::string& key, Entity& entity) {
        const UpdateLayer layer = ReadUpdateLayer(value, key);
        switch (Kind(value.at(key), key)) {
            case kColliderKindCircle:
                AddKind<ColliderCircle>(value, key, entity, layer);
                break;
            case kColliderKindRectangle:
                AddKind<ColliderRectangle>(value, key, entity, layer);
                break;
            case kColliderKindLine:
                AddKind<ColliderLine>(value, key, entity, layer);
                break;
            default:
                // A kind this engine does not know builds nothing.
                break;
        }
    }

private:
    // The kind named by the data's "type", else by its "base collider"'s "type". An entry without
    // data is a circle; data naming no kind is reported and read as a circle.
    static int Kind(const nlohmann::json& entry, const std::string& key) {
        const auto data = entry.is_object() ? entry.find(key) : entry.end();
        if (!entry.is_object() || data == entry.end()) {
            return kColliderKindCircle;
        }
        if (data->is_object() && data->contains(kColliderKindKey)) {
            return JsonToInt(data->at(kColliderKindKey));
        }
        if (data->is_object() && data->contains(kBaseColliderKey)) {
            return JsonToInt(data->at(kBaseColliderKey).at(kColliderKindKey));
        }
        TraceLog::Error(kColliderKindMissingError);
        return kColliderKindCircle;
    }

    // A line starts with no points; its data supplies them.
    template <class Kind>
    static void AddKind(const nlohmann::json& value, const std::string& key, Entity& entity,
                        UpdateLayer layer) {
        auto component = std::make_unique<Kind>();
        ApplyData(*component, GetJsonPath(value, {key, key}));
        entity.AddComponent(component.release(), layer);
    }
};

// A tile map starts with no file. Its data names one ("filepath"), and reading the data flags the
// map to build itself from it; without data the map still runs its first rebuild, which reports
// the missing file.
template <>
struct EntryReader<Tilemap> {
    static void Read(const nlohmann::json& value, const std::string& key, Entity& entity) {
        auto component = std::make_unique<Tilemap>(std::string());
        ApplyData(*component, GetJsonPath(value, {key, key}));
        const UpdateLayer layer = ReadUpdateLayer(value, key);
        entity.AddComponent(component.release(), layer);
    }
};

// A sound effect is built from its "sound name" (a string; the empty name when absent), which
// loads the sound, and its layer.
template <>
struct EntryReader<SoundEffect> {
    static void Read(const nlohmann::json& value, const std::string& key, Entity& entity) {
        const nlohmann::json& name = GetJsonPath(value, {key, key, SoundEffect::kSoundNameKey});
        auto component = std::make_unique<SoundEffect>(
            IsMissingJsonValue(name) ? std::string() : name.get<std::string>());
        const UpdateLayer layer = ReadUpdateLayer(value, key);
        entity.AddComponent(component.release(), layer);
    }
};

using EntryReadFunction = void (*)(const nlohmann::json& value, const std::string& key,
                                   Entity& entity);

// Only the type a key is named after reads it (the collider kinds share "Collider" but are built
// by Collider's reader), so no reader is instantiated for the others.
template <class T, bool kOwnsKey>
constexpr EntryReadFunction EntryReadFunctionFor() {
    if constexpr (!kOwnsKey) {
        return nullptr;
    } else {
        return &EntryReader<T>::Read;
    }
}

// Indexed by ComponentType. Types without a reader key have no entry: their members are children.
constexpr std::array<EntryReadFunction, kComponentTypeCount> kEntryReaders = [] {
    std::array<EntryReadFunction, kComponentTypeCount> readers{};
#define COMPONENT_TYPE(Name, value, fanOutPosition, jsonKey) \
    readers[value] = EntryReadFunctionFor<Name, std::string_view(#Name) == jsonKey>();
#define COMPONENT_TYPE_NO_READER_KEY(Name, value, fanOutPosition, jsonKey)
#include "entities/ComponentTypes.def"
    return readers;
}();

EntryReadFunction FindEntryReader(std::string_view key) {
    const std::optional<ComponentType> type = ComponentTypeFromJsonKey(key);
    return type ? kEntryReaders[static_cast<std::size_t>(*type)] : nullptr;
}

void ReadEntity(const nlohmann::json& value, Entity& entity, const std::string& file);

void ReadChild(const std::string& key, const nlohmann::json& member, Entity& parent,
               const std::string& file) {
    // Only an object (or null, an empty entity) describes an entity. Anything else would be
    // iterated with made-up member names, and a number or string would recurse without end.
    if (!member.is_object() && !member.is_null()) {
        TraceLog::Warning("Entity::from_json - member " + key +
                          " is neither an entity object nor null; skipped");
        return;
    }
    auto child = std::make_unique<Entity>(key);
    ReadEntity(member, *child, file);
    parent.AddChild(child.release());
}

// `file` names the file the value came from in the error report; empty when it came from none.
void ReadEntity(const nlohmann::json& value, Entity& entity, const std::string& file) {
    const std::string inFile = file.empty() ? std::string() : kReadErrorFileSeparator + file;
    try {
        if (!value.is_object()) {
            if (!value.is_null()) {
                TraceLog::Warning("Entity::from_json - not an entity object, nothing read: " +
                                  DumpForTrace(value) + inFile);
            }
            return;
        }
        // The transform goes first whatever the key order: other components look for it.
        const std::string transformKey = Transform::kComponentName;
        if (value.contains(transformKey)) {
            FindEntryReader(transformKey)(value, transformKey, entity);
        }
        for (const auto& [key, member] : value.items()) {
            if (key == transformKey) {
                continue;
            }
            if (const EntryReadFunction read = FindEntryReader(key)) {
                read(value, key, entity);
            } else {
                ReadChild(key, member, entity, file);
            }
        }
    } catch (const std::exception& error) {
        // What was read so far stays: a scene with one bad member still loads the rest.
        TraceLog::Error(kReadErrorPrefix + DumpForTrace(value) + error.what() + inFile);
    }
}

}  // namespace

nlohmann::json Entity::to_json(const Entity& entity) {
    // Even an entity with nothing in it is an object, so that it reads back as an entity.
    nlohmann::json value = nlohmann::json::object();
    for (const auto& [type, entry] : entity.components) {
        if (entry.component->generated) {
            continue;
        }
        const std::string& name = entry.component->name;
        value[name] = nlohmann::json{{name, entry.component->ToJson()},
                                     {kUpdateLayerKey, static_cast<int>(entry.layer)}};
    }
    // Children are stored after the components, so a child named like a component replaces
    // that component's entry, and of equally named children the last one stays.
    for (const Entity* child : entity.children) {
        if (!child->generated && !child->destroyed) {
            value[child->name] = to_json(*child);
        }
    }
    return value;
}

void Entity::from_json(const nlohmann::json& value, Entity& entity) {
    ReadEntity(value, entity, std::string());
}

void Entity::from_json(const nlohmann::json& value, Entity& entity, const std::string& file) {
    ReadEntity(value, entity, file);
}
