# quillon_debian_source(PACKAGE DIR VERSION): unpacks Debian's source package
# PACKAGE, as this system's release has it and with Debian's patches applied,
# into the build tree (scripts/debian-source); sets DIR to its folder and
# VERSION to its upstream version.
function(quillon_debian_source package dir version)
  set(work ${CMAKE_BINARY_DIR}/debian-source/${package})
  file(STRINGS /etc/os-release codename REGEX "^VERSION_CODENAME=")
  string(REGEX REPLACE "^VERSION_CODENAME=\"?([a-z]*)\"?$" "\\1" codename "${codename}")
  message(STATUS "Debian's ${package} source for ${codename}")
  execute_process(COMMAND ${PROJECT_SOURCE_DIR}/scripts/debian-source ${package} ${codename} ${work}
                  OUTPUT_VARIABLE full OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "could not fetch and unpack Debian's ${package} source into ${work}")
  endif()
  # [EPOCH:]UPSTREAM[-REVISION]
  string(REGEX REPLACE "^([0-9]+:)?(.*)-[^-]*$" "\\2" upstream "${full}")
  set(${dir} ${work}/source PARENT_SCOPE)
  set(${version} ${upstream} PARENT_SCOPE)
endfunction()
