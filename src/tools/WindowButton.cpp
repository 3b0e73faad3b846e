#include "tools/WindowButton.h"

#include <utility>

#include <imgui.h>

WindowButton::WindowButton(std::string label, ButtonCallback onClick,
                           WindowObjectDescription description)
    : WindowObject(std::move(description)), label(std::move(label)), onClick(std::move(onClick)) {}

void WindowButton::Update() {
    if (ImGui::Button(label.c_str()) && onClick) {
        onClick(*this);
    }
}
