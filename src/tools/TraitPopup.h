#pragma once
// A popup opened by releasing the right mouse button over the item its widget drew last.

#include <memory>
#include <string>

#include "tools/WindowObjectTrait.h"
#include "tools/WindowSection.h"

class TraitPopup : public WindowObjectTrait {
public:
    TraitPopup(std::string popupName, std::unique_ptr<WindowSection> content);

    void Apply() override;

    std::string popupName;
    std::unique_ptr<WindowSection> content;
};
