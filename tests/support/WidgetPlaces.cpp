#include "support/WidgetPlaces.h"

#include <cmath>
#include <memory>

#include <imgui_internal.h>

#include "tools/TraitPopup.h"
#include "tools/WindowButton.h"
#include "tools/WindowCheckbox.h"
#include "tools/WindowDropdown.h"
#include "tools/WindowInputText.h"
#include "tools/WindowObjectTrait.h"
#include "tools/WindowSection.h"

namespace {

// A label's visible part: what comes before "##" (or "###"), its first line only.
std::string Visible(const std::string& label) {
    const std::string shown = label.substr(0, label.find("##"));
    return shown.substr(0, shown.find('\n'));
}

// The key of a widget whose label may change while it lives (the Edit/Play button): read when
// it is drawn.
std::string KeyOf(const WindowObject& object) {
    if (const auto* box = dynamic_cast<const WindowInputText*>(&object)) {
        return box->label;
    }
    if (const auto* checkbox = dynamic_cast<const WindowCheckbox*>(&object)) {
        return checkbox->label;
    }
    if (const auto* button = dynamic_cast<const WindowButton*>(&object)) {
        return Visible(button->label);
    }
    if (const auto* dropdown = dynamic_cast<const WindowDropdown*>(&object)) {
        return Visible(dropdown->label);
    }
    return {};
}

class RecordTrait : public WindowObjectTrait {
public:
    RecordTrait(WidgetPlaces& places, const WindowObject& object, std::string fixedKey)
        : places(places), object(object), fixedKey(std::move(fixedKey)) {}
    void Apply() override { places.Record(fixedKey.empty() ? KeyOf(object) : fixedKey); }

private:
    WidgetPlaces& places;
    const WindowObject& object;
    std::string fixedKey;
};

// Marks an object as tracked, so that a section drawn again is not tracked twice.
class TrackedMark : public WindowObjectTrait {
public:
    void Apply() override {}
};

bool Tracked(const WindowObject& object) {
    for (const auto& trait : object.traits) {
        if (dynamic_cast<const TrackedMark*>(trait.get()) != nullptr) {
            return true;
        }
    }
    return false;
}

}  // namespace

void WidgetPlaces::Record(const std::string& key) {
    Place& place = places[key];
    if (place.frame == frame) {
        return;
    }
    place = {ImGui::GetItemRectMin(), ImGui::GetItemRectMax(), frame};
}

void WidgetPlaces::Attach(WindowObject& object, const std::string& key) {
    object.traits.push_back(std::make_unique<RecordTrait>(*this, object, key));
}

void WidgetPlaces::Track(WindowObject& root) {
    if (Tracked(root)) {
        return;
    }
    root.traits.push_back(std::make_unique<TrackedMark>());
    if (dynamic_cast<WindowInputText*>(&root) != nullptr ||
        dynamic_cast<WindowCheckbox*>(&root) != nullptr) {
        Attach(root, {});
    }
    if (auto* button = dynamic_cast<WindowButton*>(&root)) {
        // A label of nothing but an identifier is a Hierarchy row's select button; its key comes
        // from the row's header.
        if (!Visible(button->label).empty()) {
            Attach(*button, {});
        }
    }
    if (auto* section = dynamic_cast<WindowSection*>(&root)) {
        // A Hierarchy row: [select button, header].
        if (section->children.size() == 2) {
            auto* select = dynamic_cast<WindowButton*>(section->children[0].get());
            auto* header = dynamic_cast<WindowDropdown*>(section->children[1].get());
            if (select != nullptr && header != nullptr && Visible(select->label).empty()) {
                Attach(*select, "select " + Visible(header->label));
            }
        }
        for (const auto& child : section->children) {
            Track(*child);
        }
        // A section that rebuilds its children when drawn: the new ones are tracked.
        WindowObjectCallback draw = section->onDraw;
        section->onDraw = [this, draw](WindowObject& object) {
            draw(object);
            TrackChildren(object);
        };
    }
    if (auto* dropdown = dynamic_cast<WindowDropdown*>(&root)) {
        Attach(*dropdown, {});
        for (const auto& trait : dropdown->traits) {
            if (auto* popup = dynamic_cast<TraitPopup*>(trait.get())) {
                Track(*popup->content);
            }
        }
        if (dropdown->content) {
            Track(*dropdown->content);
        }
        DropdownCallback open = dropdown->onOpen;
        if (open) {
            dropdown->onOpen = [this, open](WindowDropdown& opened) {
                open(opened);
                TrackChildren(*opened.content);
            };
        }
    }
}

void WidgetPlaces::TrackChildren(WindowObject& object) {
    for (const auto& child : static_cast<WindowSection&>(object).children) {
        Track(*child);
    }
}

bool WidgetPlaces::DrawnNow(const std::string& key) const {
    const auto found = places.find(key);
    return found != places.end() && found->second.frame == frame;
}

std::pair<int, int> WidgetPlaces::Centre(const std::string& key) const {
    const Place& place = places.at(key);
    return {static_cast<int>(std::lround((place.min.x + place.max.x) / 2)),
            static_cast<int>(std::lround((place.min.y + place.max.y) / 2))};
}

bool WidgetPlaces::ShownWhole(const std::string& key, const char* windowName) const {
    const ImGuiWindow* window = ImGui::FindWindowByName(windowName);
    const auto found = places.find(key);
    if (window == nullptr || found == places.end()) {
        return false;
    }
    const ImRect visible = window->InnerClipRect;
    return visible.Contains(ImRect(found->second.min, found->second.max));
}
