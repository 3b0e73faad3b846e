#include "tools/InspectorWindow.h"

#include <algorithm>
#include <exception>
#include <optional>
#include <tuple>
#include <utility>

#include <imgui.h>

#include "SharedDependencies/Source/FileHandler.h"
#include "engine/DataDirectories.h"
#include "engine/Engine.h"
#include "engine/TraceLog.h"
#include "entities/Component.h"
#include "entities/Entity.h"
#include "entities/EntityFiles.h"
#include "entities/JsonReaders.h"
#include "tools/EditorWidgets.h"
#include "tools/SceneEdits.h"
#include "tools/UniqueId.h"
#include "tools/WindowButton.h"
#include "tools/WindowDropdown.h"
#include "tools/WindowInputText.h"
#include "tools/WindowText.h"

namespace {

using json = nlohmann::json;

constexpr const char* kWindowName = "Inspector";
// On the left below the Hierarchy, clear of the game's centre.
const Vector2 kPosition{0.0f, 300.0f};
const Vector2 kSize{240.0f, 420.0f};

constexpr const char* kSaveToLabel = "Save To:";
constexpr const char* kAddComponentLabel = "Add Component:";
constexpr const char* kRemoveComponentLabel = "Remove Component:";
constexpr const char* kAddChildLabel = "Add Child:";
constexpr const char* kRemoveElementLabel = "X##";
constexpr const char* kPushBackLabel = "Push Back##";

constexpr const char* kParseError = "Failed To Parse Editor Entry: ";
// An entry refused for its depth is quoted this far: it can run to megabytes.
constexpr std::size_t kShownEntryLength = 40;
constexpr const char* kSaveError = "EditorSystem - Save To: failed to save ";
constexpr const char* kSaveToRefused = "EditorSystem - Save To: not saved: ";
constexpr const char* kInPlay =
    ": in Play the scene holds live play state; switch to Edit to save";

// An array element of this form is the array's pattern for Push Back, not an element to show.
constexpr const char* kTemplateTag = "template";
constexpr int kSaveIndent = 2;

// JSON text for the trace log and the boxes; never throws on text that is not valid UTF-8.
std::string JsonText(const json& value, int indent = -1) {
    return value.dump(indent, ' ', false, json::error_handler_t::replace);
}

std::string LastToken(const json::json_pointer& pointer) {
    return pointer.empty() ? std::string() : pointer.back();
}

bool IsTemplateEntry(const json& element) {
    return element.is_array() && element.size() > 1 && element[0] == kTemplateTag;
}

// Enter in a field box: the text is the field's new value as JSON (a string needs its quotes).
// Text that is not JSON changes nothing, not even through a round trip of the component's own
// JSON (which some readers act on, e.g. a tile map rebuilds).
void ApplyField(Component& component, const json::json_pointer& pointer, const std::string& text) {
    json parsed;
    try {
        parsed = json::parse(text);
    } catch (const json::exception&) {
        TraceLog::Error(kParseError + text);
        return;
    }
    // Placed at `pointer`, the value nests that many levels deeper in the component's JSON, which
    // the Inspector shows and the component reads one level at a time.
    const std::string at = pointer.to_string();
    const auto levelsAbove = static_cast<std::size_t>(std::count(at.begin(), at.end(), '/'));
    if (JsonNestingDepth(parsed) + levelsAbove > kMaxJsonNestingDepth) {
        TraceLog::Error(kParseError + text.substr(0, kShownEntryLength) + "... nests deeper than " +
                        std::to_string(kMaxJsonNestingDepth) + " levels");
        return;
    }
    SceneEdits::ChangeComponent(
        component, pointer, [&](json& data) { data[pointer] = std::move(parsed); },
        component.name + " " + pointer.to_string());
}

void RemoveElement(Component& component, const json::json_pointer& array, int index) {
    SceneEdits::ChangeComponent(
        component, array,
        [&](json& data) { data.at(array).erase(static_cast<json::size_type>(index)); },
        component.name + " X " + array.to_string() + "/" + std::to_string(index));
}

// The template entry is written last, so the copy goes just before it, after the last real
// element.
void PushBack(Component& component, const json::json_pointer& array, const json& pattern) {
    SceneEdits::ChangeComponent(
        component, array,
        [&](json& data) {
            json& elements = data.at(array);
            elements.insert(elements.end() - (elements.empty() ? 0 : 1), pattern);
        },
        component.name + " Push Back " + array.to_string());
}

// Writes the entity as indented JSON to `fileKey` below the data directory and reloads that file
// into the entity-file cache, so later loads by that name see it. The text is made before the
// file is touched and replaces the file in one step: a failed save leaves the old file as it was.
void SaveEntity(const Entity& entity, const std::string& fileKey) {
    // An empty name would name the data directory itself.
    if (fileKey.empty()) {
        return;
    }
    if (const std::optional<std::string> fault = EntityFileNameFault(fileKey)) {
        TraceLog::Error(kSaveError + fileKey + ": " + *fault + "; nothing written");
        return;
    }
    if (!Engine::Instance().editing) {
        TraceLog::Warning(kSaveToRefused + fileKey + kInPlay);
        return;
    }
    const std::string path = DataDirectory + fileKey;
    try {
        const std::string text = Entity::to_json(entity).dump(kSaveIndent);
        FileHandler::ReplaceFile(path, text);
        ReloadEntityFile(fileKey);
    } catch (const std::exception& error) {
        TraceLog::Error(kSaveError + path + ": " + error.what());
    }
}

// The Inspector lists components by name, so the order does not change with the entity's hash
// map; the list breaks ties between types of one name (the collider kinds, Transform and
// TransformUI).
std::vector<const ComponentEntry*> ComponentsByName(const Entity& entity) {
    std::vector<std::pair<VirtualComponentListSystem*, const ComponentEntry*>> entries;
    for (const auto& [list, entry] : entity.components) {
        entries.emplace_back(list, &entry);
    }
    std::sort(entries.begin(), entries.end(), [](const auto& left, const auto& right) {
        return std::tie(left.second->component->name, left.first) <
               std::tie(right.second->component->name, right.first);
    });
    std::vector<const ComponentEntry*> ordered;
    for (const auto& [list, entry] : entries) {
        ordered.push_back(entry);
    }
    return ordered;
}

}  // namespace

