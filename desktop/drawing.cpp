// The per-frame texture upload and the drawing of the terrain.
#include <GL/gl.h>
#include <GL/glu.h>

#include "app/shell.h"
#include "desktop/desktop.h"
#include "plasma/plasma.h"

void uploadPlasmaTexture() {
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, PLASMA_SIZE, PLASMA_SIZE, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
}

void renderFrame(const Camera &camera) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    gluLookAt(camera.position.x, camera.position.y, camera.position.z, camera.view.x, camera.view.y, camera.view.z,
              camera.up.x, camera.up.y, camera.up.z);
    // After the look-at transform, so only the terrain is scaled, not the camera.
    glScalef(worldScale, heightScale(), worldScale);
    glBindTexture(GL_TEXTURE_2D, plasmaTexture);
    glCallList(terrainList);
    glFlush();
}
