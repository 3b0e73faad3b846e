#include "tools/WindowDropdown.h"

#include <utility>

#include <imgui.h>

namespace {
constexpr const char* kPopupSuffix = "##DropdownPopup";
}  // namespace

WindowDropdown::WindowDropdown(std::string label, std::unique_ptr<WindowObject> content,
                               DropdownCallback onOpen, WindowObjectDescription description)
    : WindowObject(std::move(description)),
      label(std::move(label)),
      content(std::move(content)),
      onOpen(std::move(onOpen)) {}

void WindowDropdown::Update() {
    const bool open = ImGui::CollapsingHeader(label.c_str());
    const ImVec2 headerMin = ImGui::GetItemRectMin();
    const ImVec2 headerSize = ImGui::GetItemRectSize();
    OutlineLastItem();
    if (open) {
        if (onOpen) {
            onOpen(*this);
        }
        if (content) {
            content->Draw();
        }
    }
    // Over the header without moving anything below it.
    const ImVec2 cursor = ImGui::GetCursorPos();
    ImGui::Dummy(ImVec2(0.0f, 0.0f));
    ImGui::SetCursorScreenPos(headerMin);
    ImGui::InvisibleButton((label + kPopupSuffix).c_str(), headerSize);
    ImGui::SetCursorPos(cursor);
}
