# Linux on aarch64 with Debian's cross compiler (g++-aarch64-linux-gnu); tests
# run through qemu-user (package qemu-user). Its loader and C library come from
# the cross compiler's, or from / where that system's own are installed
# (-DQUILLON_QEMU_LD_PREFIX=/): loader and C library must be of one build.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)
set(CMAKE_LIBRARY_ARCHITECTURE aarch64-linux-gnu)
set(QUILLON_QEMU_LD_PREFIX /usr/aarch64-linux-gnu CACHE PATH "Where qemu-aarch64 finds the loader and C library")
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64 -L ${QUILLON_QEMU_LD_PREFIX})
