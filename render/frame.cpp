// The per-frame texture upload and the drawing of the terrain.
#include <GL/gl.h>

#include "app/shell.h"
#include "plasma/plasma.h"
#include "render/render.h"
#include "terrain/terrain.h"

static constexpr double VERTICAL_SCALE = 0.28; // heights are flattened relative to the ground plane

void uploadPlasmaTexture() {
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, PLASMA_SIZE, PLASMA_SIZE, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
}

void renderFrame(const Camera &camera) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    lookThrough(camera);
    // After the look-at transform, so only the terrain is scaled, not the camera.
    glScalef(worldScale, static_cast<float>(worldScale * VERTICAL_SCALE), worldScale);
    glBindTexture(GL_TEXTURE_2D, plasmaTexture);
    callTerrainList();
    glFlush();
}