InspectorWindow::InspectorWindow(Entity*& selection) : Window(kWindowName), selection(selection) {
    initialPosition = kPosition;
    initialSize = kSize;
    root->onDraw = [this](WindowObject& object) {
        auto& content = static_cast<WindowSection&>(object);
        content.children.clear();
        if (this->selection != nullptr) {
            content.children.push_back(CreateEntitySection(this->selection));
        }
    };
}

std::unique_ptr<WindowSection> InspectorWindow::CreateEntitySection(Entity* entity) {
    const std::string identity = IdentityOf(entity);

    WindowObjects dropdowns;
    for (const ComponentEntry* entry : ComponentsByName(*entity)) {
        Component* component = entry->component;
        // The fields are read from the component every frame while the dropdown is open.
        dropdowns.push_back(std::make_unique<WindowDropdown>(
            component->name, EditorSection({}, kEditorFlatIndent),
            [this, component](WindowDropdown& dropdown) {
                auto& content = static_cast<WindowSection&>(*dropdown.content);
                content.children.clear();
                content.children.push_back(CreateComponentSection(component));
            }));
    }

    ResetUniqueId(identity);
    auto saveTo = std::make_unique<WindowInputText>(
        kSaveToLabel, MakeUniqueId(identity),
        [entity](WindowInputText& box) { SaveEntity(*entity, box.buffer); },
        WindowObjectDescription{}, true);
    auto addComponent = std::make_unique<WindowInputText>(
        kAddComponentLabel, MakeUniqueId(identity),
        [this](WindowInputText& box) {
            if (selection != nullptr) {
                SceneEdits::AddComponent(*selection, box.buffer);
            }
        },
        WindowObjectDescription{}, false);
    auto removeComponent = std::make_unique<WindowInputText>(
        kRemoveComponentLabel, MakeUniqueId(identity),
        [this](WindowInputText& box) {
            if (selection != nullptr) {
                SceneEdits::RemoveComponent(*selection, box.buffer);
            }
        },
        WindowObjectDescription{}, true);
    auto addChild = std::make_unique<WindowInputText>(
        kAddChildLabel, MakeUniqueId(identity),
        [entity](WindowInputText& box) { SceneEdits::AddChild(*entity, box.buffer); },
        WindowObjectDescription{}, true);

    WindowObjects items;
    items.push_back(std::make_unique<WindowText>(entity->name));
    items.push_back(std::move(saveTo));
    items.push_back(EditorSection(std::move(dropdowns), kEditorFlatIndent));
    items.push_back(std::move(addComponent));
    items.push_back(std::move(removeComponent));
    items.push_back(std::move(addChild));
    return EditorSection(std::move(items), kEditorNestedIndent);
}

