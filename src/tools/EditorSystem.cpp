#include "tools/EditorSystem.h"

#include <memory>
#include <utility>

#include "engine/Engine.h"
#include "engine/InputMessage.h"
#include "entities/Entity.h"
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
}
