#pragma once
// Deletes every component of the given types (the lists are process-wide), for fixtures that
// build components by hand.

#include "entities/ComponentListSystem.h"

template <class... Components>
void ShutDownLists() {
    (ComponentListSystem<Components>::Instance().ShutDown(), ...);
}
