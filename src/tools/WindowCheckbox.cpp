#include "tools/WindowCheckbox.h"

#include <utility>

#include <imgui.h>

WindowCheckbox::WindowCheckbox(std::string label, bool checked, CheckboxCallback onToggle,
                               WindowObjectDescription description)
    : WindowObject(std::move(description)),
      label(std::move(label)),
      checked(checked),
      onToggle(std::move(onToggle)) {}

void WindowCheckbox::Update() {
    if (ImGui::Checkbox(label.c_str(), &checked) && onToggle) {
        onToggle(*this);
    }
}
