#pragma once
// The tool-GUI library system: opens the GUI frame in its update and draws it over the game in
// its render. Driven directly by the frame loop, never registered with the engine. The GUI
// itself lands with the tool windows; until then the frame hooks have nothing to do.

#include "engine/NamedSystem.h"

class IMGUISystem : public NamedSystem<SystemType::REPLAY_STORAGE_SYSTEM> {
public:
    static IMGUISystem& Instance();

private:
    IMGUISystem() = default;
};
