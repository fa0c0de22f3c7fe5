// The demo's first frames as the desktop draws them with nobody at the
// controls, for the browser test to hold its own against:
//   quillon_desktop_frames COUNT FILE
// writes COUNT pictures of 640x480 RGB, bottom row first, one after another.
#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "tests/render/pictureEdge.h"

namespace {

FILE *out;

void writePicture() {
    static std::vector<uint8_t> rgb(WINDOW_WIDTH * WINDOW_HEIGHT * 3);
    glReadPixels(0, 0, WINDOW_WIDTH, WINDOW_HEIGHT, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    std::fwrite(rgb.data(), 1, rgb.size(), out);
}

} // namespace

int main(int argc, char **argv) {
    const int count = argc == 3 ? std::atoi(argv[1]) : 0;
    out = count > 0 ? std::fopen(argv[2], "wb") : nullptr;
    if (out == nullptr) {
        std::fprintf(stderr, "usage: quillon_desktop_frames COUNT FILE (a writable FILE)\n");
        return 2;
    }
    takePicture = writePicture;
    if (!startUp(PICTURE_EDGE)) {
        return 1;
    }
    for (int n = 0; n < count; ++n) {
        runFrame(PICTURE_EDGE);
    }
    SDL_Quit();
    return std::fclose(out) == 0 ? 0 : 1;
}
