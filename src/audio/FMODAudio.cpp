#include "audio/FMODAudio.h"

FMODAudio& FMODAudio::Instance() {
    static FMODAudio* system = new FMODAudio();
    return *system;
}
