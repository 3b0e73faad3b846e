#include "tools/IMGUISystem.h"

#include <cstdio>

#include <GLFW/glfw3.h>
#include <imgui.h>
#include <imgui_internal.h>
#include <backends/imgui_impl_glfw.h>
#include <backends/imgui_impl_opengl3.h>

#include "graphics/GraphicsSystem.h"
#include "input/InputSystem.h"

namespace {

void ReportGlfwError(int error, const char* description) {
    std::fprintf(stderr, "GLFW Error %d: %s\n", error, description);
}

// The primary monitor's horizontal content scale; 1 where the display reports none.
float MainScale() {
    float x = 1.0f;
    float y = 1.0f;
    if (GLFWmonitor* monitor = glfwGetPrimaryMonitor()) {
        glfwGetMonitorContentScale(monitor, &x, &y);
    }
    return x > 0.0f ? x : 1.0f;
}

// The key callback the GUI backend installed (it passes every event on to the game's).
GLFWkeyfun backendKeyCallback = nullptr;
// Keys pressed since the GUI frame last opened, and releases of those keys held back until the
// next frame has seen them down: the backend only records whether a key is down when the frame
// opens, so a tap inside one frame would otherwise never reach a text box.
ImVector<int> pressedThisFrame;
ImVector<int> releaseAfterNextFrame;

void KeepTapsForTheNextFrame(GLFWwindow* window, int key, int scancode, int action, int mods) {
    if (backendKeyCallback != nullptr) {
        backendKeyCallback(window, key, scancode, action, mods);
    }
    ImGuiIO& io = ImGui::GetIO();
    if (key < 0 || key >= IM_ARRAYSIZE(io.KeysDown)) {
        return;
    }
    if (action == GLFW_PRESS) {
        pressedThisFrame.push_back(key);
    } else if (action == GLFW_RELEASE && pressedThisFrame.contains(key)) {
        io.KeysDown[key] = true;
        releaseAfterNextFrame.push_back(key);
    }
}

}  // namespace

// Asked from the key callback, which runs before the frame opens: the active item is the one the
// last frame's drawing left active (the flag the library derives from it is only refreshed when
// the next frame opens, one frame late for a key typed at once).
bool IMGUISystem::TextBoxHasKeyboard() {
    const ImGuiContext* gui = ImGui::GetCurrentContext();
    if (gui == nullptr) {
        return false;
    }
    const bool editing = gui->ActiveId != 0 && gui->ActiveId == gui->InputTextState.ID;
    return editing || gui->IO.WantTextInput;
}

// The pointer lies over a window the last frame drew (tool window, popup, tooltip), or the GUI
// holds it: a button pressed on a window is still down, or a window is being moved. The position
// is the window system's latest, so a move and a press in one batch of events are judged where
// the press happens, not where the last frame saw the pointer.
bool IMGUISystem::HasPointer() const {
    const ImGuiContext* gui = ImGui::GetCurrentContext();
    if (gui == nullptr) {
        return false;
    }
    if (gui->MovingWindow != nullptr) {
        return true;
    }
    for (int button = 0; button < IM_ARRAYSIZE(gui->IO.MouseDown); ++button) {
        if (gui->IO.MouseDown[button] && gui->IO.MouseDownOwned[button]) {
            return true;
        }
    }
    double x = 0.0;
    double y = 0.0;
    glfwGetCursorPos(window, &x, &y);
    const ImVec2 pointer(static_cast<float>(x), static_cast<float>(y));
    for (const ImGuiWindow* shown : gui->Windows) {
        if (shown->Active && !shown->Hidden &&
            (shown->Flags & ImGuiWindowFlags_NoMouseInputs) == 0 &&
            shown->OuterRectClipped.Contains(pointer)) {
            return true;
        }
    }
    return false;
}

IMGUISystem& IMGUISystem::Instance() {
    static IMGUISystem* system = new IMGUISystem();
    return *system;
}

