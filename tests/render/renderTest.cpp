// The first frame drawn into a real GL context and read back, checked against
// an independent computation of where each grid vertex lands and what colour
// the texture has there.
#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "app/shell.h"
#include "render/render.h"
#include "terrain/terrain.h"

namespace {

using Matrix = std::array<double, 16>; // column-major, as the GL keeps it

Matrix multiply(const Matrix &a, const Matrix &b) {
    Matrix r{};
    for (int col = 0; col < 4; ++col)
        for (int row = 0; row < 4; ++row)
            for (int k = 0; k < 4; ++k)
                r[col * 4 + row] += a[k * 4 + row] * b[col * 4 + k];
    return r;
}

// A perspective projection: vertical field of view in degrees, aspect, near, far.
Matrix perspective(double fovy, double aspect, double zNear, double zFar) {
    const double f = 1.0 / std::tan(fovy * M_PI / 360.0);
    Matrix m{};
    m[0] = f / aspect;
    m[5] = f;
    m[10] = (zFar + zNear) / (zNear - zFar);
    m[11] = -1;
    m[14] = 2 * zFar * zNear / (zNear - zFar);
    return m;
}

// The camera's look-at transform followed by the terrain's scale (0.3, 0.084, 0.3).
Matrix cameraTransform(const Camera &c) {
    const double eye[3] = {c.position.x, c.position.y, c.position.z};
    double f[3] = {c.view.x - eye[0], c.view.y - eye[1], c.view.z - eye[2]};
    const double up[3] = {c.up.x, c.up.y, c.up.z};
    auto normalise = [](double *v) {
        const double l = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
        for (int i = 0; i < 3; ++i)
            v[i] /= l;
    };
    auto crossed = [](const double *a, const double *b, double *out) {
        out[0] = a[1] * b[2] - a[2] * b[1];
        out[1] = a[2] * b[0] - a[0] * b[2];
        out[2] = a[0] * b[1] - a[1] * b[0];
    };
    normalise(f);
    double s[3], u[3];
    crossed(f, up, s);
    normalise(s);
    crossed(s, f, u);
    Matrix view{};
    for (int i = 0; i < 3; ++i) {
        view[i * 4 + 0] = s[i];
        view[i * 4 + 1] = u[i];
        view[i * 4 + 2] = -f[i];
    }
    view[12] = -(s[0] * eye[0] + s[1] * eye[1] + s[2] * eye[2]);
    view[13] = -(u[0] * eye[0] + u[1] * eye[1] + u[2] * eye[2]);
    view[14] = f[0] * eye[0] + f[1] * eye[1] + f[2] * eye[2];
    view[15] = 1;
    Matrix scale{};
    scale[0] = 0.3;
    scale[5] = 0.3 * 0.28;
    scale[10] = 0.3;
    scale[15] = 1;
    return multiply(view, scale);
}

struct Projected {
    double x, y, depth; // window pixels (origin bottom left) and depth 0..1
};

Projected project(const Matrix &m, double x, double y, double z) {
    double clip[4];
    for (int row = 0; row < 4; ++row)
        clip[row] = m[row] * x + m[4 + row] * y + m[8 + row] * z + m[12 + row];
    return Projected{(clip[0] / clip[3] + 1) * WINDOW_WIDTH / 2, (clip[1] / clip[3] + 1) * WINDOW_HEIGHT / 2,
                     (clip[2] / clip[3] + 1) / 2};
}

class FirstFrame : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        setNumericConventions();
        initShellState();
        buildWaveTables();
        buildPalette();
        ASSERT_TRUE(initDisplay()) << "no GL window: " << SDL_GetError();
        currentCamera = 0;
        loadCameraPreset(cameras[0], 0);
        resetPlasmaPhase();
    }
    static void TearDownTestSuite() { SDL_Quit(); }

    // One frame as the loop runs it, with the pointer resting at the centre.
    // Pixels are read before the buffer swap.
    static void drawFrame() {
        updatePlasma();
        uploadPlasmaTexture();
        buildTerrainList();
        cameras[currentCamera].roll = rollAngle;
        mouseLook(cameras[currentCamera], WINDOW_CENTRE_X, WINDOW_CENTRE_Y);
        renderFrame(cameras[currentCamera]);
        glFinish();
    }

    void SetUp() override {
        resetPlasmaPhase();
        loadCameraPreset(cameras[0], 0);
        drawFrame();
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, WINDOW_WIDTH, WINDOW_HEIGHT, GL_RGB, GL_UNSIGNED_BYTE, colour.data());
        glReadPixels(0, 0, WINDOW_WIDTH, WINDOW_HEIGHT, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
        SDL_GL_SwapBuffers();
    }

    const uint8_t *pixel(int x, int y) const { return &colour[(y * WINDOW_WIDTH + x) * 3]; }

    std::vector<uint8_t> colour = std::vector<uint8_t>(WINDOW_WIDTH * WINDOW_HEIGHT * 3);
    std::vector<float> depth = std::vector<float>(WINDOW_WIDTH * WINDOW_HEIGHT);
};

