// The look-at transform built here, for a GLU whose gluLookAt does not reach
// the model-view matrix (Emscripten's).
#include <GL/gl.h>

#include "render/render.h"

void lookThrough(const Camera &camera) {
    double m[16];
    lookAtMatrix(camera, m);
    glMultMatrixd(m);
}
