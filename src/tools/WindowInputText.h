#pragma once
// A labelled one-line text box that reports only on Enter. The box shows `value` again every
// frame (so a non-persisting box forgets what was typed once it is submitted); a persisting box
// keeps the submitted text as its value, also across rebuilds, through inputTextValues.

#include <functional>
#include <map>
#include <string>

#include "tools/WindowObject.h"

// The text last submitted in each persisting box, by the box's identifier.
extern std::map<std::string, std::string> inputTextValues;

class WindowInputText;
using InputTextCallback = std::function<void(WindowInputText&)>;

class WindowInputText : public WindowObject {
public:
    WindowInputText(std::string label, std::string id, InputTextCallback onSubmit,
                    WindowObjectDescription description = {}, bool persist = false);

    void Update() override;

    std::string label;
    // What the box edits this frame; holds the submitted text while onSubmit runs.
    std::string buffer;
    std::string value;
    // Forced onto the start of the text while editing; empty in this engine.
    std::string prefix;
    InputTextCallback onSubmit;
    std::string id;
    bool persist = false;

private:
    void ShowWholeWhenCut() const;
};
