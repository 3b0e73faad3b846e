#include "tools/IMGUISystem.h"

IMGUISystem& IMGUISystem::Instance() {
    static IMGUISystem* system = new IMGUISystem();
    return *system;
}
