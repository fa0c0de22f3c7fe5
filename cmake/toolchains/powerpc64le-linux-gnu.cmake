# Linux on 64-bit little-endian POWER (ppc64el) with Debian's g++-powerpc64le-linux-gnu, tests under qemu-ppc64le.
set(QUILLON_TRIPLE powerpc64le-linux-gnu)
set(QUILLON_PROCESSOR ppc64le)
set(QUILLON_QEMU qemu-ppc64le)
include(${CMAKE_CURRENT_LIST_DIR}/linux-qemu.cmake)