std::unique_ptr<WindowSection> InspectorWindow::CreateComponentSection(Component* component) {
    const std::string identity = IdentityOf(component);
    const json data = component->ToJson();
    ResetUniqueId(identity);
    WindowObjects fields;
    json::json_pointer pointer;
    CreateFieldTexts(fields, data, component, identity, pointer);
    return EditorSection(std::move(fields), kEditorFlatIndent);
}

void InspectorWindow::CreateFieldTexts(WindowObjects& output, const json& value,
                                       Component* component, const std::string& identity,
                                       json::json_pointer& pointer) {
    const std::string key = LastToken(pointer);
    if (!value.is_structured()) {
        const std::string text = JsonText(value);
        const bool onButtonLine = sameLineNext;
        sameLineNext = false;
        // The box shows the value the component had when the Inspector was built this frame.
        auto box = std::make_unique<WindowInputText>(
            key + ":", MakeUniqueId(identity),
            [component, at = pointer](WindowInputText& box) {
                ApplyField(*component, at, box.buffer);
            },
            DrawnBy([text, onButtonLine](WindowObject& object) {
                static_cast<WindowInputText&>(object).value = text;
                if (onButtonLine) {
                    ImGui::SameLine();
                }
            }),
            true);
        WindowObjects field;
        field.push_back(std::move(box));
        output.push_back(EditorSection(std::move(field), kEditorNestedIndent));
        return;
    }

    WindowObjects items;
    if (!pointer.empty()) {
        items.push_back(std::make_unique<WindowText>(
            key + ": ", sameLineNext ? DrawnBy(KeepOnLine) : WindowObjectDescription{}));
        sameLineNext = false;
    }

    if (value.is_object()) {
        for (const auto& [memberKey, member] : value.items()) {
            pointer.push_back(memberKey);
            CreateFieldTexts(items, member, component, identity, pointer);
            pointer.pop_back();
        }
        output.push_back(EditorSection(std::move(items), kEditorNestedIndent));
        return;
    }

    const std::string at = pointer.to_string();
    std::optional<json> pattern;
    int shown = -1;
    for (const json& element : value) {
        if (IsTemplateEntry(element)) {
            pattern = element[1];
            continue;
        }
        ++shown;
        WindowObjectDescription indented;
        indented.indent = kEditorNestedIndent;
        items.push_back(std::make_unique<WindowButton>(
            kRemoveElementLabel + at + std::to_string(shown),
            [component, array = pointer, shown](WindowButton&) {
                RemoveElement(*component, array, shown);
            },
            std::move(indented)));
        sameLineNext = true;
        pointer.push_back(std::to_string(shown));
        CreateFieldTexts(items, element, component, identity, pointer);
        pointer.pop_back();
    }
    if (pattern) {
        WindowObjectDescription indented;
        indented.indent = kEditorNestedIndent;
        items.push_back(std::make_unique<WindowButton>(
            kPushBackLabel + at + std::to_string(shown),
            [component, array = pointer, pattern = *pattern](WindowButton&) {
                PushBack(*component, array, pattern);
            },
            std::move(indented)));
    }
    output.push_back(EditorSection(std::move(items), kEditorNestedIndent));
}
