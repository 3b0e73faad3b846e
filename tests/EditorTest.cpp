// The editor on the real engine, window and GUI. Most cases open a component's header the way a
// click leaves it (in the GUI library's state), let the real frame draw the Hierarchy and the
// Inspector, then find the drawn widgets in the windows' trees and call what a click or an Enter
// would call on them (onClick, onSubmit); the results are read from the entities, the component
// lists, the files and the trace log. The last test clicks, types and presses keys with real X
// input on an X server of its own.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <sstream>
#include <string>
#include <vector>

#include <imgui.h>
#include <imgui_internal.h>
#include <nlohmann/json.hpp>

#include "engine/DataDirectories.h"
#include "engine/Engine.h"
#include "entities/Component.h"
#include "entities/ComponentClasses.h"
#include "entities/ComponentListSystem.h"
#include "entities/ComponentTypeInfo.h"
#include "entities/Entity.h"
#include "entities/EntityFiles.h"
#include "support/ChildProcess.h"
#include "support/EnginePassTest.h"
#include "support/InGameTest.h"
#include "support/StepRunner.h"
#include "entities/SceneSystem.h"
#include "tools/ComponentEditors.h"
#include "tools/EditHistory.h"
#include "tools/EditorSystem.h"
#include "tools/EngineSettingsSystem.h"
#include "tools/SceneEdits.h"
#include "tools/TraitPopup.h"
#include "tools/WindowButton.h"
#include "tools/WindowDropdown.h"
#include "tools/WindowInputText.h"
#include "tools/WindowText.h"

