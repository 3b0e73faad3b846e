#pragma once
// The game as one program: the eleven systems every engine pass registers, in their fixed order
// (a twelfth, the replay system, when the run records or replays), and the three library systems
// the program drives itself. The one place that names them all,
// so that the engine below knows none of the tools or the gameplay built on it.

#include "engine/Composition.h"

Composition GameComposition(bool recordsOrReplays = false);
