# Linux on 64-bit RISC-V with Debian's g++-riscv64-linux-gnu, tests under qemu-riscv64.
set(QUILLON_TRIPLE riscv64-linux-gnu)
set(QUILLON_PROCESSOR riscv64)
set(QUILLON_QEMU qemu-riscv64)
include(${CMAKE_CURRENT_LIST_DIR}/linux-qemu.cmake)
