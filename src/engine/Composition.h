#pragma once
// What one program is made of, handed down by the layer above the engine: the systems every
// engine pass registers and the library systems the frame loop drives around the engine. The
// engine and the program only walk these lists; which systems they hold, and in what order, is
// decided above them. Every system is a process-wide singleton; the lists do not own them.

#include <vector>

class System;

struct Composition {
    // Registered by every Engine::Initialize, in this order. The order is observable: trace
    // lines, message delivery, stopwatch order, and shutdown in reverse.
    std::vector<System*> engineSystems;
    // Started once at start-up in this order, then updated before the engine and rendered after
    // it every frame, in this order. The graphics system must be among them: it opens the window,
    // and no library system after it starts when that failed.
    std::vector<System*> librarySystems;
    // Shut down once at exit, in this order, after the last engine pass.
    std::vector<System*> libraryShutDownOrder;
};
