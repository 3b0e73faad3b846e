#include "support/HiddenGlContext.h"

#include <GLFW/glfw3.h>
#include <glad/gl.h>

#include <cstdio>
#include <cstdlib>

namespace {
constexpr int kContextVersionMajor = 3;
constexpr int kContextVersionMinor = 3;
// Nothing is drawn to it; the size only has to be valid.
constexpr int kWindowSide = 16;

[[noreturn]] void Fail(const char* what) {
    const char* description = nullptr;
    glfwGetError(&description);
    std::fprintf(stderr, "HiddenGlContext: %s%s%s\n", what, description != nullptr ? ": " : "",
                 description != nullptr ? description : "");
    std::exit(1);
}
}  // namespace

void MakeHiddenGlContextCurrent() {
    static GLFWwindow* window = nullptr;
    if (window != nullptr) {
        return;
    }
    if (glfwInit() == GLFW_FALSE) {
        Fail("GLFW cannot start (is DISPLAY set?)");
    }
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, kContextVersionMajor);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, kContextVersionMinor);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    window = glfwCreateWindow(kWindowSide, kWindowSide, "fuzz", nullptr, nullptr);
    if (window == nullptr) {
        Fail("no OpenGL 3.3 core window");
    }
    glfwMakeContextCurrent(window);
    if (gladLoadGL(glfwGetProcAddress) == 0) {
        Fail("the OpenGL entry points cannot be loaded");
    }
}
