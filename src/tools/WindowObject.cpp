#include "tools/WindowObject.h"

#include <utility>

#include <imgui.h>

namespace {
constexpr ImU32 kOutlineColor = IM_COL32(255, 0, 0, 255);
constexpr float kOutlineThickness = 1.0f;
constexpr float kOutlinePadding = 2.0f;
}  // namespace

bool showTextboxes = true;

WindowObject::WindowObject(WindowObjectDescription description)
    : indent(description.indent),
      onDraw(description.onDraw ? std::move(description.onDraw) : [](WindowObject&) {}),
      traits(std::move(description.traits)) {}

void WindowObject::Update() {}

void WindowObject::Draw() {
    // The indent spacing is 0 in the tool windows, so 0 means no indentation at all; the GUI
    // library reads 0 as "its default spacing", hence the guard.
    if (indent != 0.0f) {
        ImGui::Indent(indent);
    }
    onDraw(*this);
    Update();
    for (const auto& trait : traits) {
        trait->Apply();
    }
    if (indent != 0.0f) {
        ImGui::Unindent(indent);
    }
}

void WindowObject::OutlineLastItem() {
    if (showTextboxes) {
        // A line is drawn on the inside of the rectangle it is given, where the first and last
        // letters stand: the rectangle is widened so the line runs around the text.
        const ImVec2 pad(kOutlinePadding, kOutlinePadding);
        const ImVec2 min = ImGui::GetItemRectMin();
        const ImVec2 max = ImGui::GetItemRectMax();
        ImGui::GetWindowDrawList()->AddRect(ImVec2(min.x - pad.x, min.y - pad.y),
                                            ImVec2(max.x + pad.x, max.y + pad.y), kOutlineColor,
                                            0.0f, 0, kOutlineThickness);
    }
}
