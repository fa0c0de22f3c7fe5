// The frame loop allocates nothing: every heap allocation in this binary goes
// through a counting malloc, and many frames of the program's own per-frame
// work (plasma, terrain vertices, mouse look, controls, caption) must add none.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "app/shell.h"
#include "terrain/terrain.h"

extern "C" {
void *__libc_malloc(size_t size);
void *__libc_calloc(size_t count, size_t size);
void *__libc_realloc(void *pointer, size_t size);
void *__libc_memalign(size_t alignment, size_t size);
}

namespace {
bool counting = false;
long allocations = 0;

void counted() {
    if (counting) ++allocations;
}
} // namespace

// Every path to the heap, C and C++ alike (operator new calls malloc), passes here.
extern "C" void *malloc(size_t size) {
    counted();
    return __libc_malloc(size);
}
extern "C" void *calloc(size_t count, size_t size) {
    counted();
    return __libc_calloc(count, size);
}
extern "C" void *realloc(void *pointer, size_t size) {
    counted();
    return __libc_realloc(pointer, size);
}
extern "C" void *aligned_alloc(size_t alignment, size_t size) {
    counted();
    return __libc_memalign(alignment, size);
}

namespace {

TEST(Allocation, CounterSeesAllocations) {
    counting = true;
    void *volatile block = std::malloc(64);
    int *volatile object = new int(3);
    counting = false;
    std::free(block);
    delete object;
    EXPECT_EQ(allocations, 2);
    allocations = 0;
}

TEST(Allocation, FrameWorkAllocatesNothing) {
    setNumericConventions();
    initShellState();
    buildWaveTables();
    buildPalette();
    currentCamera = 0;
    loadCameraPreset(cameras[0], 0);
    resetPlasmaPhase();
    static TerrainVertex vertices[TERRAIN_VERTICES];
    uint8_t keys[512] = {};
    const int held[] = {KEY_UP, KEY_W, KEY_LEFT, KEY_D, KEY_C, KEY_DOWN, KEY_RIGHT, KEY_A, KEY_S};

    int captions = 0;
    counting = true;
    for (uint32_t frame = 0; frame < 2000; ++frame) {
        updatePlasma();
        buildTerrainVertices(vertices);
        cameras[currentCamera].roll = rollAngle;
        mouseLook(cameras[currentCamera], static_cast<int>(frame * 7 % 640), static_cast<int>(frame * 13 % 480));
        std::memset(keys, 0, sizeof keys);
        keys[held[frame % 9]] = 1;
        handleCameraSwitch(keys);
        handleMovementKeys(keys);
        handleMouseButtons(static_cast<uint8_t>(frame % 8));
        if (countFrame(frame * 700)) { // a caption every few frames
            fpsCaptionShown(frame * 700 + 1);
            ++captions;
        }
    }
    counting = false;
    EXPECT_EQ(allocations, 0);
    EXPECT_GT(captions, 500);
}

} // namespace
