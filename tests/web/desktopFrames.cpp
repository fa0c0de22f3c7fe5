// The desktop's frames under the scripted visitor of session.txt, for the page
// to hold its own against:
//   quillon_desktop_frames SESSION FILE
// writes the picture of the last frame of each of SESSION's lines to FILE:
// 640x480 RGB, bottom row first, one after another.
#include <GL/gl.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tests/render/pictureEdge.h"

namespace {

const std::map<std::string, int> KEYS = {
    {"Escape", KEY_ESCAPE}, {"A", KEY_A},   {"C", KEY_C},       {"D", KEY_D},         {"S", KEY_S},
    {"W", KEY_W},           {"Up", KEY_UP}, {"Down", KEY_DOWN}, {"Right", KEY_RIGHT}, {"Left", KEY_LEFT}};
const std::map<std::string, uint8_t> BUTTONS = {{"left", BUTTON_LEFT_MASK}, {"right", BUTTON_RIGHT_MASK}};

FILE *out;

void writePicture() {
    static std::vector<uint8_t> rgb(WINDOW_WIDTH * WINDOW_HEIGHT * 3);
    glReadPixels(0, 0, WINDOW_WIDTH, WINDOW_HEIGHT, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    std::fwrite(rgb.data(), 1, rgb.size(), out);
}

// Runs one line of the session; false when it cannot be read.
bool runLine(const std::string &line) {
    std::istringstream words(line);
    int frames = 0;
    std::string input;
    std::string name;
    words >> frames >> input;
    if (input == "move") {
        int dx = 0;
        int dy = 0;
        words >> dx >> dy;
        held.mx = WINDOW_CENTRE_X + dx;
        held.my = WINDOW_CENTRE_Y + dy;
    } else if (input != "none") {
        words >> name;
    }
    uint8_t *key = KEYS.count(name) != 0 ? &held.keys[KEYS.at(name)] : nullptr;
    const bool known = input == "none" || input == "move" ||
                       (key != nullptr && (input == "hold" || input == "tap")) ||
                       (input == "press" && BUTTONS.count(name) != 0);
    if (!words || frames < 1 || !known) return false;
    for (int n = 1; n <= frames; ++n) {
        if (key != nullptr) *key = input == "hold" || n == 1;
        held.buttons = input == "press" ? BUTTONS.at(name) : 0;
        takePicture = n == frames ? writePicture : [] {};
        runFrame(PICTURE_EDGE);
    }
    if (key != nullptr) *key = 0;
    return true;
}

} // namespace

int main(int argc, char **argv) {
    std::ifstream session(argc == 3 ? argv[1] : "");
    out = session ? std::fopen(argv[2], "wb") : nullptr;
    if (out == nullptr) {
        std::fprintf(stderr, "usage: quillon_desktop_frames SESSION FILE (a readable SESSION, a writable FILE)\n");
        return 2;
    }
    if (!startUp(PICTURE_EDGE)) return 1;
    std::string line;
    while (std::getline(session, line)) {
        if (line.empty() || line[0] == '#') continue;
        if (!runLine(line)) {
            std::fprintf(stderr, "quillon_desktop_frames: cannot run the line \"%s\"\n", line.c_str());
            return 2;
        }
    }
    SDL_Quit();
    return std::fclose(out) == 0 ? 0 : 1;
}
