// Benchmarks of the per-frame GL work in a real context: the terrain list, the
// texture upload, the drawing, and a whole frame. Run it under tests/display-test.
#include <GL/gl.h>
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/frame.h"
#include "desktop/desktop.h"
#include "app/shell.h"
#include "camera/camera.h"
#include "plasma/plasma.h"
#include "terrain/terrain.h"

static double fastest(const std::vector<double> &times) { return *std::min_element(times.begin(), times.end()); }

// Every loop ends in glFinish, so the work the GL queues is counted where it is
// issued. Mesa's rasteriser runs on threads of its own, so the time is the wall
// clock's, not this thread's processor time. Microseconds; repeated runs also
// report their fastest repetition as "min".
static void configure(benchmark::internal::Benchmark *benchmark) {
    benchmark->Unit(benchmark::kMicrosecond)->UseRealTime()->ComputeStatistics("min", fastest);
}

static void buildTerrainListBench(benchmark::State &state) {
    for (auto _ : state) {
        buildTerrainList();
        glFinish();
    }
}
BENCHMARK(buildTerrainListBench)->Name("buildTerrainList")->Apply(configure);

static void uploadPlasmaTextureBench(benchmark::State &state) {
    for (auto _ : state) {
        uploadPlasmaTexture();
        glFinish();
    }
}
BENCHMARK(uploadPlasmaTextureBench)->Name("uploadPlasmaTexture")->Apply(configure);

static void renderFrameBench(benchmark::State &state) {
    for (auto _ : state) {
        renderFrame(cameras[0]);
        glFinish();
    }
}
BENCHMARK(renderFrameBench)->Name("renderFrame")->Apply(configure);

// The program's frame as it runs it, with no one at the keyboard or mouse.
static void wholeFrameBench(benchmark::State &state) {
    for (auto _ : state) {
        runFrame(SDL_EDGE);
        glFinish();
    }
}
BENCHMARK(wholeFrameBench)->Name("wholeFrame")->Apply(configure);

int main(int argc, char **argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    if (!startUp(SDL_EDGE)) {
        std::fprintf(stderr, "quillon_bench_gl: no OpenGL window (run it under tests/display-test)\n");
        return 1;
    }
    const GLubyte *name = glGetString(GL_RENDERER);
    const char *renderer = name != nullptr ? reinterpret_cast<const char *>(name) : "unknown";
    std::printf("GL renderer: %s\n", renderer);
    std::fflush(stdout);
    benchmark::AddCustomContext("gl_renderer", renderer);

    runFrame(SDL_EDGE);

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    SDL_Quit();
    return 0;
}
