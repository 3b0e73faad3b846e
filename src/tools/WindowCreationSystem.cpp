#include "tools/WindowCreationSystem.h"

#include <imgui.h>

#include "engine/InputMessage.h"
#include "engine/InputType.h"
#include "graphics/DebugDrawSystem.h"
#include "physics/Collider.h"
#include "tools/IMGUISystem.h"
#include "tools/TraitPopup.h"
#include "tools/WindowDropdown.h"

namespace {
constexpr const char* kTestWindowName = "TestWindow";
constexpr const char* kTestDropdownLabel = "heyhey";
constexpr const char* kTestPopupName = "TestPopup";
constexpr float kTestContentIndent = 15.0f;
// Bottom right, under the settings window it is shown and hidden with.
const ImVec2 kTestWindowPosition{840.0f, 660.0f};
const ImVec2 kTestWindowSize{240.0f, 60.0f};

std::unique_ptr<WindowSection> EmptySection(float childIndent) {
    return std::make_unique<WindowSection>(std::vector<std::unique_ptr<WindowObject>>{},
                                           childIndent);
}
}  // namespace

WindowCreationSystem& WindowCreationSystem::Instance() {
    static auto* system = new WindowCreationSystem();
    return *system;
}

WindowCreationSystem::WindowCreationSystem() {
    WindowObjectDescription description;
    description.traits.push_back(
        std::make_unique<TraitPopup>(kTestPopupName, EmptySection(0.0f)));
    testDropdown = std::make_unique<WindowDropdown>(
        kTestDropdownLabel, EmptySection(kTestContentIndent), DropdownCallback{},
        std::move(description));
}

void WindowCreationSystem::Initialize() {
    if (ImGui::GetCurrentContext() != nullptr) {
        // An indent of 0 then means no indentation anywhere in the tool windows.
        ImGui::GetStyle().IndentSpacing = 0.0f;
    }
}

void WindowCreationSystem::Update(float /*dt*/) {}

// Drawn once per frame, while rendering: a frame runs any number of simulation ticks, and the
// GUI frame takes each window once.
void WindowCreationSystem::Render() {
    // Without a GUI frame (no window, or an engine run without the frame loop) nothing is drawn.
    if (!IMGUISystem::Instance().IsFrameOpen()) {
        return;
    }
    if (testWindowVisible) {
        ImGui::SetNextWindowPos(kTestWindowPosition, ImGuiCond_FirstUseEver);
        ImGui::SetNextWindowSize(kTestWindowSize, ImGuiCond_FirstUseEver);
        ImGui::Begin(kTestWindowName);
        testDropdown->Draw();
        ImGui::End();
    }
    for (const auto& window : windows) {
        if (window->renderState == WindowRenderState::VISIBLE) {
            window->Draw();
        }
    }
}

void WindowCreationSystem::HandleMessage(const InputMessage& message) {
    if (message.input == InputType::TOGGLETOOLS && message.pressed) {
        ShowAllTools(!AllToolsShown());
    }
}

void WindowCreationSystem::ShowAllTools(bool show) {
    const WindowRenderState state = show ? WindowRenderState::VISIBLE : WindowRenderState::INVISIBLE;
    for (const auto& window : windows) {
        window->renderState = state;
    }
    testWindowVisible = show;
    Collider::showDebugColliders = show;
    showTextboxes = show;
    DebugDrawSystem::Instance().showLines = show;
}

bool WindowCreationSystem::AllToolsShown() const {
    for (const auto& window : windows) {
        if (window->renderState != WindowRenderState::VISIBLE) {
            return false;
        }
    }
    return testWindowVisible && Collider::showDebugColliders && showTextboxes &&
           DebugDrawSystem::Instance().showLines;
}

void WindowCreationSystem::ShutDown() {
    windows.clear();
}