namespace {

using json = nlohmann::json;

constexpr int kStepFrameLimit = 600;
constexpr const char* kParseError = "ERROR: Failed To Parse Editor Entry: ";
constexpr const char* kConvertError = "ERROR: Failed To Convert Entry To Valid Field: ";

// Every widget of type T below `object` (section children, dropdown contents, popup contents),
// in drawing order.
template <class T>
void Collect(WindowObject& object, std::vector<T*>& found) {
    if (auto* match = dynamic_cast<T*>(&object)) {
        found.push_back(match);
    }
    if (auto* section = dynamic_cast<WindowSection*>(&object)) {
        for (const auto& child : section->children) {
            Collect(*child, found);
        }
    }
    if (auto* dropdown = dynamic_cast<WindowDropdown*>(&object); dropdown && dropdown->content) {
        Collect(*dropdown->content, found);
    }
    for (const auto& trait : object.traits) {
        if (auto* popup = dynamic_cast<TraitPopup*>(trait.get())) {
            Collect(*popup->content, found);
        }
    }
}

template <class T>
std::vector<T*> All(Window* window) {
    std::vector<T*> found;
    Collect(*window->root, found);
    return found;
}

WindowInputText* Box(Window* window, const std::string& label) {
    for (WindowInputText* box : All<WindowInputText>(window)) {
        if (box->label == label) {
            return box;
        }
    }
    return nullptr;
}

std::vector<WindowButton*> ButtonsStartingWith(Window* window, const std::string& prefix) {
    std::vector<WindowButton*> found;
    for (WindowButton* button : All<WindowButton>(window)) {
        if (button->label.starts_with(prefix)) {
            found.push_back(button);
        }
    }
    return found;
}

std::vector<std::string> Texts(Window* window) {
    std::vector<std::string> texts;
    for (const WindowText* text : All<WindowText>(window)) {
        texts.push_back(text->text);
    }
    return texts;
}

// What a click on a collapsing header leaves behind: its open state in the window's storage.
// The header is drawn open from the next frame.
void OpenHeader(const char* windowName, const std::string& label) {
    ImGuiWindow* window = ImGui::FindWindowByName(windowName);
    ASSERT_NE(window, nullptr) << windowName << " has never been drawn";
    window->StateStorage.SetInt(window->GetIDNoKeepAlive(label.c_str()), 1);
}

// Whether the GUI drew the window in the current frame.
bool Drawn(const char* windowName) {
    const ImGuiWindow* window = ImGui::FindWindowByName(windowName);
    return window != nullptr && window->Active;
}

template <class T>
std::vector<T*> InList() {
    std::vector<T*> all;
    for (const auto& layer : ComponentListSystem<T>::Instance().Layers()) {
        all.insert(all.end(), layer.begin(), layer.end());
    }
    return all;
}

template <class Container, class Value>
bool Contains(const Container& container, const Value& value) {
    return std::find(container.begin(), container.end(), value) != container.end();
}

std::vector<std::string> ComponentNames(const Entity& entity) {
    std::vector<std::string> names;
    for (const auto& [list, entry] : entity.components) {
        names.push_back(entry.component->name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

class EditorTest : public EnginePassTest {
protected:
    // Runs one engine pass that plays `steps`, one per frame at least, each until it returns
    // true. The windows are drawn before the steps run in every frame.
    void Play() {
        RunPasses([&] { engine.RegisterSystem(&runner); });
        EXPECT_EQ(runner.failedStep, -1) << "a step never came true";
    }

    // One step that always comes true.
    void Then(std::function<void()> action) {
        runner.steps.push_back([action = std::move(action)] {
            action();
            return true;
        });
    }

    Entity& NewEntity(const char* name) {
        auto* entity = new Entity(name);
        engine.originEntity->AddChild(entity);
        return *entity;
    }

    std::filesystem::path TraceLogPath() const { return tree.perUserData() / "Trace_Log.txt"; }

    // Where the trace log ends now; the entries written after it are read from there.
    std::size_t TraceEnd() const { return ReadFileText(TraceLogPath()).size(); }

    // The trace entries written since `start`, without their time stamps. An entry may span
    // several lines (a JSON value written with an indent).
    std::vector<std::string> EntriesSince(std::size_t start) const {
        std::vector<std::string> entries;
        std::istringstream lines(ReadFileText(TraceLogPath()).substr(start));
        std::string line;
        while (std::getline(lines, line)) {
            if (line.starts_with("[") && line.find("] ") != std::string::npos) {
                entries.push_back(line.substr(line.find("] ") + 2));
            } else if (!entries.empty()) {
                entries.back() += "\n" + line;
            }
        }
        return entries;
    }

    std::vector<std::string> ErrorsSince(std::size_t start) const {
        std::vector<std::string> errors;
        for (const std::string& entry : EntriesSince(start)) {
            if (entry.starts_with("ERROR: ")) {
                errors.push_back(entry);
            }
        }
        return errors;
    }

    Window* Inspector() const { return editor.inspectorWindow; }

    EditorSystem& editor = EditorSystem::Instance();
    StepRunner runner{kStepFrameLimit};
};

struct FieldCase {
    const char* header;
    const char* box;
    // What the box shows before the edit: the field's JSON text.
    const char* shown;
    const char* entered;
    std::optional<std::string> error;
    std::function<std::string(Entity&)> read;
    std::string expected;
};

const std::string kDeepEntry = std::string(100000, '[') + std::string(100000, ']');

TEST_F(EditorTest, FieldBoxesShowJsonTextAndApplyValidJsonOnly) {
    const auto nextScene = [](Entity& entity) {
        return entity.GetComponent<GameMaster>()->nextSceneName;
    };
    const auto rotation = [](Entity& entity) {
        return json(entity.GetComponent<Transform>()->rotation).dump();
    };
    const std::vector<FieldCase> cases{
        {"GameMaster", "nextSceneName:", "\"help\"", "\"Level2.json\"", std::nullopt, nextScene,
         "Level2.json"},
        {"GameMaster", "nextSceneName:", "\"help\"", "Level2.json",
         std::string(kParseError) + "Level2.json", nextScene, "help"},
        {"GameMaster", "nextSceneName:", "\"help\"", "5", std::string(kConvertError) + "5",
         nextScene, "help"},
        {"Transform", "rotation:", "0.0", "90", std::nullopt, rotation, "90.0"},
        {"Transform", "rotation:", "0.0", "[90", std::string(kParseError) + "[90", rotation, "0.0"},
        // Pasted from somewhere: 100 000 levels of arrays once overflowed the stack.
        {"Transform", "rotation:", "0.0", kDeepEntry.c_str(),
         std::string(kParseError) + std::string(40, '[') + "... nests deeper than 256 levels",
         rotation, "0.0"},
    };
    // The steps run after the loop has ended, one case after the other: what they share lives
    // as long as they do.
    Entity* crate = nullptr;
    std::size_t traceStart = 0;
    for (const FieldCase& testCase : cases) {
        Then([&, testCase] {
            crate = &NewEntity("Crate");
            crate->AddComponent(new Transform());
            crate->AddComponent(new GameMaster());
            editor.inspected = crate;
            OpenHeader("Inspector", testCase.header);
        });
        Then([&, testCase] {
            SCOPED_TRACE(std::string(testCase.box) + " " + testCase.entered);
            WindowInputText* box = Box(Inspector(), testCase.box);
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->value, testCase.shown);
            traceStart = TraceEnd();
            box->buffer = testCase.entered;
            box->onSubmit(*box);
        });
        Then([&, testCase] {
            SCOPED_TRACE(std::string(testCase.box) + " " + testCase.entered);
            EXPECT_EQ(testCase.read(*crate), testCase.expected);
            const std::vector<std::string> errors = ErrorsSince(traceStart);
            if (testCase.error) {
                EXPECT_EQ(errors, std::vector<std::string>{*testCase.error});
            } else {
                EXPECT_TRUE(errors.empty()) << (errors.empty() ? "" : errors.front());
            }
            crate->Destroy();
        });
    }
    Play();
}

TEST_F(EditorTest, PositionEditedInTheInspectorMovesTheEntityOnScreen) {
    // 3240 x 2160 world units over 1080 x 720 pixels: 1000 units to the right is 333 pixels.
    constexpr int kCentreX = 540;
    constexpr int kMovedX = 540 + 333;
    constexpr int kCentreY = 360;
    Entity* box = nullptr;
    Pixel atCentre;
    Pixel atMoved;
    probe.onRender = [&](int) {
        atCentre = ReadPixel(kCentreX, kCentreY);
        atMoved = ReadPixel(kMovedX, kCentreY);
    };
    Then([&] {
        box = &AddEntity("Box", {0.0f, 0.0f}, {400.0f, 400.0f});
        AddSprite(*box, {0.0f, 1.0f, 0.0f});
        editor.inspected = box;
        OpenHeader("Inspector", "Transform");
    });
    Then([] {});
    Then([&] {
        EXPECT_GT(atCentre.g, atMoved.g + 20) << "drawn at the centre first";
        // The first "x:" box of the Transform is its position's.
        WindowInputText* x = Box(Inspector(), "x:");
        ASSERT_NE(x, nullptr);
        EXPECT_EQ(x->value, "0.0");
        x->buffer = "1000";
        x->onSubmit(*x);
    });
    Then([] {});
    Then([&] {
        EXPECT_EQ(box->GetComponent<Transform>()->position, (Vector2{1000.0f, 0.0f}));
        EXPECT_GT(atMoved.g, atCentre.g + 20) << "drawn 333 pixels to the right now";
    });
    Play();
}

struct BoxCase {
    const char* box;
    const char* entered;
    std::vector<std::string> components;
    // The trace entries the submit writes.
    std::vector<std::string> trace;
};

std::vector<std::string> NoSuchTypeTrace(const std::string& box, const std::string& name) {
    return {"WARNING: EditorSystem - " + box + " Component: \"" + name +
            "\" names no component type"};
}

TEST_F(EditorTest, AddAndRemoveComponentTakeExactTypeNames) {
    const std::vector<BoxCase> cases{
        {"Add Component:", "Transform", {"GameMaster", "Transform"}, {}},
        {"Add Component:", "transform", {"GameMaster"}, NoSuchTypeTrace("Add", "transform")},
        {"Add Component:", "Unknown", {"GameMaster"}, NoSuchTypeTrace("Add", "Unknown")},
        {"Remove Component:", "GameMaster", {}, {}},
        {"Remove Component:", "gamemaster", {"GameMaster"}, NoSuchTypeTrace("Remove", "gamemaster")},
        {"Remove Component:", "Physics", {"GameMaster"}, {}},
    };
    std::size_t traceStart = 0;
    // The steps run after the loop has ended, one case after the other: what they share lives
    // as long as they do.
    Entity* crate = nullptr;
    GameMaster* master = nullptr;
    for (const BoxCase& testCase : cases) {
        Then([&] {
            crate = &NewEntity("Crate");
            master = new GameMaster();
            crate->AddComponent(master);
            editor.inspected = crate;
        });
        Then([&, testCase] {
            WindowInputText* box = Box(Inspector(), testCase.box);
            ASSERT_NE(box, nullptr) << testCase.box;
            traceStart = TraceEnd();
            box->buffer = testCase.entered;
            box->onSubmit(*box);
        });
        Then([&, testCase] {
            SCOPED_TRACE(std::string(testCase.box) + " " + testCase.entered);
            EXPECT_EQ(ComponentNames(*crate), testCase.components);
            // An unknown name is said once; a name the entity lacks is no error.
            EXPECT_EQ(EntriesSince(traceStart), testCase.trace);
            // What the entity records is what its lists update, and nothing else of it.
            const bool keepsMaster = Contains(testCase.components, std::string("GameMaster"));
            EXPECT_EQ(Contains(InList<GameMaster>(), master), keepsMaster);
            if (Transform* transform = crate->GetComponent<Transform>()) {
                EXPECT_TRUE(
                    Contains(ComponentListSystem<Transform>::Instance().Layer(UpdateLayer::AVERAGE),
                             transform));
            }
            crate->Destroy();
        });
    }
    Play();
}

template <class T>
bool HasComponentOf(const Entity& entity) {
    return entity.GetComponent<T>() != nullptr;
}

struct TypeCase {
    std::string name;
    // Whether the entity reader builds exactly this type from an entry under its name.
    bool readByName;
    bool (*has)(const Entity&);
};

TEST_F(EditorTest, AddComponentStartsEveryTypeAsTheReaderStartsAnEntryWithoutData) {
    std::vector<TypeCase> cases;
#define COMPONENT_TYPE(Name, value, fanOutPosition, jsonKey)                   \
    cases.push_back({#Name,                                                    \
                     ComponentTypeFromJsonKey(#Name) == ComponentType::Name && \
                         std::string(#Name) != Collider::kComponentName,       \
                     &HasComponentOf<Name>});
#include "entities/ComponentTypes.def"

    Then([&] {
        for (const TypeCase& testCase : cases) {
            SCOPED_TRACE(testCase.name);
            const auto editor = componentEditors.find(testCase.name);
            ASSERT_NE(editor, componentEditors.end());
            Entity added("Added");
            editor->second.add(added, UpdateLayer::AVERAGE);
            EXPECT_TRUE(testCase.has(added));
            ASSERT_EQ(added.components.size(), 1u);
            EXPECT_EQ(added.components.begin()->second.layer, UpdateLayer::AVERAGE);
            if (testCase.readByName) {
                // A "Collider" entry builds a circle, a rectangle or a line, never a plain
                // Collider, so that type is not compared.
                Entity read("Read");
                Entity::from_json({{testCase.name, {{"Update layer", 2}}}}, read);
                EXPECT_EQ(Entity::to_json(added), Entity::to_json(read));
            }
        }
    });
    Play();
}

// Adding a type the entity already has used to replace the component with a fresh one (an
// emitter went to radius 0); it is refused with a warning and the component is kept as it is.
TEST_F(EditorTest, AddingATypeTheEntityHasIsRefusedAndKeepsTheComponent) {
    Entity* crate = nullptr;
    std::size_t baseline = 0;
    std::size_t traceStart = 0;
    Transform* first = nullptr;
    const auto addTransform = [&] {
        WindowInputText* box = Box(Inspector(), "Add Component:");
        ASSERT_NE(box, nullptr);
        box->buffer = "Transform";
        box->onSubmit(*box);
    };
    Then([&] {
        baseline = InList<Transform>().size();
        crate = &NewEntity("Crate");
        editor.inspected = crate;
    });
    // Twice within one frame (the first is still waiting to join its list), then once more in
    // the next one, after the first has been moved.
    Then([&] {
        traceStart = TraceEnd();
        addTransform();
        first = crate->GetComponent<Transform>();
        addTransform();
    });
    Then([&] {
        ASSERT_NE(first, nullptr);
        first->SetPosition({7.0f, 8.0f});
        addTransform();
    });
    Then([&] {
        EXPECT_EQ(crate->GetComponent<Transform>(), first);
        EXPECT_EQ(first->position, (Vector2{7.0f, 8.0f}));
        EXPECT_EQ(InList<Transform>().size(), baseline + 1);
        EXPECT_TRUE(Contains(InList<Transform>(), first));
        std::size_t refusals = 0;
        for (const std::string& entry : EntriesSince(traceStart)) {
            refusals += entry == "WARNING: EditorSystem - Add Component: Crate already has a "
                                 "Transform; nothing changed";
        }
        EXPECT_EQ(refusals, 2u);
        crate->Destroy();
    });
    // Freed with the entity: no transform is left behind with the freed entity as its owner.
    Then([&] { EXPECT_EQ(InList<Transform>().size(), baseline); });
    Play();
}

TEST_F(EditorTest, AddChildAttachesANewEntityAndTheCountFollows) {
    Entity* crate = nullptr;
    const auto countText = [&] {
        for (const std::string& text : Texts(editor.hierarchyWindow)) {
            if (text.starts_with("Entity count: ")) {
                return text;
            }
        }
        return std::string("no count");
    };
    Then([&] {
        crate = &NewEntity("Crate");
        editor.inspected = crate;
    });
    Then([&] {
        EXPECT_EQ(countText(), "Entity count: " + std::to_string(Entity::liveEntityCount));
        WindowInputText* box = Box(Inspector(), "Add Child:");
        ASSERT_NE(box, nullptr);
        box->buffer = "Lid";
        box->onSubmit(*box);
    });
    Then([&] {
        ASSERT_EQ(crate->children.size(), 1u);
        EXPECT_EQ(crate->children[0]->name, "Lid");
        EXPECT_EQ(crate->children[0]->parent, crate);
        EXPECT_EQ(countText(), "Entity count: " + std::to_string(Entity::liveEntityCount));
        crate->Destroy();
    });
    Then([&] {
        EXPECT_EQ(countText(), "Entity count: " + std::to_string(Entity::liveEntityCount));
        EXPECT_EQ(editor.inspected, nullptr);
        EXPECT_TRUE(Inspector()->root->children.empty());
    });
    Play();
}

std::vector<Vector2> Vertices(const Entity& entity) {
    return entity.GetComponent<ColliderLine>()->vertices;
}

TEST_F(EditorTest, LineVerticesGrowWithPushBackShrinkWithXAndTakeFieldEdits) {
    Entity* wall = nullptr;
    std::size_t traceStart = 0;
    const auto click = [&](const std::string& label) {
        const std::vector<WindowButton*> buttons = ButtonsStartingWith(Inspector(), label);
        ASSERT_EQ(buttons.size(), 1u) << label;
        buttons[0]->onClick(*buttons[0]);
    };
    const auto enter = [&](const std::string& label, const std::string& text, int nth) {
        std::vector<WindowInputText*> boxes;
        for (WindowInputText* box : All<WindowInputText>(Inspector())) {
            if (box->label == label) {
                boxes.push_back(box);
            }
        }
        ASSERT_GT(boxes.size(), static_cast<std::size_t>(nth)) << label;
        boxes[nth]->buffer = text;
        boxes[nth]->onSubmit(*boxes[nth]);
    };
    Then([&] {
        wall = &NewEntity("Wall");
        wall->AddComponent(new Transform());
        auto* line = new ColliderLine();
        line->vertices = {{1.0f, 2.0f}, {3.0f, 4.0f}};
        wall->AddComponent(line);
        editor.inspected = wall;
        OpenHeader("Inspector", "Collider");
    });
    Then([&] {
        // One X per real vertex; the template entry is not shown, but gives Push Back.
        std::vector<std::string> labels;
        for (const WindowButton* button : ButtonsStartingWith(Inspector(), "X##")) {
            labels.push_back(button->label);
        }
        EXPECT_EQ(labels, (std::vector<std::string>{"X##/vertices0", "X##/vertices1"}));
        EXPECT_EQ(ButtonsStartingWith(Inspector(), "Push Back##").size(), 1u);
        EXPECT_FALSE(Contains(Texts(Inspector()), std::string("2: ")));
        click("Push Back##/vertices");
    });
    Then([&] {
        EXPECT_EQ(Vertices(*wall),
                  (std::vector<Vector2>{{1.0f, 2.0f}, {3.0f, 4.0f}, {0.0f, 0.0f}}));
        click("X##/vertices0");
    });
    Then([&] {
        EXPECT_EQ(Vertices(*wall), (std::vector<Vector2>{{3.0f, 4.0f}, {0.0f, 0.0f}}));
        // The first "x:" box below the vertices is the first vertex's.
        enter("x:", "7", 1);
    });
    Then([&] {
        EXPECT_EQ(Vertices(*wall), (std::vector<Vector2>{{7.0f, 4.0f}, {0.0f, 0.0f}}));
        traceStart = TraceEnd();
        enter("x:", "\"seven\"", 1);
    });
    Then([&] {
        EXPECT_EQ(Vertices(*wall), (std::vector<Vector2>{{7.0f, 4.0f}, {0.0f, 0.0f}}));
        EXPECT_EQ(ErrorsSince(traceStart),
                  std::vector<std::string>{std::string(kConvertError) + "\"seven\""});
    });
    Play();
}

// Holds exactly two numbers, as "pair" followed by the editor's template entry; any other count
// is refused before anything is applied.
class PairComponent : public Component {
public:
    static constexpr const char* kComponentName = "Pair";

    PairComponent() : Component(kComponentName) {}

    void FromJson(const json& data) override {
        const json& pair = data.at("pair");
        if (pair.size() != 3) {
            throw std::invalid_argument("a pair has two numbers");
        }
        first = pair[0].get<int>();
        second = pair[1].get<int>();
    }
    json ToJson() const override {
        return {{"pair", {first, second, json::array({"template", 0})}}};
    }

    int first = 1;
    int second = 2;
};

struct RejectedCase {
    const char* button;
    json edited;
};

TEST_F(EditorTest, ArrayEditsTheComponentRefusesAreReportedAndChangeNothing) {
    const std::vector<RejectedCase> cases{
        {"X##/pair0", json::array({2, json::array({"template", 0})})},
        {"Push Back##/pair1", json::array({1, 2, 0, json::array({"template", 0})})},
    };
    Entity* holder = nullptr;
    PairComponent* pair = nullptr;
    Then([&] {
        holder = &NewEntity("Holder");
        pair = new PairComponent();
        holder->AddComponent(pair);
        editor.inspected = holder;
        OpenHeader("Inspector", PairComponent::kComponentName);
    });
    // The steps run after the loop has ended: what they share lives as long as they do.
    std::size_t traceStart = 0;
    for (const RejectedCase& testCase : cases) {
        Then([&, testCase] {
            const std::vector<WindowButton*> buttons =
                ButtonsStartingWith(Inspector(), testCase.button);
            ASSERT_EQ(buttons.size(), 1u) << testCase.button;
            traceStart = TraceEnd();
            buttons[0]->onClick(*buttons[0]);
        });
        Then([&, testCase] {
            SCOPED_TRACE(testCase.button);
            EXPECT_EQ(ErrorsSince(traceStart),
                      std::vector<std::string>{kConvertError + testCase.edited.dump(2)});
            EXPECT_EQ(pair->first, 1);
            EXPECT_EQ(pair->second, 2);
        });
    }
    Play();
    // Its list is no part of the engine's fan-out: its queue still holds the component.
    ComponentListSystem<PairComponent>::Instance().ShutDown();
}

std::filesystem::path SavedPath(const std::string& fileKey) {
    return std::filesystem::path(DataDirectory) / fileKey;
}

std::vector<std::string> FolderListing(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        names.push_back(std::filesystem::relative(entry.path(), folder).string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST_F(EditorTest, SaveToWritesIndentedJsonThatTheNextLoadSees) {
    tree.WriteFile("Data/Scenes/Crate.json", R"({"Old": null})");
    Entity* crate = nullptr;
    const std::string fileKey = "Scenes/Crate.json";
    Then([&] {
        // The cache holds the old content until the save reloads it.
        delete LoadEntity(fileKey);
        crate = &NewEntity("Crate");
        auto* transform = new Transform();
        transform->SetPosition({5.0f, 6.0f});
        crate->AddComponent(transform);
        crate->AddChild(new Entity("Lid"));
        editor.inspected = crate;
    });
    const auto saveTo = [&] {
        WindowInputText* box = Box(Inspector(), "Save To:");
        ASSERT_NE(box, nullptr);
        box->buffer = fileKey;
        box->onSubmit(*box);
    };
    // In Play the scene holds live play state: nothing is written.
    std::size_t traceStart = 0;
    Then([&] {
        traceStart = TraceEnd();
        saveTo();
    });
    Then([&] {
        EXPECT_EQ(ReadFileText(SavedPath(fileKey)), R"({"Old": null})");
        EXPECT_EQ(EntriesSince(traceStart),
                  std::vector<std::string>{
                      "WARNING: EditorSystem - Save To: not saved: Scenes/Crate.json: in Play the "
                      "scene holds live play state; switch to Edit to save"});
        engine.editing = true;
        saveTo();
    });
    Then([&] {
        const std::string text = ReadFileText(SavedPath(fileKey));
        const json saved = json::parse(text);
        EXPECT_EQ(text, saved.dump(2));
        EXPECT_EQ(saved, Entity::to_json(*crate));
        EXPECT_EQ(FolderListing(SavedPath("Scenes")), std::vector<std::string>{"Crate.json"});

        std::unique_ptr<Entity> loaded(LoadEntity(fileKey));
        ASSERT_EQ(loaded->children.size(), 1u);
        EXPECT_EQ(loaded->children[0]->name, "Lid");
        ASSERT_NE(loaded->GetComponent<Transform>(), nullptr);
        EXPECT_EQ(loaded->GetComponent<Transform>()->position, (Vector2{5.0f, 6.0f}));
    });
    Play();
}

struct FailedSaveCase {
    const char* name;
    std::string fileKey;
    // Whether the entity's text cannot be written at all.
    bool unwritableName;
    std::size_t errors;
};

constexpr const char* kAbsoluteSaveName = "/tmp/tarnwick-editor-absolute-save.json";

TEST_F(EditorTest, FailedOrEmptySavesLeaveTheDataAsItWas) {
    tree.WriteFile("Data/Scenes/Crate.json", R"({"Old": null})");
    tree.WriteFile("Data/Scenes/Inside/Kept.json", R"({"Kept": null})");
    const std::vector<FailedSaveCase> cases{
        {"empty name", "", false, 0},
        {"a folder in the way", "Scenes/Inside", false, 1},
        {"a missing folder", "Missing/Crate.json", false, 1},
        {"text that is not UTF-8", "Scenes/Crate.json", true, 1},
        // Names refused before anything is written: out of the data folder (never mirrored back,
        // or over someone's file), without the entity file's extension (never mirrored back),
        // over the engine's own files (the next start would lose its settings or a mesh).
        {"out of the data folder", "../Outside.json", false, 1},
        {"in and out again", "Scenes/../../Outside.json", false, 1},
        {"an absolute path", kAbsoluteSaveName, false, 1},
        {"no .json", "Scenes/Crate", false, 1},
        {"the settings router", "EngineSettingFiles/SettingsRouter.txt", false, 1},
        {"a settings file", "EngineSettingFiles/Settings.json", false, 1},
        {"a mesh", "Meshes/Crate.json", false, 1},
    };
    std::string router;
    std::string settings;
    // The steps run after the loop has ended, one case after the other: what they share lives
    // as long as they do.
    Entity* crate = nullptr;
    std::vector<std::string> before;
    std::size_t traceStart = 0;
    for (const FailedSaveCase& testCase : cases) {
        Then([&, testCase] {
            // Saving is done in Edit.
            engine.editing = true;
            crate = &NewEntity("Crate");
            crate->AddComponent(new Transform());
            if (testCase.unwritableName) {
                crate->AddChild(new Entity("\xff\xfe"));
            }
            editor.inspected = crate;
        });
        Then([&, testCase] {
            // The per-user folder holds the data folder and what lies beside it.
            before = FolderListing(std::filesystem::path(DataDirectory).parent_path().parent_path());
            router = ReadFileText(SavedPath("EngineSettingFiles/SettingsRouter.txt"));
            settings = ReadFileText(SavedPath("EngineSettingFiles/Settings.json"));
            traceStart = TraceEnd();
            WindowInputText* box = Box(Inspector(), "Save To:");
            ASSERT_NE(box, nullptr);
            box->buffer = testCase.fileKey;
            box->onSubmit(*box);
        });
        Then([&, testCase] {
            SCOPED_TRACE(testCase.name);
            std::vector<std::string> errors = ErrorsSince(traceStart);
            EXPECT_EQ(errors.size(), testCase.errors);
            for (const std::string& error : errors) {
                EXPECT_TRUE(error.starts_with("ERROR: EditorSystem - Save To: ")) << error;
            }
            std::vector<std::string> after =
                FolderListing(std::filesystem::path(DataDirectory).parent_path().parent_path());
            // The trace log is the one file that grows meanwhile.
            EXPECT_EQ(after, before);
            EXPECT_FALSE(std::filesystem::exists(kAbsoluteSaveName));
            EXPECT_EQ(ReadFileText(SavedPath("EngineSettingFiles/SettingsRouter.txt")), router);
            EXPECT_EQ(ReadFileText(SavedPath("EngineSettingFiles/Settings.json")), settings);
            EXPECT_EQ(ReadFileText(SavedPath("Scenes/Crate.json")), R"({"Old": null})");
            EXPECT_EQ(ReadFileText(SavedPath("Scenes/Inside/Kept.json")), R"({"Kept": null})");
            crate->Destroy();
        });
    }
    Play();
}

// Records where the GUI drew the item its widget drew last, and in which frame.
struct ItemPlace {
    ImVec2 min;
    ImVec2 max;
    int frame = -1;
};

class RecordPlace : public WindowObjectTrait {
public:
    RecordPlace(std::map<std::string, ItemPlace>& places, std::string key, const int& frame)
        : places(places), key(std::move(key)), frame(frame) {}

    void Apply() override {
        places[key] = {ImGui::GetItemRectMin(), ImGui::GetItemRectMax(), frame};
    }

private:
    std::map<std::string, ItemPlace>& places;
    std::string key;
    const int& frame;
};

// The editor used with the mouse and the keyboard: real X input on an X server of the test's
// own, into the real engine loop.
class EditorXInputTest : public InGameTest {
protected:
    void SetUp() override {
        const std::filesystem::path shipped = std::filesystem::path(TARNWICK_SOURCE_DIR) / "Data";
        std::filesystem::copy_file(shipped / "DefaultInputMappings.txt",
                                   tree.root() / "Data" / "DefaultInputMappings.txt");
        tree.WriteFile("Data/EngineSettingFiles/SettingsRouter.txt", "Edit.json");
        tree.WriteFile("Data/EngineSettingFiles/Edit.json",
                       R"({"defaultEntityFile": "", "runOnStart": "0"})");
    }

    // Steps that wait until a recorded item is drawn, then press a mouse button over its middle
    // and let it go, so the GUI sees the pointer, the press and the release in that order.
    void ClickOn(const std::string& key, int button = DisplayWindow::kLeftButton) {
        Until([this, key] { return DrawnThisFrame(key); });
        Click(
            [this, key] {
                const ItemPlace& place = places.at(key);
                return std::pair{static_cast<int>((place.min.x + place.max.x) / 2),
                                 static_cast<int>((place.min.y + place.max.y) / 2)};
            },
            button);
    }

    // Clicks into a box of the Inspector, types `text` and holds Enter down; a later step lets
    // it go.
    void TypeInto(const std::string& box, const std::string& text) {
        ClickOn(box);
        Until([] { return ImGui::GetIO().WantTextInput; });
        Type(text);
        KeyDown("Return");
    }

    // Makes every row of the Hierarchy (rebuilt whenever drawn) and every box of the Inspector
    // (rebuilt every frame) record where they were drawn, keyed by what they are.
    void RecordPlaces() {
        EditorSystem& editor = EditorSystem::Instance();
        auto& originRow = static_cast<WindowSection&>(*editor.hierarchyWindow->root->children[1]);
        RecordRow(originRow, "OriginEntity");
        WindowObjectCallback rebuildInspector = editor.inspectorWindow->root->onDraw;
        editor.inspectorWindow->root->onDraw = [this, rebuildInspector](WindowObject& root) {
            rebuildInspector(root);
            for (WindowInputText* box :
                 All<WindowInputText>(EditorSystem::Instance().inspectorWindow)) {
                box->traits.push_back(
                    std::make_unique<RecordPlace>(places, box->label, probe.frame));
            }
        };
    }

    // A row: [select button, header whose content lists the children's rows].
    void RecordRow(WindowSection& row, const std::string& name) {
        row.children[0]->traits.push_back(
            std::make_unique<RecordPlace>(places, "select " + name, probe.frame));
        auto& header = static_cast<WindowDropdown&>(*row.children[1]);
        header.traits.push_back(
            std::make_unique<RecordPlace>(places, "header " + name, probe.frame));
        auto& popup = static_cast<TraitPopup&>(*header.traits[0]);
        popup.content->children[0]->traits.push_back(
            std::make_unique<RecordPlace>(places, "delete " + name, probe.frame));
        WindowObjectCallback rebuild = header.content->onDraw;
        header.content->onDraw = [this, rebuild](WindowObject& object) {
            rebuild(object);
            for (const auto& child : static_cast<WindowSection&>(object).children) {
                auto& childRow = static_cast<WindowSection&>(*child);
                const auto& childHeader = static_cast<WindowDropdown&>(*childRow.children[1]);
                RecordRow(childRow, childHeader.label.substr(0, childHeader.label.find("##")));
            }
        };
    }

    bool DrawnThisFrame(const std::string& key) const {
        const auto found = places.find(key);
        return found != places.end() && found->second.frame == probe.frame;
    }

    std::map<std::string, ItemPlace> places;
};

TEST_F(EditorXInputTest, ClicksAndTypingSelectEditAndDeleteAndF1TogglesTheWindows) {
    EditorSystem& editor = EditorSystem::Instance();
    Entity* crate = nullptr;
    std::string addBoxAfterSubmit = "(never read)";
    std::string saveBoxAfterSubmit = "(never read)";
    const auto visible = [&](WindowRenderState state) {
        return editor.hierarchyWindow->renderState == state &&
               editor.inspectorWindow->renderState == state;
    };

    // Open the root's header, then the crate's: the lid's row shows.
    ClickOn("header OriginEntity");
    ClickOn("header Crate");
    Until([&] { return DrawnThisFrame("select Lid"); });
    // Select the crate: the Inspector shows it, and its header stays open.
    ClickOn("select Crate");
    Until([&] {
        return editor.inspected == crate &&
               Contains(Texts(editor.inspectorWindow), std::string("Crate"));
    });
    Do([&] { EXPECT_TRUE(DrawnThisFrame("select Lid")) << "the crate's header closed"; });
    // Type a component name and press Enter: the box empties again.
    TypeInto("Add Component:", "Transform");
    Until([&] { return crate->GetComponent<Transform>() != nullptr; });
    KeyUp("Return");
    Do([&] {
        EXPECT_TRUE(Contains(ComponentListSystem<Transform>::Instance().Layer(UpdateLayer::AVERAGE),
                             crate->GetComponent<Transform>()));
    });
    Until([&] {
        addBoxAfterSubmit = Box(editor.inspectorWindow, "Add Component:")->value;
        return addBoxAfterSubmit.empty();
    });
    // Save it under a typed name: the box keeps showing the name.
    // The data directory is the per-user one only once the engine has started.
    const auto saved = [] { return std::filesystem::path(DataDirectory) / "Typed.json"; };
    TypeInto("Save To:", "Typed.json");
    Until([&] { return std::filesystem::exists(saved()); });
    KeyUp("Return");
    Do([&] { EXPECT_EQ(json::parse(ReadFileText(saved())), Entity::to_json(*crate)); });
    Until([&] {
        saveBoxAfterSubmit = Box(editor.inspectorWindow, "Save To:")->value;
        return saveBoxAfterSubmit == "Typed.json";
    });
    // F1 hides both windows and shows them again.
    PressKey("F1");
    Until([&] {
        return visible(WindowRenderState::INVISIBLE) && !Drawn("Hierarchy") && !Drawn("Inspector");
    });
    PressKey("F1");
    Until([&] {
        return visible(WindowRenderState::VISIBLE) && Drawn("Hierarchy") && Drawn("Inspector");
    });
    // While paused the game takes no key, but the tool toggles still work.
    Do([&] { engine.paused = true; });
    PressKey("F1");
    Until([&] {
        return visible(WindowRenderState::INVISIBLE) && !Drawn("Hierarchy") && !Drawn("Inspector");
    });
    PressKey("F1");
    Until([&] {
        return visible(WindowRenderState::VISIBLE) && Drawn("Hierarchy") && Drawn("Inspector");
    });
    Do([&] { engine.paused = false; });
    // The crate's right-click menu, left without a choice: the click that goes elsewhere (the
    // lid's select button) closes it and does what it points at.
    ClickOn("header Crate", DisplayWindow::kRightButton);
    Until([&] { return DrawnThisFrame("delete Crate"); });
    ClickOn("select Lid");
    Until([&] {
        return editor.inspected == crate->children.front() &&
               !ImGui::IsPopupOpen("", ImGuiPopupFlags_AnyPopupId);
    });
    // Right-click the crate's header and choose "Delete Entity": the Inspector empties (it
    // showed the lid, which goes with the crate) and the menu closes on the choice.
    ClickOn("header Crate", DisplayWindow::kRightButton);
    ClickOn("delete Crate");
    Until([&] {
        return editor.inspected == nullptr && editor.inspectorWindow->root->children.empty() &&
               !ImGui::IsPopupOpen("", ImGuiPopupFlags_AnyPopupId);
    });
    Do([&] { EXPECT_TRUE(engine.originEntity->children.empty()); });

    Play([&] {
        crate = new Entity("Crate");
        crate->AddChild(new Entity("Lid"));
        engine.originEntity->AddChild(crate);
        RecordPlaces();
    });
    EXPECT_EQ(addBoxAfterSubmit, "");
    EXPECT_EQ(saveBoxAfterSubmit, "Typed.json");
}

}  // namespace

namespace {

// The shipped first level opened in Edit, as a designer opens it.
class EditorHistoryTest : public EditorTest {
protected:
    void SetUp() override {
        tree.CopyShippedData();
        tree.WriteFile("Data/EngineSettingFiles/SettingsRouter.txt", "Edit.json");
        tree.WriteFile("Data/EngineSettingFiles/Edit.json",
                       R"({"defaultEntityFile": "Scenes/MainScene.json", "runOnStart": "0"})");
    }

    static Entity& SceneChild(const std::string& name) {
        for (Entity* child : SceneSystem::Instance().currentScene->children) {
            if (child->name == name) {
                return *child;
            }
        }
        throw std::runtime_error("the scene has no " + name);
    }

    // Selects `entity` and submits `text` in the Inspector's box `label` (drawn in the frame
    // before, so the step after the selection does it).
    void Submit(const std::function<Entity&()>& entity, const std::string& label,
                const std::string& text, const char* openHeader = nullptr) {
        Then([this, entity, openHeader] {
            editor.inspected = &entity();
            if (openHeader != nullptr) {
                OpenHeader("Inspector", openHeader);
            }
        });
        Then([this, label, text] {
            WindowInputText* box = Box(Inspector(), label);
            ASSERT_NE(box, nullptr) << label;
            box->buffer = text;
            box->onSubmit(*box);
        });
    }

    void Press(const std::function<Entity&()>& entity, const std::string& prefix,
               const char* openHeader) {
        Then([this, entity, openHeader] {
            editor.inspected = &entity();
            OpenHeader("Inspector", openHeader);
        });
        Then([this, prefix] {
            const std::vector<WindowButton*> buttons = ButtonsStartingWith(Inspector(), prefix);
            ASSERT_FALSE(buttons.empty()) << prefix;
            buttons.front()->onClick(*buttons.front());
        });
    }

    static std::string SaveScene() {
        EngineSettingsSystem::Instance().SaveCurrentScene();
        return ReadFileText(SavedPath("Scenes/MainScene.json"));
    }
};

}  // namespace

// Every kind of editor change, undone to the last one: the saved scene is the original file byte
// for byte; redone: the save of the edits again.
TEST_F(EditorHistoryTest, UndoingEveryChangeSavesTheOriginalFileAndRedoingSavesTheEdits) {
    const auto player = [] () -> Entity& { return SceneChild("Player"); };
    const auto lamp = [] () -> Entity& { return SceneChild("Lamp0"); };
    const auto level = [] () -> Entity& { return SceneChild("Level"); };
    const auto fence = [] () -> Entity& { return *SceneChild("Level").children.back(); };
    std::string original;
    std::string edited;
    std::string undoneSave;
    std::string redoneSave;
    int undone = 0;
    int redone = 0;
    std::size_t traceStart = 0;
    std::string savedAgain;
    // Held still in Edit, the scene is what its file and its first update make of it: the tile
    // map built, the enemies heading for the player.
    runner.steps.push_back([] {
        const Tilemap* map = SceneChild("BorderWalls").GetComponent<Tilemap>();
        return map != nullptr && !map->recreateMap;
    });
    // The generator writes the scene in its own way; the first save writes it in the engine's,
    // and from then on a save of the unchanged scene changes no byte.
    Then([&] {
        ASSERT_TRUE(engine.editing && engine.paused) << "the settings open the scene in Edit";
        original = SaveScene();
        savedAgain = SaveScene();
        traceStart = TraceEnd();
    });
    Submit(player, "x:", "-1000", "Transform");
    Submit(player, "Add Component:", "SoundEffect");
    Submit(player, "sound name:", "\"beep.ogg\"", "SoundEffect");
    Submit(lamp, "Remove Component:", "Emitter");
    Submit(level, "Add Child:", "Fence");
    Submit(fence, "Add Component:", "ColliderLine");
    Press(fence, "Push Back##", "Collider");
    Press(fence, "Push Back##", "Collider");
    Press(fence, "X##", "Collider");
    Then([&] { EXPECT_TRUE(SceneEdits::DeleteEntity(SceneChild("Enemy0"))); });
    Then([&] {
        EXPECT_EQ(ErrorsSince(traceStart), std::vector<std::string>{});
        EXPECT_EQ(player().GetComponent<Transform>()->position.x, -1000.0f);
        EXPECT_EQ(player().GetComponent<SoundEffect>()->soundName, "beep.ogg");
        EXPECT_EQ(lamp().GetComponent<Emitter>(), nullptr);
        edited = SaveScene();
        while (EditHistory::Instance().Undo()) {
            ++undone;
        }
    });
    Then([&] {
        undoneSave = SaveScene();
        while (EditHistory::Instance().Redo()) {
            ++redone;
        }
    });
    Then([&] { redoneSave = SaveScene(); });
    Play();
    EXPECT_EQ(undone, 10);
    EXPECT_EQ(redone, 10);
    EXPECT_TRUE(savedAgain == original) << "a save of the unchanged scene changes nothing";
    EXPECT_LT(original.size(), 60000u) << "the tile map's tiles are made from the map, not saved";
    EXPECT_NE(edited, original);
    EXPECT_TRUE(undoneSave == original) << "undoing every change saves the original bytes";
    EXPECT_TRUE(redoneSave == edited) << "redoing them saves the edited bytes";
    const json saved = json::parse(edited);
    EXPECT_EQ(saved.at("Player").at("Transform").at("Transform").at("position").at("x"), -1000.0);
    EXPECT_FALSE(saved.contains("Enemy0"));
    EXPECT_FALSE(saved.at("Lamp0").contains("Emitter"));
    EXPECT_EQ(saved.at("Player").at("SoundEffect").at("SoundEffect").at("sound name"), "beep.ogg");
    EXPECT_TRUE(saved.at("Level").contains("Fence"));
}
