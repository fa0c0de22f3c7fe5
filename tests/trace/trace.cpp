// The frame loop's pure work through a long seeded session, one line of state
// per frame, floats at round-trip precision, then the sin/cos sweep's lines
// (mathSweep.h). Every build must give the committed trace, expected.txt:
//   quillon_trace --full     writes a line per frame, then the sin/cos lines;
//   quillon_trace --blocks   writes the digest of each block of 100 frames' lines instead;
//   quillon_trace EXPECTED   compares its blocks with EXPECTED and names the first line that differs.
#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "app/frame.h"
#include "app/shell.h"
#include "terrain/terrain.h"
#include "tests/trace/digest.h"
#include "tests/trace/mathSweep.h"

namespace {

constexpr int FRAMES = 10000;
constexpr int BLOCK = 100; // frames to a line of the compact trace
constexpr unsigned SEED = 20261207;
constexpr int KEYS[] = {KEY_UP, KEY_DOWN, KEY_RIGHT, KEY_LEFT, KEY_W, KEY_S, KEY_A, KEY_D, KEY_C};

uint64_t bytesDigest(const void *bytes, size_t count) {
    Digest digest;
    digest.add(static_cast<const uint8_t *>(bytes), count);
    return digest.value;
}

uint64_t terrainDigest(const TerrainVertex *vertices) {
    Digest digest;
    for (int i = 0; i < TERRAIN_VERTICES; ++i) {
        const TerrainVertex &v = vertices[i];
        digest.add(v.s);
        digest.add(v.t);
        digest.add(v.shade);
        digest.add(uint32_t(v.x));
        digest.add(uint32_t(v.y));
        digest.add(uint32_t(v.z));
    }
    return digest.value;
}

std::string text(const Vector3 &v) {
    char line[64];
    std::snprintf(line, sizeof line, "%.9g %.9g %.9g", double(v.x), double(v.y), double(v.z));
    return line;
}

std::string text(const Camera &c) {
    return text(c.position) + "  " + text(c.view) + "  " + text(c.up) + "  " + std::to_string(c.roll);
}

// The user: keys and buttons held for runs of frames, the pointer nudged near
// the centre or now and then put anywhere in the window, and a clock that
// advances unevenly, now and then by more than two seconds at once.
// std::mt19937's raw output is the same everywhere.
struct Session {
    std::mt19937 pick{SEED};
    uint8_t keys[512] = {};
    uint8_t buttons = 0;
    int mx = WINDOW_CENTRE_X;
    int my = WINDOW_CENTRE_Y;
    uint32_t ticks = 0;
    int tickReadings = 0;
    std::string caption;

