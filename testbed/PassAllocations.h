#pragma once
// Counts the heap allocations the main thread makes in each frame's component passes (every
// component list's update) and in its collision pass (ColliderSystem::Update), through four
// marker systems put into the engine's list around them:
// - the last system in the list starts the component count in its pre-update hook. After it the
//   frame only runs the lists' (empty) pre-update hooks, the destroyed-entity sweep and the
//   pending-component flush (both with nothing to do once the scene is steady), and then the
//   component passes;
// - the first system ends it in its update hook, which runs right after the last list's update;
// - two systems just before and just after the collider system bracket the collision pass.
// Counting needs the replacement allocator of CountingAllocator.h in the program.

#include <algorithm>
#include <cstddef>
#include <vector>

#include "testbed/AllocationCount.h"
#include "engine/ControlSystem.h"
#include "engine/Engine.h"
#include "physics/ColliderSystem.h"

class PassAllocations {
public:
    struct Frame {
        std::size_t componentPasses = 0;
        std::size_t collisionPass = 0;
    };

    // Call after Engine::Initialize (the engine registers its systems there) and after any
    // system the caller registers itself, so that the component count starts last.
    void Install(Engine& engine) {
        std::vector<System*>& systems = engine.systems;
        systems.insert(systems.begin(), &componentsEnd);
        auto collider = std::find(systems.begin(), systems.end(), &ColliderSystem::Instance());
        collider = systems.insert(collider, &collisionBegin);
        systems.insert(collider + 2, &collisionEnd);
        systems.push_back(&componentsBegin);
    }

    // One entry per frame since Install, oldest first. Reserve room before the frames run if the
    // entries must not allocate (they are added outside the counted spans either way).
    std::vector<Frame> frames;

private:
    enum class Role { kComponentsBegin, kComponentsEnd, kCollisionBegin, kCollisionEnd };

    class Marker : public ControlSystem {
    public:
        Marker(PassAllocations& allocations, Role role) : allocations(allocations), role(role) {}

        void PreUpdate() override {
            if (role == Role::kComponentsBegin) {
                allocations.frames.emplace_back();
                allocations.Begin();
            }
        }
        void Update(float) override {
            if (allocations.frames.empty()) {
                return;
            }
            switch (role) {
                case Role::kComponentsEnd:
                    allocations.frames.back().componentPasses = allocations.End();
                    break;
                case Role::kCollisionBegin:
                    allocations.Begin();
                    break;
                case Role::kCollisionEnd:
                    allocations.frames.back().collisionPass = allocations.End();
                    break;
                case Role::kComponentsBegin:
                    break;
            }
        }

    private:
        PassAllocations& allocations;
        Role role;
    };

    void Begin() {
        start = allocation_count::allocations;
        allocation_count::counting = true;
    }
    std::size_t End() {
        allocation_count::counting = false;
        return allocation_count::allocations - start;
    }

    std::size_t start = 0;
    Marker componentsBegin{*this, Role::kComponentsBegin};
    Marker componentsEnd{*this, Role::kComponentsEnd};
    Marker collisionBegin{*this, Role::kCollisionBegin};
    Marker collisionEnd{*this, Role::kCollisionEnd};
};