TEST_F(FirstFrame, TransformIsTheCameraLookAtThenTheTerrainScale) {
    Matrix modelView, projection;
    glGetDoublev(GL_MODELVIEW_MATRIX, modelView.data());
    glGetDoublev(GL_PROJECTION_MATRIX, projection.data());
    const Matrix expectedModelView = cameraTransform(cameras[0]);
    const Matrix expectedProjection = perspective(40, 4.0 / 3.0, 1, 500);
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(modelView[i], expectedModelView[i], 1e-5) << i;
        EXPECT_NEAR(projection[i], expectedProjection[i], 1e-5) << i;
    }
}

// The texture coordinate (x/256, z/256) of a grid vertex is the corner of
// texel (x, z); with linear filtering the colour near the vertex is a blend of
// the texels around that corner, so it lies within their range per channel.
TEST_F(FirstFrame, VisibleGridVerticesShowTheirTexelColours) {
    const Matrix m = multiply(perspective(40, 4.0 / 3.0, 1, 500), cameraTransform(cameras[0]));
    int checked = 0;
    for (int z = 8; z <= 240; z += 8) {
        for (int x = 8; x <= 240; x += 8) {
            const Projected p = project(m, x - 128, terrainHeight(x, z) - 128, z - 128);
            const int px = static_cast<int>(std::floor(p.x)), py = static_cast<int>(std::floor(p.y));
            if (px < 2 || py < 2 || px >= WINDOW_WIDTH - 2 || py >= WINDOW_HEIGHT - 2) continue;
            if (std::fabs(depth[py * WINDOW_WIDTH + px] - p.depth) > 1e-4) continue; // hidden
            SCOPED_TRACE(::testing::Message()
                         << "grid (" << x << ", " << z << ") at pixel (" << px << ", " << py << ")");
            for (int channel = 0; channel < 3; ++channel) {
                int lo = 255, hi = 0;
                for (int dz = -2; dz <= 1; ++dz) {
                    for (int dx = -2; dx <= 1; ++dx) {
                        const Texel &t = texels[(z + dz) * PLASMA_SIZE + (x + dx)];
                        const int value = channel == 0 ? t.r : channel == 1 ? t.g : t.b;
                        lo = std::min(lo, value);
                        hi = std::max(hi, value);
                    }
                }
                EXPECT_GE(pixel(px, py)[channel], lo - 3) << "channel " << channel;
                EXPECT_LE(pixel(px, py)[channel], hi + 3) << "channel " << channel;
            }
            ++checked;
        }
    }
    EXPECT_GT(checked, 200) << "too few grid vertices visible to judge the picture";
}

TEST_F(FirstFrame, BackgroundIsBlackWhereThereIsNoTerrain) {
    // The top rows look over the far edge of the terrain.
    for (int y = WINDOW_HEIGHT - 10; y < WINDOW_HEIGHT; ++y) {
        for (int x = 0; x < WINDOW_WIDTH; ++x) {
            ASSERT_EQ(depth[y * WINDOW_WIDTH + x], 1.0f);
            ASSERT_EQ(pixel(x, y)[0] | pixel(x, y)[1] | pixel(x, y)[2], 0) << "(" << x << ", " << y << ")";
        }
    }
    // The bottom of the window looks at terrain.
    EXPECT_LT(depth[WINDOW_WIDTH / 2], 1.0f);
}

// Red is the palette byte with divisor 128: the first frame's corner cell has
// palette index 4, whose texel is (115, 103, 79). Swapping red and blue would
// put 79 where 115 is.
TEST_F(FirstFrame, UploadedTextureIsTheTexelsInRgbaOrder) {
    std::vector<uint8_t> image(PLASMA_CELLS * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, image.data());
    EXPECT_EQ(image[0], 115);
    EXPECT_EQ(image[1], 103);
    EXPECT_EQ(image[2], 79);
    EXPECT_EQ(image[3], 0);
    EXPECT_TRUE(std::equal(image.begin(), image.end(), reinterpret_cast<const uint8_t *>(texels)));
}

TEST_F(FirstFrame, OneDisplayListStaysAliveOverManyFrames) {
    for (int frame = 0; frame < 50; ++frame) {
        drawFrame();
        SDL_GL_SwapBuffers();
    }
    ASSERT_NE(terrainList, 0u);
    int alive = 0;
    for (GLuint name = 1; name < 200; ++name)
        alive += glIsList(name) ? 1 : 0;
    EXPECT_EQ(alive, 1);
    EXPECT_TRUE(glIsList(terrainList));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

} // namespace

namespace {

// The display tests run against each SDL 1.2 runtime in turn: classic SDL
// 1.2.15, then sdl12-compat (which numbers itself 1.2.50 and up) from the
// folder in QUILLON_SDL_LIBRARY_PATH. Make sure the one in use is the one asked for.
TEST(Runtime, IsTheSdlRuntimeAskedFor) {
    const bool compatWanted = std::getenv("QUILLON_SDL_LIBRARY_PATH") != nullptr;
    const SDL_version *linked = SDL_Linked_Version();
    const bool compat = linked->major == 1 && linked->minor == 2 && linked->patch >= 50;
    EXPECT_EQ(compat, compatWanted) << "running against SDL " << int(linked->major) << "." << int(linked->minor)
                                    << "." << int(linked->patch);
}

} // namespace
