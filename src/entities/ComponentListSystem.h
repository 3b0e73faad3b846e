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
        for (auto& layer : layers) {
            for (std::size_t i = 0; i < layer.size(); ++i) {
                layer[i]->ShutDown();
                delete layer[i];
            }
        }
        std::vector<T*> unstarted;
        for (const PendingRecord& record : pending) {
            if (record.add && !InAnyLayer(record.component) &&
                std::find(unstarted.begin(), unstarted.end(), record.component) ==
                    unstarted.end()) {
                unstarted.push_back(record.component);
            }
        }
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

    void FlushPending() override {
        removedThisFlush.clear();
        // Indexed walk: hooks of this type may append records while it runs, and those are
        // carried out in the same flush.
        for (std::size_t i = 0; i < pending.size(); ++i) {
            const PendingRecord record = pending[i];
            if (record.add) {
                layers[LayerIndex(record.layer)].push_back(record.component);
                std::erase(removedThisFlush, record.component);
                record.component->Initialize();
            } else if (std::find(removedThisFlush.begin(), removedThisFlush.end(),
                                 record.component) == removedThisFlush.end()) {
                CarryOutRemoval(record);
            }
        }
        pending.clear();
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

    bool InAnyLayer(const T* component) const {
        return std::any_of(layers.begin(), layers.end(), [component](const auto& layer) {
            return std::find(layer.begin(), layer.end(), component) != layer.end();
        });
    }

    void CarryOutRemoval(const PendingRecord& record) {
        T* const component = record.component;
        // Only a component this list holds is deleted; a record naming anything else (never
        // produced in the normal flow) is dropped rather than risking a double delete. The
        // recorded layer is searched first, as it always holds the component in the normal flow.
        std::vector<T*>* holder = nullptr;
        typename std::vector<T*>::iterator found;
        const auto search = [&](std::vector<T*>& layer) {
            found = std::find(layer.begin(), layer.end(), component);
            holder = found != layer.end() ? &layer : nullptr;
            return holder != nullptr;
        };
        if (!search(layers[LayerIndex(record.layer)])) {
            for (auto& layer : layers) {
                if (search(layer)) {
                    break;
                }
            }
        }
        if (holder == nullptr) {
            return;
        }
        component->ShutDown();
        if (component->owner != nullptr) {
            component->owner->RemoveComponentEntry(this);
        }
        holder->erase(found);
        delete component;
        removedThisFlush.push_back(component);
    }

    std::string name;
    std::array<std::vector<T*>, kUpdateLayerCount> layers;
    std::vector<PendingRecord> pending;
    // Reused between flushes so a flush allocates nothing once it has grown.
    std::vector<T*> removedThisFlush;
};
