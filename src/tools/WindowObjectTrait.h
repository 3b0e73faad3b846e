#pragma once
// Behaviour attached to a widget that acts on the item the widget drew last (for example a
// popup opened by a right click on it).

class WindowObjectTrait {
public:
    virtual ~WindowObjectTrait() = default;
    virtual void Apply() = 0;
};
