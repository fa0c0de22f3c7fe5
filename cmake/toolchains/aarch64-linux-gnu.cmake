# Linux on arm64 with Debian's g++-aarch64-linux-gnu, tests under qemu-aarch64.
set(QUILLON_TRIPLE aarch64-linux-gnu)
set(QUILLON_PROCESSOR aarch64)
set(QUILLON_QEMU qemu-aarch64)
include(${CMAKE_CURRENT_LIST_DIR}/linux-qemu.cmake)
