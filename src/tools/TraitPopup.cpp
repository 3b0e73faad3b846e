#include "tools/TraitPopup.h"

#include <utility>

#include <imgui.h>

namespace {
constexpr ImGuiMouseButton kRightButton = ImGuiMouseButton_Right;
}  // namespace

TraitPopup::TraitPopup(std::string popupName, std::unique_ptr<WindowSection> content)
    : popupName(std::move(popupName)), content(std::move(content)) {}

void TraitPopup::Apply() {
    if (ImGui::IsItemHovered() && ImGui::IsMouseReleased(kRightButton)) {
        ImGui::OpenPopup(popupName.c_str());
    }
    if (ImGui::BeginPopup(popupName.c_str())) {
        if (content) {
            content->Update();
        }
        ImGui::EndPopup();
    }
}
