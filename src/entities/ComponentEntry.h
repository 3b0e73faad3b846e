#pragma once
// What an entity records for one component type: the component and the layer it was added in
// (a removal must name the layer to find it again).

#include "engine/UpdateLayer.h"

class Component;

struct ComponentEntry {
    Component* component = nullptr;
    UpdateLayer layer = UpdateLayer::AVERAGE;
};
