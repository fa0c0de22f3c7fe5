// The drawing in a page, on WebGL 1: the picture the desktop's fixed-function
// GL draws, from the same texels and terrain vertices. The plasma texture,
// linearly filtered and modulated by each vertex's grey as the GL clamps it,
// through the lens and the camera at world scale, depth-tested, on black.
#include <GLES2/gl2.h>
#include <emscripten.h>
#include <emscripten/html5.h>

#include <cstddef>

#include "app/shell.h"
#include "plasma/plasma.h"
#include "terrain/terrain.h"
#include "web/web.h"

namespace {

// The vertex attributes, at the places the program binds them to.
enum Attribute { POSITION, TEX_COORD, SHADE };

constexpr char VERTEX_SHADER[] = R"(
attribute vec3 position;
attribute vec2 texCoord;
attribute float shade;
uniform mat4 transform;
varying vec2 plasmaCoord;
varying float grey;
void main() {
    plasmaCoord = texCoord;
    grey = clamp(shade, 0.0, 1.0);
    gl_Position = transform * vec4(position, 1.0);
})";

// Interpolated texture coordinates need more than the 10-bit fraction a
// phone's GPU may give mediump: highp wherever the fragment shader has it.
constexpr char FRAGMENT_SHADER[] = R"(
#ifdef GL_FRAGMENT_PRECISION_HIGH
precision highp float;
#else
precision mediump float;
#endif
uniform sampler2D plasma;
varying vec2 plasmaCoord;
varying float grey;
void main() {
    gl_FragColor = texture2D(plasma, plasmaCoord) * vec4(grey, grey, grey, 1.0);
})";

GLint transformLocation;

// The plasma goes into two textures in turn: a frame's upload never waits for
// the GL to finish drawing the last frame from the texture it replaces (under
// load WebKitGTK's upload waited for that, milliseconds a frame).
GLuint plasmaTextures[2];
int drawnFrom; // the one uploaded last

GLuint shader(GLenum type, const char *source) {
    const GLuint name = glCreateShader(type);
    glShaderSource(name, 1, &source, nullptr);
    glCompileShader(name);
    return name;
}

// The one program every frame draws with; 0 if the browser's WebGL refuses it.
GLuint drawingProgram() {
    const GLuint program = glCreateProgram();
    glAttachShader(program, shader(GL_VERTEX_SHADER, VERTEX_SHADER));
    glAttachShader(program, shader(GL_FRAGMENT_SHADER, FRAGMENT_SHADER));
    glBindAttribLocation(program, POSITION, "position");
    glBindAttribLocation(program, TEX_COORD, "texCoord");
    glBindAttribLocation(program, SHADE, "shade");
    glLinkProgram(program);
    GLint linked = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    return linked ? program : 0;
}

// The vertex buffer holds the frame's terrain records as they are.
void describeVertices() {
    constexpr GLsizei STRIDE = sizeof(TerrainVertex);
    const auto at = [](size_t offset) { return reinterpret_cast<const void *>(offset); };
    glVertexAttribPointer(POSITION, 3, GL_SHORT, GL_FALSE, STRIDE, at(offsetof(TerrainVertex, x)));
    glVertexAttribPointer(TEX_COORD, 2, GL_FLOAT, GL_FALSE, STRIDE, at(offsetof(TerrainVertex, s)));
    glVertexAttribPointer(SHADE, 1, GL_FLOAT, GL_FALSE, STRIDE, at(offsetof(TerrainVertex, shade)));
    glEnableVertexAttribArray(POSITION);
    glEnableVertexAttribArray(TEX_COORD);
    glEnableVertexAttribArray(SHADE);
}

EM_JS(void, reportStartupFailure, (const char *line), {
    console.error(UTF8ToString(line));
    Module['onStartupFailure'](UTF8ToString(line));
});

} // namespace

bool openWebGl() {
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    // An opaque picture, no multisampling: the desktop window's.
    attributes.alpha = EM_FALSE;
    attributes.antialias = EM_FALSE;
    attributes.majorVersion = 1;
    const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = emscripten_webgl_create_context(CANVAS, &attributes);
    if (context <= 0 || emscripten_webgl_make_context_current(context) != EMSCRIPTEN_RESULT_SUCCESS) {
        reportStartupFailure("quillon: cannot open a 640x480 OpenGL window: the window has no OpenGL context");
        return false;
    }
    const GLuint program = drawingProgram();
    if (program == 0) {
        reportStartupFailure("quillon: cannot draw: the browser's WebGL does not take the drawing's shaders");
        return false;
    }
    glUseProgram(program);
    transformLocation = glGetUniformLocation(program, "transform");

    glViewport(0, 0, WINDOW_WIDTH, WINDOW_HEIGHT);
    glClearColor(0, 0, 0, 0);
    glClearDepthf(1);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);

    glGenTextures(2, plasmaTextures);
    for (const GLuint texture : plasmaTextures) {
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, PLASMA_SIZE, PLASMA_SIZE, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    }

    GLuint buffer = 0;
    glGenBuffers(1, &buffer);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    describeVertices();
    return true;
}

// The texture uploaded is the one drawn from, until the next upload.
void uploadPlasmaTexture() {
    drawnFrom ^= 1;
    glBindTexture(GL_TEXTURE_2D, plasmaTextures[drawnFrom]);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, PLASMA_SIZE, PLASMA_SIZE, GL_RGBA, GL_UNSIGNED_BYTE, texels);
}

void uploadTerrain() {
    static TerrainVertex vertices[TERRAIN_VERTICES];
    buildTerrainVertices(vertices);
    glBufferData(GL_ARRAY_BUFFER, sizeof vertices, vertices, GL_STREAM_DRAW);
}

void drawTerrain(const Camera &camera) {
    float transform[16];
    frameTransform(camera, worldScale, heightScale(), worldScale, transform);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glUniformMatrix4fv(transformLocation, 1, GL_FALSE, transform);
    glDrawArrays(GL_TRIANGLES, 0, TERRAIN_VERTICES);
}
