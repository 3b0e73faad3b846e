#pragma once
// A list of widgets drawn one after the other, indented by childIndent. A section with an order
// key is rearrangeable: the user reorders its children by dragging one onto another, and the
// order is kept under the key for the rest of the run (also for a rebuilt section).

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/WindowSectionMode.h"
#include "tools/WindowObject.h"

// Display order (child indices) per order key. Outlives the sections.
extern std::map<std::string, std::vector<int>> sectionOrders;

class WindowSection : public WindowObject {
public:
    WindowSection(std::vector<std::unique_ptr<WindowObject>> children, float childIndent,
                  WindowObjectDescription description = {}, std::string orderKey = "");

    void Update() override;

    WindowSectionMode Mode() const;

    std::vector<std::unique_ptr<WindowObject>> children;
    float childIndent = 0.0f;
    std::string orderKey;

private:
    void DrawRearrangeable();
};
