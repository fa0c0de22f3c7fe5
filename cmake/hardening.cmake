# Hardening flags for a native build (see the top-level CMakeLists.txt).
include(CheckCXXCompilerFlag)
add_compile_options(-fstack-protector-strong)
# mingw-w64's GCC 12 fails with an internal error on stack-clash probes in a
# function that never returns; Windows probes its stack pages anyway.
set(hardening_flags -fcf-protection)
if(NOT WIN32)
  list(APPEND hardening_flags -fstack-clash-protection)
endif()
foreach(flag ${hardening_flags})
  string(MAKE_C_IDENTIFIER "QUILLON_HAS${flag}" has_flag)
  check_cxx_compiler_flag(${flag} ${has_flag})
  if(${has_flag})
    add_compile_options(${flag})
  endif()
endforeach()
# Flags passed in CXXFLAGS (dpkg-buildflags) keep their own _FORTIFY_SOURCE level.
# AddressSanitizer intercepts the plain libc calls, not the fortified ones.
if(NOT CMAKE_CXX_FLAGS MATCHES "_FORTIFY_SOURCE" AND NOT QUILLON_SANITIZE)
  add_compile_options($<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:-D_FORTIFY_SOURCE=2>)
endif()
if(WIN32)
  # One executable beside SDL.dll: the C and C++ runtimes and the stack
  # protector's library are linked in.
  add_link_options(-static -fstack-protector-strong)
else()
  include(CheckPIESupported)
  check_pie_supported()
  set(CMAKE_POSITION_INDEPENDENT_CODE ON)
  add_link_options(LINKER:-z,relro LINKER:-z,now)
endif()
