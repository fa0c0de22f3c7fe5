# Linux on 32-bit ARM (armhf: ARMv7, hardware floats) with Debian's g++-arm-linux-gnueabihf, tests under qemu-arm.
set(QUILLON_TRIPLE arm-linux-gnueabihf)
set(QUILLON_PROCESSOR armv7l)
set(QUILLON_QEMU qemu-arm)
include(${CMAKE_CURRENT_LIST_DIR}/linux-qemu.cmake)
