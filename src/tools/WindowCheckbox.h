#pragma once
// A labelled checkbox; when the user changes it, onToggle is called with the new state already
// in `checked`.

#include <functional>
#include <string>

#include "tools/WindowObject.h"

class WindowCheckbox;
using CheckboxCallback = std::function<void(WindowCheckbox&)>;

class WindowCheckbox : public WindowObject {
public:
    WindowCheckbox(std::string label, bool checked, CheckboxCallback onToggle,
                   WindowObjectDescription description = {});

    void Update() override;

    std::string label;
    bool checked = false;
    CheckboxCallback onToggle;
};
