# Install rules beyond the executable, and the CPack setup that turns them into a .deb.
include(GNUInstallDirs)

install(FILES ${PROJECT_SOURCE_DIR}/packaging/quillon.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

# The package holds the executable and the desktop entry only. Should the test
# or benchmark libraries ever be built from source, keep their install rules off.
set(INSTALL_GTEST OFF CACHE BOOL "Install GoogleTest with Quillon")
set(BENCHMARK_ENABLE_INSTALL OFF CACHE BOOL "Install Google Benchmark with Quillon")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillon)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Quillon developers")
set(CPACK_PACKAGE_CONTACT "Quillon developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Real-time flight over an animated plasma terrain")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Quillon is a small OpenGL demo: a plasma pattern, recomputed every frame, "
    "colours and lifts a terrain that you fly over with the keyboard and mouse.")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PACKAGE_NAME quillon)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Quillon developers")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Written out rather than computed by dpkg-shlibdeps, which would name only
# libsdl1.2debian: the SDL 1.2 API is also served by libsdl1.2-compat. SDL opens
# libGL for the GLX context; the executable itself links libOpenGL and libGLU.
string(CONCAT CPACK_DEBIAN_PACKAGE_DEPENDS
    "libc6 (>= 2.34), libstdc++6 (>= 12), libgcc-s1 (>= 3.0), "
    "libsdl1.2debian (>= 1.2.15) | libsdl1.2-compat, libgl1, libopengl0, libglu1-mesa | libglu1")

set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build[^/]*/")

include(CPack)
