// One frame of the demo, written once: the steps in their order, for the
// desktop loop, the browser's animation callback, the tests and the benchmarks.
#pragma once

#include <cstdint>

#include "camera/camera.h"

// What a frame needs from outside the pure code: the platform's window, input
// and clock, and the GL. The SDL build fills it in with SDL and GL calls
// (sdlEdge.cpp); tests and benchmarks fill it in with their own.
struct FrameEdge {
    bool (*openDisplay)();                     // the window and its GL state; false: cannot start
    void (*drainEvents)();                     // empties the event queue, acting on nothing
    void (*uploadPlasmaTexture)();             // hands this frame's texels to the GL
    void (*buildTerrainList)();                // compiles the terrain from this frame's field
    void (*readPointer)(int &mx, int &my);     // the pointer in window pixels
    void (*centrePointer)();                   // puts the pointer back at the window centre
    const uint8_t *(*readKeys)();              // held keys, indexed by SDL 1.2 key symbol
    bool (*stopRequested)();                   // a stop asked for from outside (Ctrl+C, kill)
    uint8_t (*readButtons)();                  // mouse buttons held, SDL 1.2 mask bits
    uint32_t (*readTicks)();                   // the millisecond counter
    void (*showCaption)(const char *caption);  // the window caption
    void (*renderFrame)(const Camera &camera); // draws the terrain through the camera
    void (*endFrame)();                        // swaps buffers and pumps events
};

// Start-up in its order: conventions, shell state, wave tables and palette,
// the display, camera 0 at its preset, the plasma phase, the pointer centred.
// The run's other state starts from zero, so a process can start more than
// once (tests). Returns false when the display cannot be opened.
bool startUp(const FrameEdge &edge);

// Runs one frame. After the frame in which Escape or a stop request is seen,
// quitRequested is set and the caller ends the loop.
void runFrame(const FrameEdge &edge);
