// The frame loop's pure work through a long seeded session, one line of state
// per frame, floats at round-trip precision, then the sin/cos sweep's lines
// (mathSweep.h). Every platform must write the build machine's trace line for line:
//   quillon_trace            writes the trace on standard output;
//   quillon_trace REFERENCE  compares it with REFERENCE and names the first line that differs.
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "app/frame.h"
#include "app/shell.h"
#include "terrain/terrain.h"
#include "tests/trace/mathSweep.h"

namespace {

constexpr int FRAMES = 10000;
constexpr unsigned SEED = 20261207;
constexpr int KEYS[] = {KEY_UP, KEY_DOWN, KEY_RIGHT, KEY_LEFT, KEY_W, KEY_S, KEY_A, KEY_D, KEY_C};

// FNV-1a, one step per 64-bit word.
uint64_t mix(uint64_t digest, uint64_t word) { return (digest ^ word) * 1099511628211u; }
constexpr uint64_t DIGEST_START = 14695981039346656037u;

// Over bytes put into words in a fixed order, so both byte orders give the same digest.
uint64_t bytesDigest(const uint8_t *bytes, size_t count) {
    uint64_t digest = DIGEST_START;
    for (size_t i = 0; i < count; i += 8) {
        uint64_t word = 0;
        for (size_t k = 0; k < 8 && i + k < count; ++k)
            word |= uint64_t(bytes[i + k]) << (8 * k);
        digest = mix(digest, word);
    }
    return digest;
}

uint32_t bits(float f) {
    uint32_t word;
    std::memcpy(&word, &f, sizeof word);
    return word;
}

uint64_t terrainDigest(const TerrainVertex *vertices) {
    uint64_t digest = DIGEST_START;
    for (int i = 0; i < TERRAIN_VERTICES; ++i) {
        const TerrainVertex &v = vertices[i];
        const uint32_t words[] = {bits(v.s), bits(v.t), bits(v.shade), uint32_t(v.x), uint32_t(v.y), uint32_t(v.z)};
        for (const uint32_t word : words)
            digest = mix(digest, word);
    }
    return digest;
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
                  bytesDigest(reinterpret_cast<const uint8_t *>(texels), sizeof texels), terrainDigest(vertices),
                  currentCamera, double(pitchTotal), rollAngle);
    return state + text(cameras[0]) + "   " + text(cameras[1]) + "   " + user.caption;
}

} // namespace

int main(int argc, char **argv) {
    FILE *reference = argc > 1 ? std::fopen(argv[1], "r") : nullptr;
    if (argc > 1 && reference == nullptr) {
        std::fprintf(stderr, "quillon_trace: cannot read %s\n", argv[1]);
        return 2;
    }
    // Writes a line, or compares it with the reference's next one.
    const auto same = [reference](const std::string &line, const std::string &name) {
        if (reference == nullptr) {
            std::printf("%s\n", line.c_str());
            return true;
        }
        char expected[1024] = "";
        if (std::fgets(expected, sizeof expected, reference) == nullptr) {
            std::printf("the reference ends before %s\n", name.c_str());
            return false;
        }
        expected[std::strcspn(expected, "\r\n")] = '\0';
        if (line != expected) {
            std::printf("%s is the first that differs\n  here:      %s\n  reference: %s\n", name.c_str(),
                        line.c_str(), expected);
            return false;
        }
        return true;
    };
    startUp(SESSION_EDGE);
    for (int n = 1; n <= FRAMES; ++n) {
        if (!same(std::to_string(n) + " " + frame(), "frame " + std::to_string(n))) return 1;
    }
    const std::vector<std::string> sweep = sinCosSweep();
    for (size_t k = 0; k < sweep.size(); ++k) {
        if (!same(sweep[k], "sin/cos line " + std::to_string(k + 1))) return 1;
    }
    if (reference == nullptr) return 0;
    char more[8];
    if (std::fgets(more, sizeof more, reference) != nullptr) {
        std::printf("the reference goes on after the last sin/cos line\n");
        return 1;
    }
    std::printf("%d frames and %d sin/cos lines, each the same as in %s\n", FRAMES, int(sweep.size()), argv[1]);
    return 0;
}
