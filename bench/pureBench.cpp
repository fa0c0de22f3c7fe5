// Benchmarks of the pure per-frame work: the plasma pass against its formula,
// and the terrain's vertex sequence. Needs no display.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

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

int main(int argc, char **argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    setNumericConventions();
    buildWaveTables();
    buildPalette();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
