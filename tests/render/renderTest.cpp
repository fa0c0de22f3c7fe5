// The program's drawing in a real GL context, read back before the swap: the
// window, the camera transform and lens, and every terrain pixel against the texture.
#include <GL/gl.h>
#include <GL/glu.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "app/frame.h"
#include "app/shell.h"
#include "render/render.h"
#include "terrain/terrain.h"

namespace {

// The program's own GL work with the pointer at rest, the keys given, and the
// picture read back before each swap.
uint8_t heldKeys[512];
std::vector<uint8_t> colour(WINDOW_WIDTH *WINDOW_HEIGHT * 3);
std::vector<float> depth(WINDOW_WIDTH *WINDOW_HEIGHT);
const FrameEdge READ_BACK_EDGE = {
    initDisplay,
    [] {},
    uploadPlasmaTexture,
    buildTerrainList,
    [](int &, int &) {},
    [] {},
    []() -> const uint8_t * { return heldKeys; },
    [] { return false; },
    [] { return uint8_t(0); },
    [] { return 0u; },
    [](const char *) {},
    renderFrame,
    [] {
        glReadPixels(0, 0, WINDOW_WIDTH, WINDOW_HEIGHT, GL_RGB, GL_UNSIGNED_BYTE, colour.data());
        glReadPixels(0, 0, WINDOW_WIDTH, WINDOW_HEIGHT, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
        SDL_GL_SwapBuffers();
    },
};

TEST(Render, FirstFrameThroughTheChaseCamera) {
    ASSERT_TRUE(startUp(READ_BACK_EDGE)) << "no GL window: " << SDL_GetError();
    char *caption = nullptr;
    char *icon = nullptr;
    SDL_WM_GetCaption(&caption, &icon);
    EXPECT_STREQ(caption, "Quillon");
    const SDL_version *sdl = SDL_Linked_Version(); // the runtime this pass asked for
    EXPECT_EQ(std::to_string(sdl->major) + "." + std::to_string(sdl->minor) + "." + std::to_string(sdl->patch),
              std::getenv("QUILLON_SDL_VERSION") ? std::getenv("QUILLON_SDL_VERSION") : "unset");
    // C held for two frames: one through the top-down camera, then the chase camera's over it.
    heldKeys[KEY_C] = 1;
    runFrame(READ_BACK_EDGE);
    runFrame(READ_BACK_EDGE);
    ASSERT_EQ(currentCamera, 0);
    double modelView[16];
    double projection[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    int lists = 0;
    for (GLuint name = 1; name < 100; ++name) // every frame recompiles the same list
        lists += glIsList(name);
    EXPECT_EQ(lists, 1);

    // The eye is the origin of eye space and looks down -z; the terrain is
    // scaled by (0.3, 0.084, 0.3).
    for (const auto &[p, z] : {std::pair{cameras[0].position, 0.0}, {cameras[0].view, -std::hypot(25, 50)}})
        for (int row = 0; row < 3; ++row)
            EXPECT_NEAR(modelView[row] * p.x / 0.3 + modelView[4 + row] * p.y / 0.084 +
                            modelView[8 + row] * p.z / 0.3 + modelView[12 + row],
                        row == 2 ? z : 0, 1e-2);
    // The lens sees 40 degrees of a 4:3 picture, from 1 to 500: eye-space
    // points and where they land in the window, with their depths.
    const double t = std::tan(20 * std::acos(-1.0) / 180);
    const double identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    const double lens[][6] = {{0, 10 * t, -10, 320, 480, 450 / 499.0},
                              {40 * t / 3, 0, -10, 640, 240, 450 / 499.0},
                              {0, 0, -1, 320, 240, 0},
                              {0, 0, -500, 320, 240, 1}};
    const GLint viewport[4] = {0, 0, WINDOW_WIDTH, WINDOW_HEIGHT};
    for (const auto &[x, y, z, wx, wy, wz] : lens) {
        double w[3];
        gluProject(x, y, z, identity, projection, viewport, &w[0], &w[1], &w[2]);
        EXPECT_NEAR(std::hypot(w[0] - wx, w[1] - wy) + 1000 * std::fabs(w[2] - wz), 0, 1e-3) << x << y << z;
    }

    // Each terrain pixel sees a point of the terrain's triangles, found back
    // from its depth, and shows the texture there, linearly filtered: texture
    // coordinates are grid x and z over 256. Every 7th pixel is looked at.
    int terrain = 0;
    int wrong = 0;
    for (int i = 0; i < WINDOW_WIDTH * WINDOW_HEIGHT; i += 7) {
        const uint8_t *pixel = &colour[3 * i];
        if (depth[i] == 1.0f) {
            ASSERT_EQ(pixel[0] | pixel[1] | pixel[2], 0) << "the background at pixel " << i << " is not black";
            continue;
        }
        double x;
        double y;
        double z;
        gluUnProject(i % WINDOW_WIDTH + 0.5, i / WINDOW_WIDTH + 0.5, depth[i], modelView, projection, viewport, &x,
                     &y, &z);
        double u;
        double v;
        const double fu = std::modf(x + TERRAIN_ORIGIN - 0.5 + 256, &u);
        const double fv = std::modf(z + TERRAIN_ORIGIN - 0.5 + 256, &v);
        double distance = 0; // from the filtered colour, summed over red, green and blue
        for (int channel = 0; channel < 3; ++channel) {
            double expected = 0;
            for (int corner = 0; corner < 4; ++corner) {
                const Texel &texel =
                    texels[(int(v) + corner / 2) % 256 * PLASMA_SIZE + (int(u) + corner % 2) % 256];
                const uint8_t rgb[3] = {texel.r, texel.g, texel.b};
                const double weight = (corner % 2 ? fu : 1 - fu) * (corner / 2 ? fv : 1 - fv);
                expected += weight * rgb[channel];
            }
            distance += std::fabs(pixel[channel] - expected);
        }
        // The point lies on the cell's triangle below or above its diagonal from (x0, z0) to (x0 + 8, z0 + 8).
        const int x0 = int(x + 128) & ~7;
        const int z0 = int(z + 128) & ~7;
        const double fx = (x + 128 - x0) / 8;
        const double fz = (z + 128 - z0) / 8;
        const double h00 = terrainHeight(x0, z0);
        const double h10 = terrainHeight(x0 + 8, z0);
        const double h01 = terrainHeight(x0, z0 + 8);
        const double h11 = terrainHeight(x0 + 8, z0 + 8);
        const double height =
            fx > fz ? h00 + fx * (h10 - h00) + fz * (h11 - h10) : h00 + fz * (h01 - h00) + fx * (h11 - h01);
        terrain += 1;
        if (distance > 12 || std::fabs(y + 128 - height) > 0.5) wrong += 1;
    }
    EXPECT_GT(terrain, 0.3 * WINDOW_WIDTH * WINDOW_HEIGHT / 7); // the terrain below, the sky above
    EXPECT_LT(terrain, 0.95 * WINDOW_WIDTH * WINDOW_HEIGHT / 7);
    EXPECT_LT(wrong, terrain / 500) << wrong << " of " << terrain << " terrain pixels differ";
    SDL_Quit();
}

} // namespace
