#include "support/InGameTest.h"

#include <GLFW/glfw3.h>
#include <imgui.h>
#include <unistd.h>

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <memory>

#include "graphics/GraphicsSystem.h"

namespace {
constexpr const char* kWindowTitle = "Tarnwick";
constexpr std::chrono::milliseconds kFindLimit{20000};

struct NamedKey {
    const char* name;
    int code;
};
// Keys whose X name is not the character they type.
constexpr NamedKey kNamedKeys[] = {
    {"Return", GLFW_KEY_ENTER}, {"BackSpace", GLFW_KEY_BACKSPACE},
    {"End", GLFW_KEY_END},      {"shift", GLFW_KEY_LEFT_SHIFT},
    {"F1", GLFW_KEY_F1},        {"F2", GLFW_KEY_F2},
    {"F3", GLFW_KEY_F3},        {"F4", GLFW_KEY_F4},
    {"F11", GLFW_KEY_F11},      {"Escape", GLFW_KEY_ESCAPE},
    {"ctrl", GLFW_KEY_LEFT_CONTROL}, {"Home", GLFW_KEY_HOME},
};

int GlfwKey(const std::string& key) {
    // GLFW numbers letter and digit keys by their upper-case character.
    if (key.size() == 1 && std::isalnum(static_cast<unsigned char>(key[0])) != 0) {
        return std::toupper(static_cast<unsigned char>(key[0]));
    }
    for (const NamedKey& named : kNamedKeys) {
        if (key == named.name) {
            return named.code;
        }
    }
    ADD_FAILURE() << "no GLFW key known for the X key " << key;
    return GLFW_KEY_UNKNOWN;
}

int GlfwButton(int button) {
    switch (button) {
        case DisplayWindow::kLeftButton:
            return GLFW_MOUSE_BUTTON_LEFT;
        case DisplayWindow::kMiddleButton:
            return GLFW_MOUSE_BUTTON_MIDDLE;
        case DisplayWindow::kRightButton:
            return GLFW_MOUSE_BUTTON_RIGHT;
        default:
            ADD_FAILURE() << "no GLFW button known for the X button " << button;
            return GLFW_MOUSE_BUTTON_LAST;
    }
}
}  // namespace

InGameTest::InGameTest() : window(display, kWindowTitle, getpid()) {
    setenv("DISPLAY", display.name().c_str(), 1);
}

void InGameTest::Play(const std::function<void()>& eachPass) {
    ASSERT_FALSE(display.name().empty()) << "no private X server";
    bool first = true;
    RunPasses([&] {
        engine.RegisterSystem(&script);
        if (first) {
            first = false;
            ASSERT_TRUE(window.Find(kFindLimit)) << "the engine's window is not on the display";
            ASSERT_TRUE(window.Focus());
        }
        if (eachPass) {
            eachPass();
        }
    });
    EXPECT_EQ(script.failedStep, -1) << "a step never came true";
}

void InGameTest::Do(std::function<void()> action) {
    script.steps.push_back([action = std::move(action)] {
        action();
        return true;
    });
}

void InGameTest::Until(std::function<bool()> condition) {
    script.steps.push_back(std::move(condition));
}

void InGameTest::PointAt(int x, int y) {
    PointAt([x, y] { return std::pair{x, y}; });
}

void InGameTest::PointAt(Place where) {
    auto target = std::make_shared<std::pair<int, int>>();
    Do([this, where = std::move(where), target] {
        *target = where();
        window.PointAt(target->first, target->second);
    });
    Until([target] {
        const ImVec2 pointer = ImGui::GetIO().MousePos;
        return pointer.x == static_cast<float>(target->first) &&
               pointer.y == static_cast<float>(target->second);
    });
}

void InGameTest::KeyDown(const std::string& key) {
    Do([this, key] { window.KeyDown(key); });
    Until([this, key] { return KeyIsDown(key); });
}

void InGameTest::KeyUp(const std::string& key) {
    Do([this, key] { window.KeyUp(key); });
    Until([this, key] { return !KeyIsDown(key); });
}

void InGameTest::PressKey(const std::string& key) {
    Do([this, key] { window.KeyDown(key); });
    Until([this, key] {
        if (!KeyIsDown(key)) {
            return false;
        }
        window.KeyUp(key);
        return true;
    });
    Until([this, key] { return !KeyIsDown(key); });
}

void InGameTest::ButtonDown(int button) {
    Do([this, button] { window.ButtonDown(button); });
    Until([this, button] { return ButtonIsDown(button); });
}

void InGameTest::ButtonUp(int button) {
    Do([this, button] { window.ButtonUp(button); });
    Until([this, button] { return !ButtonIsDown(button); });
}

void InGameTest::Click(int x, int y, int button) {
    Click([x, y] { return std::pair{x, y}; }, button);
}

void InGameTest::Click(Place where, int button) {
    PointAt(std::move(where));
    Do([this, button] { window.ButtonDown(button); });
    Until([this, button] {
        if (!ButtonIsDown(button)) {
            return false;
        }
        window.ButtonUp(button);
        return true;
    });
    Until([this, button] { return !ButtonIsDown(button); });
}

void InGameTest::Type(const std::string& text) {
    Do([this, text] { window.Type(text); });
}

bool InGameTest::WindowFocused() const {
    return glfwGetWindowAttrib(graphics.window, GLFW_FOCUSED) != 0;
}

bool InGameTest::KeyIsDown(const std::string& key) const {
    return glfwGetKey(graphics.window, GlfwKey(key)) == GLFW_PRESS;
}

bool InGameTest::ButtonIsDown(int button) const {
    return glfwGetMouseButton(graphics.window, GlfwButton(button)) == GLFW_PRESS;
}

std::pair<int, int> InGameTest::WindowPixelOf(Vector2 at) {
    const GraphicsSystem& graphics = GraphicsSystem::Instance();
    const Vector2 origin = graphics.WindowToWorld(0.0, 0.0);
    const Vector2 step = graphics.WindowToWorld(1.0, 1.0) - origin;
    return {static_cast<int>(std::lround((at.x - origin.x) / step.x)),
            static_cast<int>(std::lround((at.y - origin.y) / step.y))};
}
