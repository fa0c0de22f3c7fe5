// What the drawing needs of WebGL under Emscripten's fixed-function emulation:
// its video mode succeeds without a context where WebGL is off, and its
// gluLookAt does not reach the model-view matrix, so the matrix is built here.
#include <GL/gl.h>
#include <emscripten/html5_webgl.h>

#include "render/render.h"

bool glContextReady() { return emscripten_webgl_get_current_context() != 0; }

void lookThrough(const Camera &camera) {
    double m[16];
    lookAtMatrix(camera, m);
    glMultMatrixd(m);
}
