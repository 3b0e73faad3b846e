#include "game/GameComposition.h"

#include "audio/AudioSystem.h"
#include "audio/FMODAudio.h"
#include "entities/SceneSystem.h"
#include "graphics/DebugDrawSystem.h"
#include "graphics/GraphicsSystem.h"
#include "graphics/WindowModeSystem.h"
#include "input/CheatSystem.h"
#include "input/InputStateSystem.h"
#include "input/InputSystem.h"
#include "physics/ColliderSystem.h"
#include "replay/ReplayRunSystem.h"
#include "tools/DebugSystem.h"
#include "tools/EditorSystem.h"
#include "tools/EngineSettingsSystem.h"
#include "tools/IMGUISystem.h"
#include "tools/LiveReloadSystem.h"
#include "tools/WindowCreationSystem.h"

Composition GameComposition(bool recordsOrReplays) {
    Composition composition;
    // The input system comes first, so that a frame's messages are delivered (and the held-input
    // table set) before any other system updates. The window-creation system comes before the tool
    // systems that hand it their windows, so that it shuts down after them and deletes the windows
    // once they have let go.
    composition.engineSystems = {
        &InputSystem::Instance(),          &InputStateSystem::Instance(),
        &ColliderSystem::Instance(),       &SceneSystem::Instance(),
        &CheatSystem::Instance(),          &AudioSystem::Instance(),
        &DebugDrawSystem::Instance(),      &WindowModeSystem::Instance(),
        &WindowCreationSystem::Instance(), &DebugSystem::Instance(),
        &EditorSystem::Instance(),         &EngineSettingsSystem::Instance(),
        &LiveReloadSystem::Instance(),
    };
    // Last: it sees the world every other system has settled, and shuts down first, while the
    // world is still whole, to write or check the last checkpoint.
    if (recordsOrReplays) {
        composition.engineSystems.push_back(&ReplayRunSystem::Instance());
    }
    // The GUI is last: it opens its frame after the window has polled its events, and draws over
    // everything else.
    composition.librarySystems = {
        &GraphicsSystem::Instance(),
        &FMODAudio::Instance(),
        &IMGUISystem::Instance(),
    };
    // The GUI's backends restore the window's callbacks and free their GL objects, so they go
    // while the window and its context still exist.
    composition.libraryShutDownOrder = {
        &IMGUISystem::Instance(),
        &GraphicsSystem::Instance(),
        &FMODAudio::Instance(),
    };
    return composition;
}
