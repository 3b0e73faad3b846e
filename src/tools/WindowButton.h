#pragma once
// A push button of automatic size; a click calls onClick.

#include <functional>
#include <string>

#include "tools/WindowObject.h"

class WindowButton;
using ButtonCallback = std::function<void(WindowButton&)>;

class WindowButton : public WindowObject {
public:
    WindowButton(std::string label, ButtonCallback onClick,
                 WindowObjectDescription description = {});

    void Update() override;

    std::string label;
    ButtonCallback onClick;
};
