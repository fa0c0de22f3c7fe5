// The look-at transform by GLU, which every desktop GL has.
#include <GL/gl.h>
#include <GL/glu.h>

#include "render/render.h"

void lookThrough(const Camera &camera) {
    gluLookAt(camera.position.x, camera.position.y, camera.position.z, camera.view.x, camera.view.y, camera.view.z,
              camera.up.x, camera.up.y, camera.up.z);
}
