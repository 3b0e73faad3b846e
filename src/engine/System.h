#pragma once
// Root of every engine system and every component list. The engine drives systems through
// these hooks once per pass (Initialize, ShutDown) and once per frame (PreUpdate, Update,
// Render).

#include <string>

class Engine;

class System {
public:
    virtual ~System() = default;

    virtual const std::string& GetName() const;
    virtual void Initialize() = 0;
    virtual void PreUpdate();
    virtual void Update(float dt) = 0;
    virtual void Render() = 0;
    virtual void ShutDown() = 0;

    // Set when the engine registers the system; stays null for component lists.
    Engine* engine = nullptr;
};
