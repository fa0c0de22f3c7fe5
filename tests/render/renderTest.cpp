// The program's drawing in a real GL context, read back before the swap: the
// window, the camera transform and lens, and every terrain pixel against the texture.
#include <GL/gl.h>
#include <GL/glu.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "terrain/terrain.h"
#include "tests/render/pictureEdge.h"

namespace {

constexpr int PIXEL_STRIDE = 7; // every seventh pixel is looked at
constexpr GLint VIEWPORT[4] = {0, 0, WINDOW_WIDTH, WINDOW_HEIGHT};

std::vector<uint8_t> colour(WINDOW_WIDTH *WINDOW_HEIGHT * 3);
std::vector<float> depth(WINDOW_WIDTH *WINDOW_HEIGHT);
void readBack() {
    glReadPixels(0, 0, WINDOW_WIDTH, WINDOW_HEIGHT, GL_RGB, GL_UNSIGNED_BYTE, colour.data());
    glReadPixels(0, 0, WINDOW_WIDTH, WINDOW_HEIGHT, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
}

// The window open and two frames drawn with C held: one through the top-down
// camera, then the chase camera's over it, read back with its matrices.
struct ChaseCameraFrame : ::testing::Test {
    double modelView[16];
    double projection[16];

    void SetUp() override {
        takePicture = readBack;
        ASSERT_TRUE(startUp(PICTURE_EDGE)) << "no GL window: " << SDL_GetError();
        held.keys[KEY_C] = 1;
        runFrame(PICTURE_EDGE);
        runFrame(PICTURE_EDGE);
        ASSERT_EQ(currentCamera, 0);
        glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
        glGetDoublev(GL_PROJECTION_MATRIX, projection);
    }
    void TearDown() override { SDL_Quit(); }
};
using Render = ChaseCameraFrame;

TEST_F(Render, CaptionIsQuillon) {
    char *caption = nullptr;
    SDL_WM_GetCaption(&caption, nullptr);
    EXPECT_STREQ(caption, "Quillon");
}

// Every frame recompiles the same list.
TEST_F(Render, OneDisplayListIsAlive) {
    int lists = 0;
    for (GLuint name = 1; name < 100; ++name)
        lists += glIsList(name);
    EXPECT_EQ(lists, 1);
}

// The terrain is drawn in grid units scaled into world units by 0.3 across and
// 0.084 up: its lowest corner, grid point (-128, -128, -128), lands where the
// world point (-38.4, -10.752, -38.4) does through the camera's look-at.
TEST_F(Render, DrawsTheGridAtWorldScale) {
    const Camera &c = cameras[0];
    double lookAt[16];
    glLoadIdentity();
    gluLookAt(c.position.x, c.position.y, c.position.z, c.view.x, c.view.y, c.view.z, c.up.x, c.up.y, c.up.z);
    glGetDoublev(GL_MODELVIEW_MATRIX, lookAt);
    double grid[3];
    double world[3];
    gluProject(-128, -128, -128, modelView, projection, VIEWPORT, &grid[0], &grid[1], &grid[2]);
    gluProject(-38.4, -10.752, -38.4, lookAt, projection, VIEWPORT, &world[0], &world[1], &world[2]);
    EXPECT_NEAR(std::hypot(grid[0] - world[0], grid[1] - world[1]), 0, 1e-3);
}

// A GL without GLU (the page's WebGL) draws through frameTransform: the lens
// times the model-view that the desktop's GL builds for the same frame.
TEST_F(Render, FrameTransformIsTheGlsOwn) {
    float transform[16];
    frameTransform(cameras[0], worldScale, heightScale(), worldScale, transform);
    for (int i = 0; i < 16; ++i) {
        double expected = 0;
        for (int k = 0; k < 4; ++k)
            expected += projection[4 * k + i % 4] * modelView[4 * (i / 4) + k];
        EXPECT_NEAR(transform[i], expected, 1e-5 * (1 + std::fabs(expected))) << "element " << i;
    }
}

// The lens sees 40 degrees of a 4:3 picture, from 1 to 500: eye-space points
// and where they land in the window, with their depths.
TEST_F(Render, LensSeesFortyDegreesFromOneTo500) {
    const double t = std::tan(20 * std::acos(-1.0) / 180);
    const double identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    const double lens[][6] = {{0, 10 * t, -10, 320, 480, 450 / 499.0},
                              {40 * t / 3, 0, -10, 640, 240, 450 / 499.0},
                              {0, 0, -1, 320, 240, 0},
                              {0, 0, -500, 320, 240, 1}};
    for (const auto &[x, y, z, wx, wy, wz] : lens) {
        double w[3];
        gluProject(x, y, z, identity, projection, VIEWPORT, &w[0], &w[1], &w[2]);
        EXPECT_NEAR(std::hypot(w[0] - wx, w[1] - wy) + 1000 * std::fabs(w[2] - wz), 0, 1e-3) << x << y << z;
    }
}

// Each terrain pixel sees a point of the terrain's triangles, found back from
// its depth, and shows the texture there, linearly filtered: texture
// coordinates are grid x and z over 256. Where nothing is drawn it is black.
TEST_F(Render, EveryTerrainPixelShowsTheFilteredTextureOnItsCell) {
    int terrain = 0;
    int wrong = 0;
    for (int i = 0; i < WINDOW_WIDTH * WINDOW_HEIGHT; i += PIXEL_STRIDE) {
        const uint8_t *pixel = &colour[3 * i];
        if (depth[i] == 1.0f) {
            ASSERT_EQ(pixel[0] | pixel[1] | pixel[2], 0) << "the background at pixel " << i << " is not black";
            continue;
        }
        double x;
        double y;
        double z;
        gluUnProject(i % WINDOW_WIDTH + 0.5, i / WINDOW_WIDTH + 0.5, depth[i], modelView, projection, VIEWPORT, &x,
                     &y, &z);
        double u;
        double v;
        const double fu = std::modf(x + TERRAIN_ORIGIN - 0.5 + PLASMA_SIZE, &u);
        const double fv = std::modf(z + TERRAIN_ORIGIN - 0.5 + PLASMA_SIZE, &v);
        double distance = 0; // from the filtered colour, summed over red, green and blue
        for (int channel = 0; channel < 3; ++channel) {
            double expected = 0;
            for (int corner = 0; corner < 4; ++corner) {
                const Texel &texel =
                    texels[(int(v) + corner / 2) % PLASMA_SIZE * PLASMA_SIZE + (int(u) + corner % 2) % PLASMA_SIZE];
                const uint8_t rgb[3] = {texel.r, texel.g, texel.b};
                const double weight = (corner % 2 ? fu : 1 - fu) * (corner / 2 ? fv : 1 - fv);
                expected += weight * rgb[channel];
            }
            distance += std::fabs(pixel[channel] - expected);
        }
        // The point lies on the cell's triangle below or above its diagonal from (x0, z0) to (x0 + 8, z0 + 8).
        const int x0 = int(x + TERRAIN_ORIGIN) / TERRAIN_STEP * TERRAIN_STEP;
        const int z0 = int(z + TERRAIN_ORIGIN) / TERRAIN_STEP * TERRAIN_STEP;
        const double fx = (x + TERRAIN_ORIGIN - x0) / TERRAIN_STEP;
        const double fz = (z + TERRAIN_ORIGIN - z0) / TERRAIN_STEP;
        const double h00 = terrainHeight(x0, z0);
        const double h10 = terrainHeight(x0 + TERRAIN_STEP, z0);
        const double h01 = terrainHeight(x0, z0 + TERRAIN_STEP);
        const double h11 = terrainHeight(x0 + TERRAIN_STEP, z0 + TERRAIN_STEP);
        const double height =
            fx > fz ? h00 + fx * (h10 - h00) + fz * (h11 - h10) : h00 + fz * (h01 - h00) + fx * (h11 - h01);
        terrain += 1;
        if (distance > 12 || std::fabs(y + TERRAIN_ORIGIN - height) > 0.5) wrong += 1;
    }
    EXPECT_GT(terrain, 0.3 * WINDOW_WIDTH * WINDOW_HEIGHT / PIXEL_STRIDE); // the terrain below, the sky above
    EXPECT_LT(terrain, 0.95 * WINDOW_WIDTH * WINDOW_HEIGHT / PIXEL_STRIDE);
    EXPECT_LT(wrong, terrain / 500) << wrong << " of " << terrain << " terrain pixels differ";
}

} // namespace
