#include "tools/IMGUISystem.h"

#include <cstdio>

#include <GLFW/glfw3.h>
#include <imgui.h>
#include <backends/imgui_impl_glfw.h>
#include <backends/imgui_impl_opengl3.h>

#include "graphics/GraphicsSystem.h"

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
    ImGui_ImplOpenGL3_Shutdown();
    // The backend puts back the callbacks it found, the game's.
    glfwSetKeyCallback(window, backendKeyCallback);
    backendKeyCallback = nullptr;
    ImGui_ImplGlfw_Shutdown();
    ImGui::DestroyContext();
    ready = false;
    window = nullptr;
}
