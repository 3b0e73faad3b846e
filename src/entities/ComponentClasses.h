#pragma once
// The component classes that exist so far. The fan-out and the entity reader visit the types of
// ComponentTypes.def whose class is complete here, so a new component type joins the engine by
// having its header listed below.

#include "physics/Physics.h"
#include "physics/Transform.h"
