#pragma once
// Where a tool-window widget drew its last item, recorded by a trait attached to it, for tests
// that point at widgets with real input.

#include <functional>
#include <utility>

#include <imgui.h>

#include "tools/WindowObjectTrait.h"

struct Rect {
    float x0 = 0.0f, y0 = 0.0f, x1 = 0.0f, y1 = 0.0f;
    int CentreX() const { return static_cast<int>((x0 + x1) * 0.5f); }
    int CentreY() const { return static_cast<int>((y0 + y1) * 0.5f); }
    // Nothing has been recorded until the widget was drawn.
    bool Drawn() const { return x1 > x0; }
};

// The centre of a rectangle, read when the step runs.
inline std::function<std::pair<int, int>()> CentreOf(const Rect& rect) {
    return [&rect] { return std::pair{rect.CentreX(), rect.CentreY()}; };
}

// Remembers where the widget it is attached to drew its last item.
class RecordRect : public WindowObjectTrait {
public:
    explicit RecordRect(Rect& rect) : rect(rect) {}
    void Apply() override {
        const ImVec2 min = ImGui::GetItemRectMin();
        const ImVec2 max = ImGui::GetItemRectMax();
        rect = {min.x, min.y, max.x, max.y};
    }
    Rect& rect;
};
