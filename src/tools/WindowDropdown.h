#pragma once
// A collapsing header whose content is drawn while it is open. An invisible button is laid
// exactly over the header after the content, so the header is the last item again and the
// dropdown's traits (a right-click popup) act on the header even while it is open.

#include <functional>
#include <memory>
#include <string>

#include "tools/WindowObject.h"

class WindowDropdown;
using DropdownCallback = std::function<void(WindowDropdown&)>;

class WindowDropdown : public WindowObject {
public:
    WindowDropdown(std::string label, std::unique_ptr<WindowObject> content,
                   DropdownCallback onOpen = {}, WindowObjectDescription description = {});

    void Update() override;

    std::string label;
    std::unique_ptr<WindowObject> content;
    DropdownCallback onOpen;
};
