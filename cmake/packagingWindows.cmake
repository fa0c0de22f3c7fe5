# The Windows release: a zip holding quillon.exe with SDL.dll beside it, and
# the licenses: Quillon's, and SDL's (LGPL-2.1) with where its source comes
# from. SDL is the build from Debian's source that scripts/sdl-for-windows
# installs under SDLDIR.
find_file(QUILLON_SDL_DLL SDL.dll PATH_SUFFIXES bin REQUIRED)
get_filename_component(sdl_prefix ${QUILLON_SDL_DLL} DIRECTORY)
get_filename_component(sdl_prefix ${sdl_prefix} DIRECTORY)
set(sdl_docs ${sdl_prefix}/share/doc/SDL)
foreach(doc COPYING SOURCE.txt)
  if(NOT EXISTS ${sdl_docs}/${doc})
    message(FATAL_ERROR "no ${sdl_docs}/${doc}: SDL's license and source notes go into the zip")
  endif()
endforeach()

# SDL.dll beside the executable in the build tree too, so that it runs from there.
add_custom_command(TARGET quillon POST_BUILD COMMAND ${CMAKE_COMMAND} -E copy_if_different ${QUILLON_SDL_DLL}
                                                     $<TARGET_FILE_DIR:quillon>)

install(TARGETS quillon RUNTIME DESTINATION .)
install(FILES ${QUILLON_SDL_DLL} DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)
install(FILES ${sdl_docs}/COPYING DESTINATION . RENAME SDL-LICENSE.txt)
install(FILES ${sdl_docs}/SOURCE.txt DESTINATION . RENAME SDL-SOURCE.txt)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME quillon)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME quillon-${PROJECT_VERSION}-windows-x64)
set(CPACK_STRIP_FILES ON)
include(CPack)
