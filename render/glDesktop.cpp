// What the drawing needs of a desktop GL, which has GLU and reports its context.
#include <GL/gl.h>
#include <GL/glu.h>

#include "render/render.h"

bool glContextReady() { return glGetString(GL_VERSION) != nullptr; }

void lookThrough(const Camera &camera) {
    gluLookAt(camera.position.x, camera.position.y, camera.position.z, camera.view.x, camera.view.y, camera.view.z,
              camera.up.x, camera.up.y, camera.up.z);
}
