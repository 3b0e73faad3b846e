#include "tools/EditorSystem.h"

#include <memory>
#include <utility>

#include <GLFW/glfw3.h>
#include <imgui.h>

#include "engine/Engine.h"
#include "engine/InputMessage.h"
#include "entities/Entity.h"
#include "entities/SceneSystem.h"
#include "tools/EditHistory.h"
#include "tools/IMGUISystem.h"
#include "tools/HierarchyWindow.h"
#include "tools/InspectorWindow.h"
#include "tools/WindowCreationSystem.h"

namespace {

// Hands the window to the window-creation system, which owns and draws it.
Window* Append(std::unique_ptr<Window> window) {
    Window* appended = window.get();
    WindowCreationSystem::Instance().windows.push_back(std::move(window));
    return appended;
}

}  // namespace

EditorSystem& EditorSystem::Instance() {
    static auto* system = new EditorSystem();
    return *system;
}

void EditorSystem::Initialize() {
    inspected = engine->originEntity;
    hierarchyWindow = Append(std::make_unique<HierarchyWindow>(engine->originEntity, inspected));
    inspectorWindow = Append(std::make_unique<InspectorWindow>(inspected));
}

void EditorSystem::PreUpdate() {
    if (inspected != nullptr && inspected->destroyed) {
        inspected = nullptr;
    }
    EditHistory::Instance().FollowScene(SceneSystem::Instance().currentScene);
}

void EditorSystem::Render() {
    const bool shown =
        (hierarchyWindow != nullptr &&
         hierarchyWindow->renderState == WindowRenderState::VISIBLE) ||
        (inspectorWindow != nullptr && inspectorWindow->renderState == WindowRenderState::VISIBLE);
    if (!shown || !IMGUISystem::Instance().IsFrameOpen()) {
        return;
    }
    const ImGuiIO& io = ImGui::GetIO();
    if (!io.KeyCtrl || io.WantTextInput || IMGUISystem::TextBoxHasKeyboard()) {
        return;
    }
    EditHistory& history = EditHistory::Instance();
    if (ImGui::IsKeyPressed(GLFW_KEY_Z)) {
        if (io.KeyShift) {
            history.Redo();
        } else {
            history.Undo();
        }
    } else if (ImGui::IsKeyPressed(GLFW_KEY_Y)) {
        history.Redo();
    }
}

void EditorSystem::HandleMessage(const InputMessage& message) {
    if (message.input != InputType::TOGGLEEDITOR || !message.pressed) {
        return;
    }
    for (Window* window : {hierarchyWindow, inspectorWindow}) {
        if (window != nullptr) {
            window->renderState = window->renderState == WindowRenderState::VISIBLE
                                      ? WindowRenderState::INVISIBLE
                                      : WindowRenderState::VISIBLE;
        }
    }
}

void EditorSystem::ShutDown() {
    hierarchyWindow = nullptr;
    inspectorWindow = nullptr;
    inspected = nullptr;
    EditHistory::Instance().Clear();
}
