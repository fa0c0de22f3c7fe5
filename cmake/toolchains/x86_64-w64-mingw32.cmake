# 64-bit Windows with Debian's mingw-w64 (g++-mingw-w64-x86-64), in its posix
# thread model, which GoogleTest's std::mutex needs. Tests run through wine64
# (package wine64) in a private prefix in the build tree. SDL 1.2 for Windows
# is looked for under SDLDIR (scripts/sdl-for-windows builds it there).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(QUILLON_SDLDIR "$ENV{SDLDIR}" CACHE PATH "SDL 1.2 for Windows: the PREFIX given to scripts/sdl-for-windows")
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 ${QUILLON_SDLDIR})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
find_program(QUILLON_WINE NAMES wine64 wine PATHS /usr/lib/wine REQUIRED)
# WINEPATH: the tests find SDL.dll where it was installed.
set(CMAKE_CROSSCOMPILING_EMULATOR env WINEPREFIX=${CMAKE_BINARY_DIR}/wine WINEDEBUG=-all
                                  WINEDLLOVERRIDES=mscoree,mshtml= WINEPATH=${QUILLON_SDLDIR}/bin ${QUILLON_WINE})
