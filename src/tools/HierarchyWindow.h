#pragma once
// The editor's "Hierarchy" window: the entity tree under a root, per entity a small button that
// selects it and a header that opens onto its children, with "Delete Entity" on a right click.
// An open subtree is rebuilt every time it is drawn, so it always shows the current children.

#include <memory>

#include "tools/Window.h"

class Entity;

class HierarchyWindow : public Window {
public:
    // Shows the tree under `root`; a select button points `selection` at its entity.
    HierarchyWindow(Entity* root, Entity*& selection);

private:
    // One row (select button, header) with the entity's children below it, built when the header
    // is open.
    std::unique_ptr<WindowSection> CreateEntitySection(Entity* entity);

    Entity*& selection;
};
