# The page: index.html with quillon.js and quillon.wasm beside it in page/, and
# the zip that holds the same, index.html at its top.
set(QUILLON_PAGE_DIR ${CMAKE_BINARY_DIR}/page)
set_target_properties(quillon PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${QUILLON_PAGE_DIR} SUFFIX .js)
target_link_options(quillon PRIVATE -sENVIRONMENT=web)
configure_file(${PROJECT_SOURCE_DIR}/app/web/index.html ${QUILLON_PAGE_DIR}/index.html COPYONLY)

install(FILES ${QUILLON_PAGE_DIR}/index.html ${QUILLON_PAGE_DIR}/quillon.js ${QUILLON_PAGE_DIR}/quillon.wasm
        DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME quillon)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME quillon-${PROJECT_VERSION}-web)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
include(CPack)
