# quillon_debian_source(PACKAGE DIR VERSION): unpacks Debian's source package
# PACKAGE, as this system's release has it and with Debian's patches applied,
# into the build tree once; sets DIR to its folder and VERSION to its upstream
# version. It comes through a private apt setup in the build tree, from the
# archive this system's apt uses, so the system's own apt state is not touched.
# Needs apt and dpkg-source (package dpkg-dev).
function(quillon_debian_source package dir version)
  set(work ${CMAKE_BINARY_DIR}/debian-source/${package})
  if(NOT EXISTS ${work}/source/debian/changelog)
    quillon_fetch_debian_source(${package} ${work})
  endif()
  # The changelog's first line: PACKAGE ([EPOCH:]UPSTREAM[-REVISION]) ...
  file(STRINGS ${work}/source/debian/changelog entry LIMIT_COUNT 1)
  string(REGEX REPLACE "^[^(]*\\(([0-9]+:)?([^)]*)\\).*$" "\\2" upstream "${entry}")
  string(REGEX REPLACE "-[^-]*$" "" upstream "${upstream}")
  set(${dir} ${work}/source PARENT_SCOPE)
  set(${version} ${upstream} PARENT_SCOPE)
endfunction()

function(quillon_fetch_debian_source package work)
  file(REMOVE_RECURSE ${work})
  file(MAKE_DIRECTORY ${work}/parts ${work}/lists/partial ${work}/cache/archives/partial)

  file(STRINGS /etc/os-release codename REGEX "^VERSION_CODENAME=")
  string(REGEX REPLACE "^VERSION_CODENAME=\"?([a-z]*)\"?$" "\\1" codename "${codename}")
  execute_process(COMMAND apt-get indextargets --format "$(REPO_URI)" "Release: ${codename}" "Component: main"
                  OUTPUT_VARIABLE archives OUTPUT_STRIP_TRAILING_WHITESPACE)
  string(REGEX MATCH "^[^\n]+" archive "${archives}")
  if(NOT archive)
    message(FATAL_ERROR "no Debian archive for ${codename} in apt's sources, to fetch ${package}'s source from")
  endif()
  set(keyring /usr/share/keyrings/debian-archive-keyring.gpg)
  if(EXISTS ${keyring})
    set(signed "[signed-by=${keyring}] ")
  endif()
  file(WRITE ${work}/sources.list "deb-src ${signed}${archive} ${codename} main\n")
  set(apt apt-get -o Dir::Etc::SourceList=${work}/sources.list -o Dir::Etc::SourceParts=${work}/parts
          -o Dir::State::Lists=${work}/lists -o Dir::Cache=${work}/cache -o APT::Sandbox::User=root)

  message(STATUS "Fetching Debian's ${package} source for ${codename}")
  execute_process(COMMAND ${apt} update -qq --error-on=any RESULT_VARIABLE failed)
  if(NOT failed)
    execute_process(COMMAND ${apt} source -qq --download-only ${package} WORKING_DIRECTORY ${work}
                    RESULT_VARIABLE failed)
  endif()
  file(GLOB dsc ${work}/*.dsc)
  if(NOT failed AND dsc)
    # apt has checked the files against the archive's signed index; dpkg-source
    # would only warn that it has no keyring for the uploader's signature.
    execute_process(COMMAND dpkg-source -x ${dsc} source WORKING_DIRECTORY ${work} OUTPUT_QUIET
                    ERROR_VARIABLE errors RESULT_VARIABLE failed)
  endif()
  if(failed OR NOT dsc OR NOT EXISTS ${work}/source/debian/changelog)
    message(FATAL_ERROR "could not fetch and unpack Debian's ${package} source (${work}) ${errors}")
  endif()
endfunction()