    void next() {
        for (const int key : KEYS) {
            if (pick() % 16 == 0) keys[key] = !keys[key];
        }
        if (pick() % 32 == 0) buttons ^= BUTTON_LEFT_MASK;
        if (pick() % 32 == 0) buttons ^= BUTTON_RIGHT_MASK;
        if (pick() % 4 == 0) {
            mx = static_cast<int>(pick() % WINDOW_WIDTH);
            my = static_cast<int>(pick() % WINDOW_HEIGHT);
        } else if (pick() % 2 == 0) {
            mx = WINDOW_CENTRE_X - 20 + static_cast<int>(pick() % 41);
            my = WINDOW_CENTRE_Y - 20 + static_cast<int>(pick() % 41);
        }
        ticks += 1 + pick() % 33;
        if (pick() % 1000 == 0) ticks += 2500;
        tickReadings = 0;
        caption = "-";
    }
};

Session user;
TerrainVertex vertices[TERRAIN_VERTICES];

// The frame's edge for the session: its input, and the terrain's vertices kept
// where the GL would compile them. Nothing is drawn.
const FrameEdge SESSION_EDGE = {
    [] { return true; },
    [] { user.next(); },
    [] {},
    [] { buildTerrainVertices(vertices); },
    [](int &mx, int &my) {
        mx = user.mx;
        my = user.my;
    },
    [] {
        user.mx = WINDOW_CENTRE_X;
        user.my = WINDOW_CENTRE_Y;
    },
    []() -> const uint8_t * { return user.keys; },
    [] { return false; },
    [] { return user.buttons; },
    // The reading after a caption is shown may be a millisecond on.
    [] { return user.tickReadings++ == 0 ? user.ticks : user.ticks + user.ticks % 2; },
    [](const char *caption) { user.caption = caption; },
    [](const Camera &) {},
    [] {},
};

// One frame as the program runs it; returns its line of state.
std::string frame() {
    runFrame(SESSION_EDGE);
    char state[128];
    std::snprintf(state, sizeof state, "%d %016" PRIx64 " %016" PRIx64 " %016" PRIx64 " %d %.9g %d ", phase,
                  bytesDigest(plasmaField, sizeof plasmaField),
                  bytesDigest(texels, sizeof texels), terrainDigest(vertices),
                  currentCamera, double(pitchTotal), rollAngle);
    return state + text(cameras[0]) + "   " + text(cameras[1]) + "   " + user.caption;
}

// A block's line: its frames and the digest of their lines.
std::string blockLine(int first, int last, const Digest &digest) {
    char line[64];
    std::snprintf(line, sizeof line, "frames %d..%d %016" PRIx64, first, last, digest.value);
    return line;
}

// The trace in full (a line per frame), or in blocks (a line per BLOCK frames);
// the sin/cos lines follow either.
std::vector<std::string> trace(bool full) {
    std::vector<std::string> lines;
    Digest block;
    startUp(SESSION_EDGE);
    for (int n = 1; n <= FRAMES; ++n) {
        const std::string line = std::to_string(n) + " " + frame();
        block.add(line);
        if (full) lines.push_back(line);
        if (!full && n % BLOCK == 0) {
            lines.push_back(blockLine(n - BLOCK + 1, n, block));
            block = Digest();
        }
    }
    const std::vector<std::string> sweep = sinCosSweep();
    lines.insert(lines.end(), sweep.begin(), sweep.end());
    return lines;
}

std::vector<std::string> readLines(FILE *file) {
    std::vector<std::string> lines;
    char line[1024];
    while (std::fgets(line, sizeof line, file) != nullptr) {
        line[std::strcspn(line, "\r\n")] = '\0';
        lines.emplace_back(line);
    }
    return lines;
}

} // namespace

int main(int argc, char **argv) {
    const std::string option = argc == 2 ? argv[1] : "";
    if (option == "--full" || option == "--blocks") {
        for (const std::string &line : trace(option == "--full"))
            std::printf("%s\n", line.c_str());
        return 0;
    }
    FILE *expected = argc == 2 ? std::fopen(argv[1], "r") : nullptr;
    if (expected == nullptr) {
        std::fprintf(stderr, "usage: quillon_trace --full | --blocks | EXPECTED (a readable file of blocks)\n");
        return 2;
    }
    const std::vector<std::string> lines = trace(false);
    const std::vector<std::string> wanted = readLines(expected);
    const auto [here, there] = std::mismatch(lines.begin(), lines.end(), wanted.begin(), wanted.end());
    if (here == lines.end() && there == wanted.end()) {
        std::printf("%d frames and the sin/cos sweep: all %d lines are those of %s\n", FRAMES, int(lines.size()),
                    argv[1]);
        return 0;
    }
    std::printf("line %d is the first that differs from %s\n  here:     %s\n  expected: %s\n",
                int(here - lines.begin()) + 1, argv[1], here == lines.end() ? "(no more lines)" : here->c_str(),
                there == wanted.end() ? "(no more lines)" : there->c_str());
    std::printf("quillon_trace --full, here and on a build that agrees, names the frame.\n");
    return 1;
}
