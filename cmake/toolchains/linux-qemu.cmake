# Shared by the Linux toolchain files, which set QUILLON_TRIPLE, QUILLON_PROCESSOR
# and QUILLON_QEMU first: Debian's cross compiler for the triple
# (g++-TRIPLE), tests run through qemu-user (package qemu-user). Its loader and
# C library come from the cross compiler's, or from / where that system's own
# are installed (-DQUILLON_QEMU_LD_PREFIX=/, or the same in the environment at the
# first configure): loader and C library must be of one build.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR ${QUILLON_PROCESSOR})
set(CMAKE_C_COMPILER ${QUILLON_TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${QUILLON_TRIPLE}-g++)
set(CMAKE_LIBRARY_ARCHITECTURE ${QUILLON_TRIPLE})
set(qemu_ld_prefix /usr/${QUILLON_TRIPLE})
if(DEFINED ENV{QUILLON_QEMU_LD_PREFIX})
  set(qemu_ld_prefix $ENV{QUILLON_QEMU_LD_PREFIX})
endif()
set(QUILLON_QEMU_LD_PREFIX ${qemu_ld_prefix} CACHE PATH "Where ${QUILLON_QEMU} finds the loader and C library")
set(CMAKE_CROSSCOMPILING_EMULATOR ${QUILLON_QEMU} -L ${QUILLON_QEMU_LD_PREFIX})
