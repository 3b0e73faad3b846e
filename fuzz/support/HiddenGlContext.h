#pragma once
// One hidden window whose OpenGL 3.3 core context stays current for the rest of the process: the
// mesh and shader loaders, and the sprites that call them, create OpenGL objects. It needs a
// display (scripts/fuzz starts Xvfb when DISPLAY is unset) and ends the process with a message
// when no context can be had, since every later run would fail for the same reason.
void MakeHiddenGlContextCurrent();
