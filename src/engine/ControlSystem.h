#pragma once
// A system that also hears messages. Every hook has an empty default, so a concrete system
// overrides only what it uses.

#include "engine/MessageHandler.h"
#include "engine/System.h"

class ControlSystem : public System, public MessageHandler {
public:
    void Initialize() override {}
    void Update(float /*dt*/) override {}
    void Render() override {}
    void ShutDown() override {}
};
