#include "graphics/WindowModeSystem.h"

#include "engine/InputMessage.h"
#include "graphics/GraphicsSystem.h"

WindowModeSystem& WindowModeSystem::Instance() {
    static WindowModeSystem* system = new WindowModeSystem();
    return *system;
}

void WindowModeSystem::HandleMessage(const InputMessage& message) {
    if (message.input == InputType::TOGGLE_FULLSCREEN && message.pressed) {
        GraphicsSystem::Instance().window.ToggleFullscreen();
    }
}
