#pragma once
// The list of all components of one concrete type T: five update layers of owned pointers and a
// queue of pending additions and removals. Lists never change while the engine iterates them:
// additions and removals wait for the next FlushPending, at the start of the next frame.

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "engine/InputMessage.h"
#include "engine/StopwatchRegistry.h"
#include "engine/TraceLog.h"
#include "engine/UpdateLayer.h"
#include "entities/ComponentEntry.h"
#include "entities/Entity.h"
#include "entities/VirtualComponentListSystem.h"

inline constexpr int kUpdateLayerCount = static_cast<int>(UpdateLayer::UPDATE_LAYER_COUNT);
inline constexpr const char* kUpdateComponentSystemsGroup = "Update Component Systems";
inline constexpr const char* kRenderComponentSystemsGroup = "Render Component Systems";

template <class T>
class ComponentListSystem final : public VirtualComponentListSystem {
public:
    struct PendingRecord {
        bool add = false;
        T* component = nullptr;
        UpdateLayer layer = UpdateLayer::AVERAGE;
    };

    // The one list of type T. Its identity is the identity of the type: entities key their
    // component map with it.
    static ComponentListSystem& Instance() {
        static auto* list = new ComponentListSystem();
        return *list;
    }

    const std::string& GetName() const override { return name; }

    void Initialize() override { TraceLog::Log(name + "::Initialize"); }

    void Update(float dt) override {
        StartStopwatch({kUpdateComponentSystemsGroup}, name);
        for (auto& layer : layers) {
            for (std::size_t i = 0; i < layer.size(); ++i) {
                layer[i]->Update(dt);
            }
        }
        StopStopwatch({kUpdateComponentSystemsGroup}, name);
    }

    void Render() override {
        StartStopwatch({kRenderComponentSystemsGroup}, name);
        for (auto& layer : layers) {
            for (std::size_t i = 0; i < layer.size(); ++i) {
                layer[i]->Render();
            }
        }
        StopStopwatch({kRenderComponentSystemsGroup}, name);
    }

    void SendMessage(const InputMessage& message) override {
        for (auto& layer : layers) {
            for (std::size_t i = 0; i < layer.size(); ++i) {
                layer[i]->HandleMessage(message);
            }
        }
    }

    // Deletes every component still in a layer (after its ShutDown) and drops the queue. A
    // component whose addition was still queued never entered a layer and never started, so it
    // is deleted without a ShutDown instead of being leaked.
    void ShutDown() override {
        TraceLog::Log(name + "::ShutDown");
        // Known by address only: what the hooks below queue may name components already freed.
        std::vector<T*> started;
        for (auto& layer : layers) {
            started.insert(started.end(), layer.begin(), layer.end());
        }
        std::sort(started.begin(), started.end());
        for (auto& layer : layers) {
            for (std::size_t i = 0; i < layer.size(); ++i) {
                layer[i]->ShutDown();
                delete layer[i];
            }
        }
        std::vector<T*> unstarted;
        for (const PendingRecord& record : pending) {
            if (record.add &&
                !std::binary_search(started.begin(), started.end(), record.component)) {
                unstarted.push_back(record.component);
            }
        }
        // A component queued twice is deleted once.
        std::sort(unstarted.begin(), unstarted.end());
        unstarted.erase(std::unique(unstarted.begin(), unstarted.end()), unstarted.end());
        for (T* component : unstarted) {
            delete component;
        }
        for (auto& layer : layers) {
            layer.clear();
        }
        pending.clear();
    }

    void QueueAddition(T* component, UpdateLayer layer) {
        pending.push_back({true, component, layer});
    }

    void RemoveComponent(const ComponentEntry& entry) override {
        pending.push_back({false, static_cast<T*>(entry.component), entry.layer});
    }

    // Linear in the records and the list: a removal is marked and its component shut down in
    // record order, and the layers are compacted in one pass at the end, keeping their order.
    // Removed components are deleted last, so every pointer a record holds stays valid through
    // the flush (a second removal of one component is recognised by its mark, and no address
    // is reused before the flush ends).
    void FlushPending() override {
        removedThisFlush.clear();
        // Indexed walk: hooks of this type may append records while it runs, and those are
        // carried out in the same flush.
        for (std::size_t i = 0; i < pending.size(); ++i) {
            const PendingRecord record = pending[i];
            // A component already in, or shut down and leaving, is not added (again).
            if (record.add && record.component->listMark.state == Component::ListState::kOut) {
                layers[LayerIndex(record.layer)].push_back(record.component);
                record.component->listMark.state = Component::ListState::kIn;
                record.component->Initialize();
            } else if (!record.add && record.component->listMark.state == Component::ListState::kIn) {
                CarryOutRemoval(record.component);
            }
        }
        pending.clear();
        if (removedThisFlush.empty()) {
            return;
        }
        for (auto& layer : layers) {
            std::erase_if(layer, [](const T* component) {
                return component->listMark.state == Component::ListState::kLeaving;
            });
        }
        for (T* component : removedThisFlush) {
            delete component;
        }
    }

    const std::vector<T*>& Layer(UpdateLayer layer) const { return layers[LayerIndex(layer)]; }
    const std::array<std::vector<T*>, kUpdateLayerCount>& Layers() const { return layers; }
    const std::vector<PendingRecord>& Pending() const { return pending; }

private:
    ComponentListSystem() : name("ComponentListSystem<" + std::string(T::kComponentName) + ">") {}

    static std::size_t LayerIndex(UpdateLayer layer) {
        const int index = static_cast<int>(layer);
        return static_cast<std::size_t>(index >= 0 && index < kUpdateLayerCount
                                            ? index
                                            : static_cast<int>(UpdateLayer::AVERAGE));
    }

    // Only a component this list holds is removed; a record naming anything else (never
    // produced in the normal flow) is dropped rather than risking a double delete.
    void CarryOutRemoval(T* component) {
        component->ShutDown();
        if (component->owner != nullptr) {
            component->owner->RemoveComponentEntry(this);
        }
        component->listMark.state = Component::ListState::kLeaving;
        removedThisFlush.push_back(component);
    }

    std::string name;
    std::array<std::vector<T*>, kUpdateLayerCount> layers;
    std::vector<PendingRecord> pending;
    // Removed in this flush, deleted at its end. Reused between flushes so a flush allocates
    // nothing once it has grown.
    std::vector<T*> removedThisFlush;
};
