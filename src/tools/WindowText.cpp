#include "tools/WindowText.h"

#include <algorithm>
#include <utility>

#include <imgui.h>
#include <imgui_internal.h>

#include "tools/UniqueId.h"

namespace {
constexpr const char* kIdSeparator = "##";
// The GUI library refuses an invisible button of zero size; an empty text still gets an item.
constexpr float kMinimumItemSize = 1.0f;
}  // namespace

WindowText::WindowText(const std::string& given, WindowObjectDescription description)
    : WindowObject(std::move(description)) {
    const std::size_t first = given.find(kIdSeparator);
    const std::size_t second =
        first == std::string::npos ? std::string::npos : given.find(kIdSeparator, first + 2);
    if (first != std::string::npos && second == std::string::npos) {
        text = given.substr(0, first);
        id = given.substr(first + 2);
    } else {
        text = given.substr(0, first);
        id = MakeUniqueId();
    }
}

void WindowText::Update() {
    ImGui::TextUnformatted(text.c_str(), text.c_str() + text.size());
    ImGui::SameLine();
    // Back to where the text began, so the invisible button lies over it.
    const float back = ImGui::CalcTextSize(text.c_str(), text.c_str() + text.size()).x +
                       ImGui::CalcTextSize(" ").x;
    ImGui::SetCursorPosX(ImGui::GetCursorPosX() - back);
    const ImVec2 size = ImGui::CalcTextSize(text.c_str(), text.c_str() + text.size());
    ImGui::InvisibleButton(id.empty() ? "##EmptyText" : id.c_str(),
                           ImVec2(std::max(size.x, kMinimumItemSize),
                                  std::max(size.y, kMinimumItemSize)));
    if (!text.empty()) {
        OutlineLastItem();
    }
    // A line cut off by the window's edge is shown whole while the pointer rests on it.
    if (ImGui::IsItemHovered() &&
        ImGui::GetItemRectMax().x > ImGui::GetCurrentWindowRead()->InnerClipRect.Max.x) {
        ImGui::BeginTooltip();
        ImGui::TextUnformatted(text.c_str(), text.c_str() + text.size());
        ImGui::EndTooltip();
    }
}
