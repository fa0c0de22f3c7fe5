// The desktop build's edge: the window and its fixed-function GL state, the
// per-frame texture upload, the terrain's display list and the drawing of one
// frame through a camera (OpenGL 1.1 and GLU), with SDL 1.2's input and clock.
// The only place that opens the window.
#pragma once

#include "app/frame.h"
#include "camera/camera.h"

// The frame's edge on SDL 1.2 and fixed-function GL, which the program runs.
extern const FrameEdge SDL_EDGE;

// The GL texture name carrying the plasma; created by initDisplay.
extern unsigned int plasmaTexture;

// Opens the 640x480 double-buffered OpenGL window, hides the pointer, sets the
// caption "Quillon" and the fixed GL state. Returns false, with SDL shut down
// where it was started, when SDL or the video mode cannot be had, or when the
// only video driver available shows no window; it then says why on standard error.
bool initDisplay();

// Hands this frame's texels to plasmaTexture (level 0, 256x256 RGBA).
void uploadPlasmaTexture();

// The display-list name holding the current frame's terrain (0 until the first
// build, and again once deleted).
extern unsigned int terrainList;

// Recompiles terrainList from the current field.
void buildTerrainList();

// Deletes the list, leaving no GL object behind.
void deleteTerrainList();

// Draws terrainList through `camera`, scaled by worldScale. The caller swaps buffers.
void renderFrame(const Camera &camera);
