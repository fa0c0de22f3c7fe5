# WebAssembly SIMD, which every current browser has: the plasma's byte loops
# vectorise (the frame's work takes half the time), and the results stay the
# same, as the trace shows.
add_compile_options(-msimd128)

# What a WebAssembly build links instead of the system's SDL 1.2, OpenGL and GLU:
# Emscripten's SDL, its fixed-function emulation over WebGL 1, and its GLU.
# Its SDL headers are asked for when compiling too: 3.1.69's default include
# folder has only a stub SDL.h that stops the build; 3.1.6 takes the flag as well.
# Both versions lack display lists (terrainListWeb.cpp), a gluLookAt that
# reaches the matrix, a video mode that fails without WebGL (glWeb.cpp), SDL
# 1.2's key numbers and a pointer that can be put back (inputWeb.cpp): those
# stay ours for both.
add_library(SDL::SDL INTERFACE IMPORTED)
target_compile_options(SDL::SDL INTERFACE -sUSE_SDL=1)
target_link_options(SDL::SDL INTERFACE -sUSE_SDL=1 -sLEGACY_GL_EMULATION=1 -sMIN_WEBGL_VERSION=1
                    -sMAX_WEBGL_VERSION=1)
add_library(OpenGL::GL INTERFACE IMPORTED)
add_library(OpenGL::GLU INTERFACE IMPORTED)
# Node runs the unit tests and the trace: compiled before main runs (3.1.6's
# loader would fetch the .wasm, which node cannot), with the host's files.
set(QUILLON_NODE_LINK_OPTIONS -sENVIRONMENT=node -sWASM_ASYNC_COMPILATION=0 -sNODERAWFS=1 -sEXIT_RUNTIME=1)
