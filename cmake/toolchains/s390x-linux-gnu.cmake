# Linux on s390x (big-endian) with Debian's g++-s390x-linux-gnu, tests under qemu-s390x.
set(QUILLON_TRIPLE s390x-linux-gnu)
set(QUILLON_PROCESSOR s390x)
set(QUILLON_QEMU qemu-s390x)
include(${CMAKE_CURRENT_LIST_DIR}/linux-qemu.cmake)
