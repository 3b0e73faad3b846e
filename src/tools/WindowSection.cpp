#include "tools/WindowSection.h"

#include <algorithm>
#include <cstddef>
#include <iostream>
#include <utility>

#include <imgui.h>

#include "tools/WindowDragSource.h"
#include "tools/WindowDragTarget.h"

std::map<std::string, std::vector<int>> sectionOrders;

namespace {
constexpr float kPreviewIndent = 15.0f;

void IndentBy(float amount) {
    if (amount != 0.0f) {
        ImGui::Indent(amount);
    }
}

void UnindentBy(float amount) {
    if (amount != 0.0f) {
        ImGui::Unindent(amount);
    }
}
}  // namespace

WindowSection::WindowSection(std::vector<std::unique_ptr<WindowObject>> children, float childIndent,
                             WindowObjectDescription description, std::string orderKey)
    : WindowObject(std::move(description)),
      children(std::move(children)),
      childIndent(childIndent),
      orderKey(std::move(orderKey)) {}

WindowSectionMode WindowSection::Mode() const {
    return orderKey.empty() ? WindowSectionMode::NORMAL : WindowSectionMode::REARRANGEABLE;
}

void WindowSection::Update() {
    if (Mode() == WindowSectionMode::REARRANGEABLE) {
        DrawRearrangeable();
        return;
    }
    IndentBy(childIndent);
    // Indexed: a child's callback may not add children, but it may rebuild its own subtree.
    for (std::size_t i = 0; i < children.size(); ++i) {
        children[i]->Draw();
    }
    UnindentBy(childIndent);
}

void WindowSection::DrawRearrangeable() {
    const int count = static_cast<int>(children.size());
    std::vector<int>& stored = sectionOrders[orderKey];
    // New children appear at the end; indices that no longer name a child are dropped, so a
    // section that lost children never draws past its list.
    std::erase_if(stored, [count](int index) { return index < 0 || index >= count; });
    for (int index = 0; index < count; ++index) {
        if (std::find(stored.begin(), stored.end(), index) == stored.end()) {
            stored.push_back(index);
        }
    }
    // This frame is drawn in the order it started with; a drop shows from the next frame.
    const std::vector<int> order = stored;

    std::vector<std::unique_ptr<WindowDragSource<int>>> sources;
    for (int position = 0; position < count; ++position) {
        sources.push_back(std::make_unique<WindowDragSource<int>>(
            position, orderKey + std::to_string(position),
            std::make_unique<WindowSection>(std::vector<std::unique_ptr<WindowObject>>{},
                                            kPreviewIndent),
            WindowObjectDescription{}));
    }

    IndentBy(childIndent);
    for (int position = 0; position < count; ++position) {
        children[static_cast<std::size_t>(order[static_cast<std::size_t>(position)])]->Draw();
        sources[static_cast<std::size_t>(position)]->Update();
        for (int from = 0; from < count; ++from) {
            WindowDragTarget<int> target(orderKey + std::to_string(from),
                                         [this, position](const int& payload) {
                                             std::cout << payload << " onto " << position
                                                       << std::endl;
                                             std::vector<int>& current = sectionOrders[orderKey];
                                             if (payload < 0 ||
                                                 payload >= static_cast<int>(current.size())) {
                                                 return;
                                             }
                                             const int moved = current[static_cast<std::size_t>(payload)];
                                             current.erase(current.begin() + payload);
                                             current.insert(current.begin() + position, moved);
                                         },
                                         WindowObjectDescription{});
            target.Update();
        }
    }
    UnindentBy(childIndent);
}
