#pragma once
// The engine-wide fan-out over the component lists, always in the one fixed order of types
// declared in ComponentTypes.def: initialize, pre-update, pending-flush, update, render, message
// delivery and shut down all visit the lists in that order.

#include <span>

class VirtualComponentListSystem;

// Every component list, in fan-out order.
std::span<VirtualComponentListSystem* const> ComponentListsInFanOutOrder();
