#pragma once
// A line of text that is also an interactive item of its own (an invisible button the size of
// the text), so traits and drag and drop can attach to it. Given "label##name", it shows the
// label and takes the name as its identifier; any other text gets a fresh unique identifier
// (and shows only what stands before a first "##").

#include <string>

#include "tools/WindowObject.h"

class WindowText : public WindowObject {
public:
    WindowText(const std::string& text, WindowObjectDescription description = {});

    void Update() override;

    std::string text;
    std::string id;
};
