// What the drawing needs of WebGL under Emscripten's fixed-function emulation,
// in 3.1.6 (Debian 12) and 3.1.69 (Debian 13) alike: its video mode succeeds
// without a context where WebGL is off, and its gluLookAt leaves the
// model-view matrix as it was (it hands its arguments to its matrix library in
// the wrong order), so the matrix is built here.
#include <GL/gl.h>
#include <emscripten/html5_webgl.h>

#include "render/render.h"

bool glContextReady() { return emscripten_webgl_get_current_context() != 0; }

void lookThrough(const Camera &camera) {
    double m[16];
    lookAtMatrix(camera, m);
    glMultMatrixd(m);
}
