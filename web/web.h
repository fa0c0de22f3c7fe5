// The page's edge: what only the browser build has. The frame reaches the
// browser through WebGL 1 and the page's own events (html5.h), with nothing
// in between that stands in for the desktop's SDL or fixed-function GL.
#pragma once

#include <cstdint>

#include "camera/camera.h"

// The page's canvas, which the demo draws on and listens to.
inline constexpr char CANVAS[] = "#canvas";

// The drawing (webgl.cpp). Opens a WebGL 1 context on the canvas and sets the
// state every frame relies on; returns false, once the page has said why, when
// the browser gives none.
bool openWebGl();
void uploadPlasmaTexture();             // this frame's texels into the plasma texture
void uploadTerrain();                   // this frame's terrain into the vertex buffer
void drawTerrain(const Camera &camera); // the picture, in one draw call

// The input (input.cpp). From listenForInput on, the page's events are heard:
// keys by their meaning, the mouse buttons, the pointer's movement once a
// click on the canvas has captured it (pointer lock), and the page's touch
// controls; what is held when the page loses focus is let go.
void listenForInput();
const uint8_t *readKeys();          // held keys, indexed by SDL 1.2 key symbol
uint8_t readButtons();              // mouse buttons held, SDL 1.2 mask bits
void readPointer(int &mx, int &my); // the centre plus the movement since the pointer was last put back
void centrePointer();               // forgets that movement
