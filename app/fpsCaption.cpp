// The frame-rate caption: counted every frame, rewritten when more than two seconds have passed.
#include <cstdio>

#include "app/shell.h"

int32_t frameCount;
float lastFpsTime;
uint32_t lastFpsTicks;
float elapsed;
float fps;

static constexpr double SECONDS_PER_TICK = 0.001;
static constexpr float FPS_INTERVAL = 2.0f;            // seconds; the comparison is strict
static constexpr uint32_t SIGNED_TICKS_END = 1u << 31; // the counter read as signed turns negative here

static char fpsCaption[FPS_CAPTION_CAPACITY];

void resetFpsCounters() {
    frameCount = 0;
    lastFpsTime = 0;
    lastFpsTicks = 0;
    elapsed = 0;
    fps = 0;
}

// %.8g of the widened rate: eight significant digits at most, trailing zeros
// and a bare point dropped.
void formatFpsCaption(float rate, char (&caption)[FPS_CAPTION_CAPACITY]) {
    std::snprintf(caption, sizeof caption, "Vantrell FPS:%.8g", double(rate));
}

// The counter in seconds minus lastFpsTime is the measure for the first 24.8
// days. From 2^31 ms on it fails: the counter read as signed turns negative,
// and a float of that many seconds is good only to a quarter of a second.
// From there (and across the unsigned wrap at 2^32 ms) the wrapping difference
// of two readings takes over, which stays exact however long the run.
static float secondsSinceCaption(uint32_t ticks) {
    if (ticks < SIGNED_TICKS_END && lastFpsTicks <= ticks) {
        return static_cast<float>(static_cast<int32_t>(ticks) * SECONDS_PER_TICK - lastFpsTime);
    }
    return static_cast<float>((ticks - lastFpsTicks) * SECONDS_PER_TICK);
}

const char *countFrame(uint32_t ticks) {
    frameCount += 1;
    elapsed = secondsSinceCaption(ticks);
    if (!(elapsed > FPS_INTERVAL)) {
        return nullptr;
    }
    fps = static_cast<float>(frameCount / double(elapsed));
    formatFpsCaption(fps, fpsCaption);
    return fpsCaption;
}

void fpsCaptionShown(uint32_t ticks) {
    lastFpsTime = static_cast<float>(static_cast<int32_t>(ticks) * SECONDS_PER_TICK);
    lastFpsTicks = ticks;
    frameCount = 0;
}
