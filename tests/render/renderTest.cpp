// The program's drawing in a real GL context, read back before the swap: the
// camera transform and lens, and every terrain pixel against the texture.
#include <GL/gl.h>
#include <GL/glu.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "app/shell.h"
#include "render/render.h"
#include "terrain/terrain.h"

namespace {

const GLint VIEWPORT[4] = {0, 0, WINDOW_WIDTH, WINDOW_HEIGHT};

class Render : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        initShellState();
        buildWaveTables();
        buildPalette();
        windowOpen = initDisplay();
    }
    static void TearDownTestSuite() { SDL_Quit(); }

    // The first frame through camera 0, drawn over a frame of the top-down camera.
    void SetUp() override {
        ASSERT_TRUE(windowOpen) << "no GL window: " << SDL_GetError();
        resetPlasmaPhase();
        for (int camera : {1, 0}) {
            loadCameraPreset(cameras[camera], camera);
            cameras[camera].roll = rollAngle;
            updatePlasma();
            uploadPlasmaTexture();
            buildTerrainList();
            mouseLook(cameras[camera], WINDOW_CENTRE_X, WINDOW_CENTRE_Y);
            renderFrame(cameras[camera]);
            glReadPixels(0, 0, WINDOW_WIDTH, WINDOW_HEIGHT, GL_RGB, GL_UNSIGNED_BYTE, colour.data());
            glReadPixels(0, 0, WINDOW_WIDTH, WINDOW_HEIGHT, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
            SDL_GL_SwapBuffers();
        }
        glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
        glGetDoublev(GL_PROJECTION_MATRIX, projection);
    }

    static inline bool windowOpen = false;
    std::vector<uint8_t> colour = std::vector<uint8_t>(WINDOW_WIDTH * WINDOW_HEIGHT * 3);
    std::vector<float> depth = std::vector<float>(WINDOW_WIDTH * WINDOW_HEIGHT);
    double modelView[16], projection[16];
};

// The eye is the origin of eye space and looks down -z; the terrain is scaled
// by (0.3, 0.084, 0.3); the lens sees 40 degrees of a 4:3 picture, from 1 to 500.
TEST_F(Render, CameraTransformAndLens) {
    for (const auto &[point, z] : {std::pair{cameras[0].position, 0.0}, {cameras[0].view, -std::hypot(25, 50)}}) {
        const double grid[4] = {point.x / 0.3, point.y / 0.084, point.z / 0.3, 1}, expected[3] = {0, 0, z};
        for (int row = 0; row < 3; ++row) {
            double eye = 0;
            for (int column = 0; column < 4; ++column)
                eye += modelView[4 * column + row] * grid[column];
            EXPECT_NEAR(eye, expected[row], 1e-2) << row;
        }
    }
    const double identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}, t = std::tan(20 * M_PI / 180);
    for (const auto &[x, y, z, wx, wy, wz] : {std::array{0.0, 10 * t, -10.0, 320.0, 480.0, 450 / 499.0},
                                              {40 * t / 3, 0.0, -10.0, 640.0, 240.0, 450 / 499.0},
                                              {0.0, 0.0, -1.0, 320.0, 240.0, 0.0},
                                              {0.0, 0.0, -500.0, 320.0, 240.0, 1.0}}) {
        double window[3];
        gluProject(x, y, z, identity, projection, VIEWPORT, &window[0], &window[1], &window[2]);
        EXPECT_NEAR(window[0], wx, 1e-3);
        EXPECT_NEAR(window[1], wy, 1e-3);
        EXPECT_NEAR(window[2], wz, 1e-6);
    }
}

// Each terrain pixel sees a point of the terrain's triangles, found back from
// its depth, and shows the texture there, linearly filtered: texture
// coordinates are grid x and z over 256.
TEST_F(Render, TerrainPixelsShowTheFilteredTexture) {
    int terrain = 0, wrong = 0;
    for (int i = 0; i < WINDOW_WIDTH * WINDOW_HEIGHT; i += 7) {
        const uint8_t *pixel = &colour[3 * i];
        if (depth[i] == 1.0f) {
            ASSERT_EQ(pixel[0] | pixel[1] | pixel[2], 0) << "the background at pixel " << i << " is not black";
            continue;
        }
        double x, y, z, expected[3] = {};
        gluUnProject(i % WINDOW_WIDTH + 0.5, i / WINDOW_WIDTH + 0.5, depth[i], modelView, projection, VIEWPORT, &x,
                     &y, &z);
        const double u = x + TERRAIN_ORIGIN - 0.5, v = z + TERRAIN_ORIGIN - 0.5, fu = u - std::floor(u),
                     fv = v - std::floor(v);
        for (int corner = 0; corner < 4; ++corner) {
            const int cu = (int(std::floor(u)) + corner % 2) & 255, cv = (int(std::floor(v)) + corner / 2) & 255;
            const double weight = (corner % 2 ? fu : 1 - fu) * (corner / 2 ? fv : 1 - fv);
            const Texel &texel = texels[cv * PLASMA_SIZE + cu];
            expected[0] += weight * texel.r, expected[1] += weight * texel.g, expected[2] += weight * texel.b;
        }
        // The point lies on the cell's triangle below or above its diagonal from (x0, z0) to (x0 + 8, z0 + 8).
        const int x0 = int(x + 128) & ~7, z0 = int(z + 128) & ~7;
        const double fx = (x + 128 - x0) / 8, fz = (z + 128 - z0) / 8, h00 = terrainHeight(x0, z0),
                     h11 = terrainHeight(x0 + 8, z0 + 8);
        const double height =
            fx > fz ? h00 + fx * (terrainHeight(x0 + 8, z0) - h00) + fz * (h11 - terrainHeight(x0 + 8, z0))
                    : h00 + fz * (terrainHeight(x0, z0 + 8) - h00) + fx * (h11 - terrainHeight(x0, z0 + 8));
        terrain += 1;
        wrong += std::fabs(pixel[0] - expected[0]) + std::fabs(pixel[1] - expected[1]) +
                         std::fabs(pixel[2] - expected[2]) >
                     12 ||
                 std::fabs(y + 128 - height) > 0.5;
    }
    EXPECT_GT(terrain, 0.3 * WINDOW_WIDTH * WINDOW_HEIGHT / 7); // the terrain below, the sky above
    EXPECT_LT(terrain, 0.95 * WINDOW_WIDTH * WINDOW_HEIGHT / 7);
    EXPECT_LT(wrong, terrain / 500) << wrong << " of " << terrain << " terrain pixels differ";
    int lists = 0;
    for (GLuint name = 1; name < 100; ++name) // every frame recompiles the same list
        lists += glIsList(name);
    EXPECT_EQ(lists, 1);
}

TEST_F(Render, RuntimeIsTheOneAskedForAndCaptionIsQuillon) {
    char *caption = nullptr, *icon = nullptr;
    SDL_WM_GetCaption(&caption, &icon);
    EXPECT_STREQ(caption, "Quillon");
    const SDL_version *linked = SDL_Linked_Version();
    const std::string asked = std::getenv("QUILLON_SDL_VERSION") ? std::getenv("QUILLON_SDL_VERSION") : "unknown";
    EXPECT_EQ(std::to_string(linked->major) + "." + std::to_string(linked->minor) + "." +
                  std::to_string(linked->patch),
              asked);
}

} // namespace
