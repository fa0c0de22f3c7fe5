# WebAssembly with Debian's Emscripten (package emscripten: 3.1.6 on Debian 12,
# 3.1.69 on Debian 13). Tests run under node; the program is a page (web/).
# Emscripten calls its processor x86 unless told; it is no x86, and takes no x86 flags.
set(EMSCRIPTEN_SYSTEM_PROCESSOR wasm32)
include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)
# WebAssembly SIMD, which every current browser has: the plasma's byte loops
# vectorise (the frame's work takes half the time), and the results stay the
# same, as the trace shows.
set(CMAKE_CXX_FLAGS_INIT -msimd128)
# Plain node: Emscripten's own test runner adds a threads flag that node 20 rejects.
find_program(QUILLON_NODE NAMES nodejs node REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${QUILLON_NODE})
# Node runs the unit tests and the trace: compiled before main runs (3.1.6's
# loader would fetch the .wasm, which node cannot), with the host's files.
set(QUILLON_NODE_LINK_OPTIONS -sENVIRONMENT=node -sWASM_ASYNC_COMPILATION=0 -sNODERAWFS=1 -sEXIT_RUNTIME=1)
# Emscripten's tools run on node and load Debian's JavaScript modules (acorn),
# where a node from elsewhere does not look.
set(CMAKE_CXX_COMPILER_LAUNCHER env NODE_PATH=/usr/share/nodejs)
set(CMAKE_CXX_LINKER_LAUNCHER env NODE_PATH=/usr/share/nodejs)
