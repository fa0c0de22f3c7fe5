# Linux on 32-bit x86 with Debian's g++-i686-linux-gnu, tests under qemu-i386.
set(QUILLON_TRIPLE i686-linux-gnu)
set(QUILLON_PROCESSOR i686)
set(QUILLON_QEMU qemu-i386)
include(${CMAKE_CURRENT_LIST_DIR}/linux-qemu.cmake)
