// Quillon's entry point in a browser: start-up, then one frame each time the
// browser is ready to show one, until the frame in which Escape is seen or the
// browser takes the WebGL context away.
#include <emscripten.h>
#include <emscripten/html5.h>

#include "app/frame.h"
#include "app/shell.h"
#include "web/web.h"

namespace {

double startTime; // the page's clock when the display opened, in milliseconds

bool openDisplay() {
    startTime = emscripten_get_now();
    return openWebGl();
}

// Events come to the page between frames, through its listeners: there is no
// queue to empty, and the browser shows the picture once the frame returns.
void nothing() {}

// Milliseconds since the display opened, whole ones, as SDL counts them.
uint32_t readTicks() { return static_cast<uint32_t>(static_cast<uint64_t>(emscripten_get_now() - startTime)); }

// No signals reach a page.
bool stopRequested() { return false; }

void showCaption(const char *caption) { emscripten_set_window_title(caption); }

const FrameEdge WEB_EDGE = {
    openDisplay,   nothing,     uploadPlasmaTexture, uploadTerrain, readPointer, centrePointer, readKeys,
    stopRequested, readButtons, readTicks,           showCaption,   drawTerrain, nothing};

EM_JS(void, showDemoEnded, (), { Module['onDemoEnded'](); });
EM_JS(void, showContextLost, (), { Module['onContextLost'](); });

bool stopped; // no further frame is drawn

EM_BOOL frame(double, void *) {
    if (stopped) {
        return EM_FALSE;
    }
    runFrame(WEB_EDGE);
    if (quitRequested) {
        stopped = true;
        showDemoEnded();
    }
    return !stopped;
}

// A graphics reset, a driver update or a starved background tab: nothing can
// be drawn any more.
EM_BOOL contextLost(int, const void *, void *) {
    stopped = true;
    showContextLost();
    return EM_FALSE;
}

} // namespace

int main() {
    if (!startUp(WEB_EDGE)) {
        return 1;
    }
    listenForInput();
    emscripten_set_webglcontextlost_callback(CANVAS, nullptr, EM_TRUE, contextLost);
    // Driven by the browser's animation frames; main returns and the page lives on.
    emscripten_request_animation_frame_loop(frame, nullptr);
    return 0;
}
