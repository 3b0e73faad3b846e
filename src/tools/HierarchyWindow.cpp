#include "tools/HierarchyWindow.h"

#include <string>
#include <utility>

#include <imgui.h>

#include "entities/Entity.h"
#include "tools/EditorWidgets.h"
#include "tools/SceneEdits.h"
#include "tools/TraitPopup.h"
#include "tools/UniqueId.h"
#include "tools/WindowButton.h"
#include "tools/WindowDropdown.h"
#include "tools/WindowText.h"

namespace {

constexpr const char* kWindowName = "Hierarchy";
// On the left above the Inspector, clear of the game's centre; the right side of the 1080 x 720
// game window belongs to the performance, input and settings windows.
const Vector2 kPosition{0.0f, 0.0f};
const Vector2 kSize{240.0f, 300.0f};

constexpr const char* kEntityCountPrefix = "Entity count: ";
constexpr const char* kDeleteEntityLabel = "Delete Entity";
constexpr const char* kPopupPrefix = "HierarchyPopup##";

}  // namespace

HierarchyWindow::HierarchyWindow(Entity* root, Entity*& selection)
    : Window(kWindowName), selection(selection) {
    initialPosition = kPosition;
    initialSize = kSize;
    AddObject(std::make_unique<WindowText>(kEntityCountPrefix, DrawnBy([](WindowObject& object) {
                                               static_cast<WindowText&>(object).text =
                                                   kEntityCountPrefix +
                                                   std::to_string(Entity::liveEntityCount);
                                           })));
    AddObject(CreateEntitySection(root));
}

std::unique_ptr<WindowSection> HierarchyWindow::CreateEntitySection(Entity* entity) {
    const std::string identity = IdentityOf(entity);
    // Reset before the identifiers are taken: the Inspector takes identifiers from the same name,
    // and a row rebuilt after it must still get the identifiers of its predecessor, or selecting
    // an entity would close its header.
    ResetUniqueId(identity);

    WindowObjects popupItems;
    popupItems.push_back(std::make_unique<WindowButton>(
        kDeleteEntityLabel, [entity](WindowButton&) {
            SceneEdits::DeleteEntity(*entity);
            // The choice is made: the popup goes, and the next click goes where it points.
            ImGui::CloseCurrentPopup();
        }));
    auto popup = std::make_unique<TraitPopup>(
        kPopupPrefix + identity, EditorSection(std::move(popupItems), kEditorFlatIndent));

    // Rebuilt whenever it is drawn, that is while the header is open, so an open subtree always
    // shows the current children and a closed one costs nothing.
    auto children =
        EditorSection({}, kEditorNestedIndent, DrawnBy([this, entity](WindowObject& object) {
                          auto& section = static_cast<WindowSection&>(object);
                          section.children.clear();
                          for (Entity* child : entity->children) {
                              section.children.push_back(CreateEntitySection(child));
                          }
                      }));

    WindowObjectDescription dropdownDescription = DrawnBy(KeepOnLine);
    dropdownDescription.traits.push_back(std::move(popup));
    const std::string headerLabel = entity->name + MakeUniqueId(identity);
    auto dropdown = std::make_unique<WindowDropdown>(
        headerLabel, std::move(children), DropdownCallback{}, std::move(dropdownDescription));

    // A label of nothing but an identifier: a small empty button.
    auto select = std::make_unique<WindowButton>(
        MakeUniqueId(identity), [this, entity](WindowButton&) { selection = entity; });

    WindowObjects row;
    row.push_back(std::move(select));
    row.push_back(std::move(dropdown));
    return EditorSection(std::move(row), kEditorNestedIndent);
}
