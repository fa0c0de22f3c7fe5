// The frame-rate caption: counted every frame, rewritten when more than two seconds have passed.
#include <cstdio>

#include "app/shell.h"

int32_t frameCount;
uint32_t lastFpsTicks;
float elapsed;
float fps;

static constexpr double SECONDS_PER_TICK = 0.001;
static constexpr float FPS_INTERVAL = 2.0f; // seconds; the comparison is strict

static char fpsCaption[FPS_CAPTION_CAPACITY];

// %.8g of the widened rate: eight significant digits at most, trailing zeros
// and a bare point dropped.
void formatFpsCaption(float rate, char (&caption)[FPS_CAPTION_CAPACITY]) {
    std::snprintf(caption, sizeof caption, "Vantrell FPS:%.8g", double(rate));
}

const char *countFrame(uint32_t ticks) {
    frameCount += 1;
    const uint32_t ticksSinceUpdate = ticks - lastFpsTicks; // wraps with the counter
    elapsed = static_cast<float>(ticksSinceUpdate * SECONDS_PER_TICK);
    if (!(elapsed > FPS_INTERVAL)) {
        return nullptr;
    }
    fps = static_cast<float>(frameCount / double(elapsed));
    formatFpsCaption(fps, fpsCaption);
    return fpsCaption;
}

void fpsCaptionShown(uint32_t ticks) {
    lastFpsTicks = ticks;
    frameCount = 0;
}
