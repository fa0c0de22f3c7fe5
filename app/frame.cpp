// Start-up and the frame, in the order every platform runs them.
#include "app/frame.h"

#include "app/shell.h"
#include "plasma/plasma.h"

bool startUp(const FrameEdge &edge) {
    setNumericConventions();
    initShellState();
    resetFpsCounters();
    pitchTotal = 0;
    buildWaveTables();
    buildPalette();
    if (!edge.openDisplay()) {
        return false;
    }
    currentCamera = 0;
    loadCameraPreset(cameras[currentCamera], currentCamera);
    resetPlasmaPhase();
    edge.centrePointer();
    return true;
}

// Mouse look sees the pointer's offset from the centre; a pointer that moved is put back.
static void lookWithPointer(const FrameEdge &edge, Camera &camera) {
    int mx = WINDOW_CENTRE_X;
    int my = WINDOW_CENTRE_Y;
    edge.readPointer(mx, my);
    if (mouseLook(camera, mx, my)) {
        edge.centrePointer();
    }
}

// The caption's time is read again once it is shown, as the rate restarts from there.
static void updateFpsCaption(const FrameEdge &edge) {
    if (const char *caption = countFrame(edge.readTicks())) {
        edge.showCaption(caption);
        fpsCaptionShown(edge.readTicks());
    }
}

void runFrame(const FrameEdge &edge) {
    edge.drainEvents();
    updatePlasma();
    edge.uploadPlasmaTexture();
    edge.buildTerrainList();
    cameras[currentCamera].roll = rollAngle;
    lookWithPointer(edge, cameras[currentCamera]);
    const uint8_t *keys = edge.readKeys();
    handleCameraSwitch(keys);
    // The rest of the frame runs; the loop ends after it.
    if (keys[KEY_ESCAPE] || edge.stopRequested()) {
        quitRequested = true;
    }
    handleMovementKeys(keys);
    handleMouseButtons(edge.readButtons());
    updateFpsCaption(edge);
    edge.renderFrame(cameras[currentCamera]);
    edge.endFrame();
}
