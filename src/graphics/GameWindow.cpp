#include "graphics/GameWindow.h"

#include <GLFW/glfw3.h>
#include <glad/gl.h>

#include "graphics/GraphicsSystem.h"
#include "input/InputSystem.h"
#include "input/KeyCode.h"

namespace {
constexpr int kContextVersionMajor = 3;
constexpr int kContextVersionMinor = 3;
constexpr int kSwapInterval = 1;
// GLFW's code for a key it cannot identify is -1, the only code with bit 30 set.
constexpr int kUnknownKeyBit = 1 << 30;

std::string LastGlfwError() {
    const char* description = nullptr;
    glfwGetError(&description);
    return description != nullptr ? description : "no details";
}

void KeyCallback(GLFWwindow* /*window*/, int key, int /*scancode*/, int action, int /*mods*/) {
    if (action == GLFW_RELEASE) {
        InputSystem::Instance().OnKeyUp(NarrowKeyCode(key));
    } else if (action == GLFW_PRESS && (key & kUnknownKeyBit) == 0) {
        InputSystem::Instance().OnKeyDown(NarrowKeyCode(key));
    }
}

void MouseButtonCallback(GLFWwindow* /*window*/, int button, int action, int /*mods*/) {
    int code = 0;
    if (button == GLFW_MOUSE_BUTTON_LEFT) {
        code = kLeftMouseButtonCode;
    } else if (button == GLFW_MOUSE_BUTTON_RIGHT) {
        code = kRightMouseButtonCode;
    } else {
        return;
    }
    if (action == GLFW_PRESS) {
        InputSystem::Instance().OnButtonDown(code);
    } else if (action == GLFW_RELEASE) {
        InputSystem::Instance().OnButtonUp(code);
    }
}

// The viewport and the camera matrices follow the framebuffer, so the graphics system takes it.
void FramebufferSizeCallback(GLFWwindow* /*window*/, int width, int height) {
    GraphicsSystem::Instance().OnFramebufferResized(width, height);
}
}  // namespace

std::string GameWindow::Open() {
    width = kInitialWidth;
    height = kInitialHeight;
    if (glfwInit() == GLFW_FALSE) {
        return "the window system could not be initialized (" + LastGlfwError() + ")";
    }
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, kContextVersionMajor);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, kContextVersionMinor);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    handle = glfwCreateWindow(kInitialWidth, kInitialHeight, kTitle, nullptr, nullptr);
    if (handle == nullptr) {
        const std::string failure =
            "no window with an OpenGL 3.3 core context could be created (" + LastGlfwError() + ")";
        glfwTerminate();
        return failure;
    }
    glfwMakeContextCurrent(handle);
    glfwSwapInterval(kSwapInterval);
    if (gladLoadGL(glfwGetProcAddress) == 0) {
        Close();
        return "the OpenGL 3.3 entry points could not be loaded";
    }
    glfwSetKeyCallback(handle, KeyCallback);
    glfwSetMouseButtonCallback(handle, MouseButtonCallback);
    glfwSetFramebufferSizeCallback(handle, FramebufferSizeCallback);
    return {};
}

void GameWindow::Close() {
    if (handle == nullptr) {
        return;
    }
    glfwDestroyWindow(handle);
    handle = nullptr;
    glfwTerminate();
}

bool GameWindow::ShouldClose() const {
    return glfwWindowShouldClose(handle) != 0;
}

void GameWindow::PollEvents() {
    glfwPollEvents();
}

void GameWindow::SwapBuffers() {
    glfwSwapBuffers(handle);
}

void GameWindow::ToggleFullscreen() {
    if (handle == nullptr) {
        return;
    }
    if (IsFullscreen()) {
        glfwSetWindowMonitor(handle, nullptr, windowed.x, windowed.y, windowed.width,
                             windowed.height, GLFW_DONT_CARE);
        return;
    }
    GLFWmonitor* monitor = glfwGetPrimaryMonitor();
    const GLFWvidmode* mode = monitor != nullptr ? glfwGetVideoMode(monitor) : nullptr;
    if (mode == nullptr) {
        return;
    }
    glfwGetWindowPos(handle, &windowed.x, &windowed.y);
    glfwGetWindowSize(handle, &windowed.width, &windowed.height);
    // The monitor's own mode: switching the screen to another one would gain nothing here and
    // would rearrange every other window on it.
    glfwSetWindowMonitor(handle, monitor, 0, 0, mode->width, mode->height, mode->refreshRate);
}

bool GameWindow::IsFullscreen() const {
    return handle != nullptr && glfwGetWindowMonitor(handle) != nullptr;
}

void GameWindow::Resize(int newWidth, int newHeight) {
    if (newWidth != 0) {
        width = newWidth;
    }
    if (newHeight != 0) {
        height = newHeight;
    }
}
