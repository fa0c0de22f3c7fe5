// The program-wide state the frame loop starts with, for tests that drive the shell and cameras.
#pragma once

#include "app/shell.h"

// Shell defaults, camera 0 current at its preset, camera 1 all zero, no tilt.
inline void resetToStartState() {
    initShellState();
    currentCamera = 0;
    cameras[0] = Camera{};
    cameras[1] = Camera{};
    loadCameraPreset(cameras[0], 0);
    pitchTotal = 0;
}
