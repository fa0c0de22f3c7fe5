// The frame loop's pure work through a long seeded session, one line of state
// per frame, floats at round-trip precision, then the sin/cos sweep. Every
// build must write the committed trace, expected.txt:
//   quillon_trace          writes the digest of each block of 100 frames' lines, then the sin/cos lines;
//   quillon_trace --full   writes every frame's line instead of the blocks: run it here and on a
//                          build that agrees to find the frame.
// Where malloc can be counted, a frame's work that allocates fails the run.
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "app/frame.h"
#include "app/shell.h"
#include "terrain/terrain.h"

namespace {

constexpr int FRAMES = 10000;
constexpr int BLOCK = 100; // frames to a line of the compact trace
constexpr unsigned SEED = 20261207;
constexpr int KEYS[] = {KEY_UP, KEY_DOWN, KEY_RIGHT, KEY_LEFT, KEY_W, KEY_S, KEY_A, KEY_D, KEY_C};
// How far a user rolls from the start-up roll by holding one button for an
// hour at 1,000 frames a second (the per-frame CPU work alone allows about
// 1,800 on the build machine), or for 17 hours at 60. Reaching the 32-bit wrap
// would take 25 days at 1,000.
constexpr int32_t ROLL_REACH = 3600 * 1000;

// FNV-1a over 32-bit words: the same digest whatever the platform's byte order.
struct Digest {
    uint64_t value = 14695981039346656037u;

    void add(uint32_t word) { value = (value ^ word) * 1099511628211u; }

    void add(float f) {
        uint32_t word;
        std::memcpy(&word, &f, sizeof word);
        add(word);
    }

    // Four bytes to a word, the first in the lowest place; a short last word is zero-filled.
    void add(const void *data, size_t count) {
        const auto *bytes = static_cast<const uint8_t *>(data);
        for (size_t i = 0; i < count; i += 4) {
            uint32_t word = 0;
            for (size_t k = 0; k < 4 && i + k < count; ++k)
                word |= uint32_t(bytes[i + k]) << (8 * k);
            add(word);
        }
    }
};

uint64_t bytesDigest(const void *bytes, size_t count) {
    Digest digest;
    digest.add(bytes, count);
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
    char caption[64] = "-";

    void next() {
        for (const int key : KEYS)
            if (pick() % 16 == 0) keys[key] = !keys[key];
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
        std::strcpy(caption, "-");
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
    [](const char *caption) { std::snprintf(user.caption, sizeof user.caption, "%s", caption); },
    [](const Camera &) {},
    [] {},
};

// Heap allocations counted while a frame runs, where malloc can be replaced and
// the C library's own reached: glibc, without AddressSanitizer's own malloc.
bool inFrame = false;
long frameAllocations = 0;

// One frame as the program runs it; returns its line of state.
std::string frame() {
    inFrame = true;
    runFrame(SESSION_EDGE);
    inFrame = false;
    char state[128];
    std::snprintf(state, sizeof state, "%d %016" PRIx64 " %016" PRIx64 " %016" PRIx64 " %d %.9g %d ", phase,
                  bytesDigest(plasmaField, sizeof plasmaField), bytesDigest(texels, sizeof texels),
                  terrainDigest(vertices), currentCamera, double(pitchTotal), rollAngle);
    return state + text(cameras[0]) + "   " + text(cameras[1]) + "   " + user.caption;
}

// The sin/cos sweep's line: a set of arguments, its range and count, and the
// digest of what the program keeps of their sines and cosines.
void printSweep(const char *name, long long first, long long last, const Digest &digest) {
    std::printf("sin/cos %s %lld..%lld (%lld arguments) %016" PRIx64 "\n", name, first, last, last - first + 1,
                digest.value);
}

// The up vector mouseLook makes of each roll a user reaches, the pointer at rest.
void sweepRolls() {
    initShellState();
    const int32_t first = rollAngle - ROLL_REACH;
    const int32_t last = rollAngle + ROLL_REACH;
    Digest digest;
    for (int32_t roll = first; roll <= last; ++roll) {
        Camera camera{};
        camera.roll = roll;
        mouseLook(camera, WINDOW_CENTRE_X, WINDOW_CENTRE_Y);
        digest.add(camera.up.x);
        digest.add(camera.up.y);
        digest.add(camera.up.z);
    }
    printSweep("roll", first, last, digest);
}

// rotateView's float cosine and sine of the angle mouseLook turns by for each
// pointer position along one side of the window: turning the unit x vector
// about the z axis puts them, unchanged, into the view point's x and y.
void sweepTurns(const char *name, int centre, int size) {
    Digest digest;
    for (int position = 0; position < size; ++position) {
        Camera camera{};
        camera.view = Vector3{1, 0, 0};
        rotateView(camera, static_cast<float>((centre - position) / PIXELS_PER_RADIAN), 0, 0, 1);
        digest.add(camera.view.x);
        digest.add(camera.view.y);
    }
    printSweep(name, 0, size - 1, digest);
}

} // namespace

#if defined(__GLIBC__) && !defined(__SANITIZE_ADDRESS__)
extern "C" void *__libc_malloc(size_t size);
extern "C" void *malloc(size_t size) { // every way to the heap, operator new too, comes here
    if (inFrame) frameAllocations += 1;
    return __libc_malloc(size);
}
#endif

int main(int argc, char **) {
    const bool full = argc > 1; // --full, or any argument
    Digest block;
    startUp(SESSION_EDGE);
    for (int n = 1; n <= FRAMES; ++n) {
        const std::string line = std::to_string(n) + " " + frame();
        block.add(line.data(), line.size());
        if (full) std::printf("%s\n", line.c_str());
        if (!full && n % BLOCK == 0) {
            std::printf("frames %d..%d %016" PRIx64 "\n", n - BLOCK + 1, n, block.value);
            block = Digest();
        }
    }
    // Every argument the program gives sin and cos, up to the rolls a user
    // reaches, so every platform's C library is compared with the build
    // machine's wherever the program uses it. The wave tables and the palette
    // need no sweep: the session reads every entry the program reads.
    sweepRolls();
    sweepTurns("yaw", WINDOW_CENTRE_X, WINDOW_WIDTH);
    sweepTurns("pitch", WINDOW_CENTRE_Y, WINDOW_HEIGHT);
    if (frameAllocations != 0) {
        std::fprintf(stderr, "quillon_trace: the frames' work allocated %ld times\n", frameAllocations);
        return 1;
    }
    return 0;
}
