#include "tools/EditorWidgets.h"

#include <cstdint>
#include <utility>

#include <imgui.h>

std::unique_ptr<WindowSection> EditorSection(WindowObjects children, float childIndent,
                                             WindowObjectDescription description) {
    return std::make_unique<WindowSection>(std::move(children), childIndent,
                                           std::move(description));
}

WindowObjectDescription DrawnBy(WindowObjectCallback onDraw) {
    WindowObjectDescription description;
    description.onDraw = std::move(onDraw);
    return description;
}

void KeepOnLine(WindowObject&) {
    ImGui::SameLine();
}

std::string IdentityOf(const void* object) {
    return std::to_string(reinterpret_cast<std::uintptr_t>(object));
}
