#pragma once
// The type-erased face of a ComponentListSystem<T>, through which entities queue removals and
// the engine fans out over every list without knowing the component types.

#include "engine/System.h"

struct ComponentEntry;
struct InputMessage;

class VirtualComponentListSystem : public System {
public:
    // Queues the removal of the entry's component; carried out at the next FlushPending.
    virtual void RemoveComponent(const ComponentEntry& entry) = 0;
    // Carries out the queued additions and removals.
    virtual void FlushPending() = 0;
    // Hands the message to every component, layer by layer.
    virtual void SendMessage(const InputMessage& message) = 0;
};
