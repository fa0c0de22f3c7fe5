// The frame's edge on SDL 1.2 with OpenGL, on the desktop and in the browser.
#pragma once

#include <cstdint>

#include "app/frame.h"

// The edge every SDL build runs: SDL's events, clock and buttons, the GL's
// texture, terrain and drawing, and the input below from the platform's file.
extern const FrameEdge SDL_EDGE;

// Where platforms differ (inputSdl.cpp on the desktop, inputWeb.cpp in a browser):
const uint8_t *readKeys();             // held keys, indexed by SDL 1.2 key symbol
uint8_t readButtons();                 // mouse buttons held, SDL 1.2 mask bits
void readPointer(int &mx, int &my);    // the pointer as mouse look sees it
void centrePointer();                  // puts the pointer back at the window centre
void showCaption(const char *caption); // the window caption
