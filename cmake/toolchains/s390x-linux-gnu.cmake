# Linux on s390x with Debian's cross compiler (g++-s390x-linux-gnu); tests
# run through qemu-user (package qemu-user). Its loader and C library come from
# the cross compiler's, or from / where that system's own are installed
# (-DQUILLON_QEMU_LD_PREFIX=/): loader and C library must be of one build.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR s390x)
set(CMAKE_C_COMPILER s390x-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER s390x-linux-gnu-g++)
set(CMAKE_LIBRARY_ARCHITECTURE s390x-linux-gnu)
set(QUILLON_QEMU_LD_PREFIX /usr/s390x-linux-gnu CACHE PATH "Where qemu-s390x finds the loader and C library")
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-s390x -L ${QUILLON_QEMU_LD_PREFIX})
