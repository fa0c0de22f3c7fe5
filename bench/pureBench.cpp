// Benchmarks of the pure per-frame work: the plasma pass against its formula,
// the terrain's vertex sequence, and the program's whole frame with nothing
// drawn. Needs no display; built natively and for WebAssembly (run under node).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <iterator>
#include <random>
#include <vector>

#include "app/frame.h"
#include "app/shell.h"
#include "plasma/plasma.h"
#include "terrain/terrain.h"
#include "tests/plasmaReference.h"

static double fastest(const std::vector<double> &times) { return *std::min_element(times.begin(), times.end()); }

// Times in microseconds; repeated runs also report their fastest repetition as "min".
static void configure(benchmark::internal::Benchmark *benchmark) {
    benchmark->Unit(benchmark::kMicrosecond)->ComputeStatistics("min", fastest);
}

// Each call draws the next phase, so both plasma passes walk the same phases.
static int32_t nextPhase(int32_t p) { return p == PHASE_LAST ? 0 : p + 1; }

static void fillPlasmaBench(benchmark::State &state) {
    int32_t p = 0;
    for (auto _ : state) {
        fillPlasma(p, plasmaField, texels);
        benchmark::ClobberMemory();
        p = nextPhase(p);
    }
}
BENCHMARK(fillPlasmaBench)->Name("fillPlasma")->Apply(configure);

static void fillPlasmaReferenceBench(benchmark::State &state) {
    int32_t p = 0;
    for (auto _ : state) {
        fillPlasmaReference(p, plasmaField, texels);
        benchmark::ClobberMemory();
        p = nextPhase(p);
    }
}
BENCHMARK(fillPlasmaReferenceBench)->Name("fillPlasmaReference")->Apply(configure);

static void updatePlasmaBench(benchmark::State &state) {
    resetPlasmaPhase();
    for (auto _ : state) {
        updatePlasma();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(updatePlasmaBench)->Name("updatePlasma")->Apply(configure);

static void buildTerrainVerticesBench(benchmark::State &state) {
    static TerrainVertex vertices[TERRAIN_VERTICES];
    resetPlasmaPhase();
    updatePlasma();
    for (auto _ : state) {
        buildTerrainVertices(vertices);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(buildTerrainVerticesBench)->Name("buildTerrainVertices")->Apply(configure);

// One frame of a user's input: which movement keys and C are held, the mouse
// buttons, and the pointer.
struct Input {
    uint16_t keys; // bit k: INPUT_KEYS[k] held
    uint8_t buttons;
    int16_t mx, my;
};

constexpr int INPUT_KEYS[] = {KEY_UP, KEY_DOWN, KEY_RIGHT, KEY_LEFT, KEY_W, KEY_S, KEY_A, KEY_D, KEY_C};
constexpr int INPUT_FRAMES = 4096;
constexpr unsigned INPUT_SEED = 20261207;
constexpr uint32_t MILLISECONDS_PER_FRAME = 17;

// The user the frame benchmark plays back, over and over: keys and buttons held
// for runs of frames, the pointer nudged near the centre in most frames, drawn
// once from a fixed seed (std::mt19937 draws the same everywhere).
static Input inputs[INPUT_FRAMES];

static void drawInputs() {
    std::mt19937 pick{INPUT_SEED};
    Input held{0, 0, WINDOW_CENTRE_X, WINDOW_CENTRE_Y};
    for (Input &input : inputs) {
        for (size_t k = 0; k < std::size(INPUT_KEYS); ++k) {
            if (pick() % 16 == 0) held.keys ^= uint16_t(1u << k);
        }
        if (pick() % 32 == 0) held.buttons ^= BUTTON_LEFT_MASK;
        if (pick() % 32 == 0) held.buttons ^= BUTTON_RIGHT_MASK;
        held.mx = int16_t(WINDOW_CENTRE_X - 8 + int(pick() % 17));
        held.my = int16_t(WINDOW_CENTRE_Y - 8 + int(pick() % 17));
        input = held;
    }
}

// What the benchmark's edge hands the frame: this frame's input, the pointer
// until mouse look puts it back, and the terrain's vertices where the GL would
// compile them. The first frame starts the clock at 17 ms.
static int inputFrame = -1;
static uint8_t keyState[512]; // indexed by SDL 1.2 key symbol, all below 512
static int pointerX = WINDOW_CENTRE_X;
static int pointerY = WINDOW_CENTRE_Y;
static uint32_t ticks;
static TerrainVertex vertices[TERRAIN_VERTICES];

static void nextInput() {
    inputFrame = (inputFrame + 1) % INPUT_FRAMES;
    const Input &input = inputs[inputFrame];
    for (size_t k = 0; k < std::size(INPUT_KEYS); ++k) {
        keyState[INPUT_KEYS[k]] = (input.keys >> k) & 1;
    }
    pointerX = input.mx;
    pointerY = input.my;
    ticks += MILLISECONDS_PER_FRAME;
}

// The frame's edge with no window and no GL: nothing is uploaded or drawn.
static const FrameEdge BENCH_EDGE = {
    [] { return true; },
    nextInput,
    [] {},
    [] { buildTerrainVertices(vertices); },
    [](int &mx, int &my) {
        mx = pointerX;
        my = pointerY;
    },
    [] {
        pointerX = WINDOW_CENTRE_X;
        pointerY = WINDOW_CENTRE_Y;
    },
    []() -> const uint8_t * { return keyState; },
    [] { return false; },
    [] { return inputs[inputFrame].buttons; },
    [] { return ticks; },
    [](const char *) {},
    [](const Camera &) {},
    [] {},
};

// The program's frame with nothing drawn: the plasma, the terrain's vertices,
// mouse look, the controls and the caption, as runFrame runs them.
static void pureFrameBench(benchmark::State &state) {
    for (auto _ : state) {
        runFrame(BENCH_EDGE);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(pureFrameBench)->Name("pureFrame")->Apply(configure);

int main(int argc, char **argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    drawInputs();
    startUp(BENCH_EDGE);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
