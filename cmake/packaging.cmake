# Install rules beyond the executable, and the CPack setup that turns them into a .deb.
# `cmake --install` and the package put down the same files: the executable, its
# manual page, the desktop entry, its icon at several sizes, AppStream metadata,
# and the copyright file and changelog.
include(GNUInstallDirs)

set(QUILLON_APP_ID io.github.quillon.Quillon)
set(packaging_dir ${PROJECT_SOURCE_DIR}/packaging)

# The package's directories are 0755 whatever the umask of whoever builds it.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                                WORLD_READ WORLD_EXECUTE)

# Manual page and changelog go out compressed as Debian wants them: gzip -9, with
# no name or time stamp in the header, so rebuilding gives the same bytes.
find_program(QUILLON_GZIP gzip REQUIRED)
set(compressed_docs)
foreach(doc quillon.6 changelog)
  add_custom_command(OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/${doc}.gz
                     COMMAND sh -c "\"$1\" -9n <\"$2\" >\"$3\"" sh ${QUILLON_GZIP} ${packaging_dir}/${doc}
                             ${CMAKE_CURRENT_BINARY_DIR}/${doc}.gz
                     DEPENDS ${packaging_dir}/${doc}
                     COMMENT "Compressing ${doc}"
                     VERBATIM)
  list(APPEND compressed_docs ${CMAKE_CURRENT_BINARY_DIR}/${doc}.gz)
endforeach()
add_custom_target(quillon_docs ALL DEPENDS ${compressed_docs})

# With --strip (and in the package) the compiler's .comment notes go as well, as
# dh_strip removes them.
if(CMAKE_STRIP)
  install(CODE "if(CMAKE_INSTALL_DO_STRIP)
    execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment
                            \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin/$<TARGET_FILE_NAME:quillon>\"
                    COMMAND_ERROR_IS_FATAL ANY)
  endif()")
endif()
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/quillon.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${packaging_dir}/${QUILLON_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${packaging_dir}/${QUILLON_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${packaging_dir}/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons
        FILES_MATCHING PATTERN "*.png")
install(FILES ${packaging_dir}/copyright ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quillon)

# Should the test or benchmark libraries ever be built from source, keep their
# install rules off.
set(INSTALL_GTEST OFF CACHE BOOL "Install GoogleTest with Quillon")
set(BENCHMARK_ENABLE_INSTALL OFF CACHE BOOL "Install Google Benchmark with Quillon")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillon)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Quillon developers")
set(CPACK_PACKAGE_CONTACT "Quillon developers <quillon@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "real-time OpenGL flight over an animated plasma terrain")
# Lines of at most 80 columns; CPack indents them and turns blank lines into " .".
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Quillon is a small OpenGL demo. Every frame it computes a plasma pattern\n"
    "from sine tables and a 256-colour palette, uses it as the texture of a\n"
    "terrain lifted from the same pattern, and draws the terrain through a\n"
    "camera flown with the keyboard and mouse: arrow keys or W, A, S and D to\n"
    "move, the mouse to turn and tilt, its buttons to roll, C to switch between\n"
    "a chase camera and a top-down camera, Escape to quit.\n"
    "\n"
    "The window caption shows the frame rate. Without a GPU driver, Mesa\n"
    "renders in software and the demo runs more slowly.")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PACKAGE_NAME quillon)
# A cross build's package is for the machine the program runs on.
if(CMAKE_CROSSCOMPILING)
  execute_process(COMMAND dpkg-architecture -t ${CMAKE_LIBRARY_ARCHITECTURE} -qDEB_HOST_ARCH
                  OUTPUT_VARIABLE CPACK_DEBIAN_PACKAGE_ARCHITECTURE OUTPUT_STRIP_TRAILING_WHITESPACE
                  COMMAND_ERROR_IS_FATAL ANY)
endif()
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Quillon developers <quillon@users.noreply.github.com>")
# The executable lives in /usr/bin, not /usr/games, so not Section games.
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# dpkg-shlibdeps computes Depends from the libraries the executable links
# (classic SDL 1.2, libOpenGL, GLU, libc). libGL is added by hand: SDL 1.2 opens
# it at run time for the GLX context, and its own package does not depend on it.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS libgl1)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build[^/]*/")

include(CPack)