void IMGUISystem::Initialize() {
    glfwSetErrorCallback(ReportGlfwError);
    if (glfwInit() == GLFW_FALSE) {
        return;
    }
    const float scale = MainScale();
    window = GraphicsSystem::Instance().window;
    if (window == nullptr) {
        return;
    }
    IMGUI_CHECKVERSION();
    ImGui::CreateContext();
    ImGuiIO& io = ImGui::GetIO();
    io.ConfigFlags |= ImGuiConfigFlags_NavEnableGamepad;
    // The program writes only the files its data design names: no window layout file.
    io.IniFilename = nullptr;
    io.LogFilename = nullptr;
    ImGui::StyleColorsDark();
    ImGui::GetStyle().ScaleAllSizes(scale);
    // This GUI library version has no per-style font scale for DPI; the global font scale is
    // its equivalent.
    io.FontGlobalScale = scale;
    // With callbacks installed the backend chains to the key and mouse callbacks the graphics
    // system installed first, so the game still receives its input.
    ImGui_ImplGlfw_InitForOpenGL(window, true);
    backendKeyCallback = glfwSetKeyCallback(window, KeepTapsForTheNextFrame);
    ImGui_ImplOpenGL3_Init();
    // Input goes where the person points: what the GUI takes, the game does not receive.
    InputSystem& input = InputSystem::Instance();
    input.keyboardTaken = TextBoxHasKeyboard;
    input.pointerTaken = [this] { return HasPointer(); };
    ready = true;
}

void IMGUISystem::Update(float /*dt*/) {
    if (!ready) {
        return;
    }
    ImGui_ImplOpenGL3_NewFrame();
    // The renderer's first frame creates its objects, binding them as it goes.
    GraphicsSystem::Instance().ForgetGlState();
    ImGui_ImplGlfw_NewFrame();
    ImGui::NewFrame();
    frameOpen = true;
    // This frame saw the tapped keys down; the next one sees them released.
    ImGuiIO& io = ImGui::GetIO();
    for (const int key : releaseAfterNextFrame) {
        io.KeysDown[key] = false;
    }
    releaseAfterNextFrame.clear();
    pressedThisFrame.clear();
    CloseMissedPopups();
}

// A click away from an open popup (a right-click menu) closes it before any widget is drawn, so
// the click goes on to what it was aimed at. Left to the library, the popup would keep the
// keyboard and mouse focus for this frame and the click would be spent on closing it.
void IMGUISystem::CloseMissedPopups() {
    ImGuiContext& gui = *ImGui::GetCurrentContext();
    if (gui.OpenPopupStack.empty()) {
        return;
    }
    for (const bool clicked : gui.IO.MouseClicked) {
        if (clicked) {
            ImGui::ClosePopupsOverWindow(gui.HoveredWindow, true);
            return;
        }
    }
}

void IMGUISystem::Render() {
    if (!ready || !frameOpen) {
        return;
    }
    ImGui::Render();
    ImGui_ImplOpenGL3_RenderDrawData(ImGui::GetDrawData());
    // The renderer binds its own program, vertex array and textures.
    GraphicsSystem::Instance().ForgetGlState();
    frameOpen = false;
}

void IMGUISystem::ShutDown() {
    if (!ready) {
        return;
    }
    if (frameOpen) {
        ImGui::EndFrame();
        frameOpen = false;
    }
    InputSystem& input = InputSystem::Instance();
    input.keyboardTaken = nullptr;
    input.pointerTaken = nullptr;
    ImGui_ImplOpenGL3_Shutdown();
    // The backend puts back the callbacks it found, the game's.
    glfwSetKeyCallback(window, backendKeyCallback);
    backendKeyCallback = nullptr;
    ImGui_ImplGlfw_Shutdown();
    ImGui::DestroyContext();
    ready = false;
    window = nullptr;
}
