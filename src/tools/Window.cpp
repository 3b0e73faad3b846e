#include "tools/Window.h"

#include <utility>
#include <vector>

#include <imgui.h>

Window::Window(std::string name)
    : name(std::move(name)),
      root(std::make_unique<WindowSection>(std::vector<std::unique_ptr<WindowObject>>{}, 0.0f)) {}

void Window::AddObject(std::unique_ptr<WindowObject> object) {
    root->children.push_back(std::move(object));
}

void Window::Draw() {
    if (initialPosition) {
        ImGui::SetNextWindowPos(ImVec2(initialPosition->x, initialPosition->y),
                                ImGuiCond_FirstUseEver);
    }
    if (initialSize) {
        ImGui::SetNextWindowSize(ImVec2(initialSize->x, initialSize->y), ImGuiCond_FirstUseEver);
    }
    // No close button: the owning tool system shows and hides the window.
    ImGui::Begin(name.c_str());
    root->Draw();
    ImGui::End();
}
