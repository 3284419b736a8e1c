# Cross-builds for 64-bit ARM Linux with Debian's aarch64-linux-gnu compilers
# (g++-aarch64-linux-gnu). Test programs run under qemu-aarch64 (qemu-user),
# which finds the target's C and C++ libraries under /usr/aarch64-linux-gnu.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

set(_triple aarch64-linux-gnu)
set(CMAKE_C_COMPILER ${_triple}-gcc)
set(CMAKE_CXX_COMPILER ${_triple}-g++)
set(CMAKE_AR ${_triple}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${_triple}-ranlib CACHE FILEPATH "")
set(CMAKE_OBJDUMP ${_triple}-objdump CACHE FILEPATH "")
set(CMAKE_STRIP ${_triple}-strip CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${_triple} /usr/lib/${_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# pkg-config must not offer the build machine's libraries.
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/${_triple}/pkgconfig:/usr/share/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "")

# The programs run on the cross toolchain's C library, the one they were linked
# against. Debian's arm64 libraries for the view (multiarch) bring another build
# of it under /lib/aarch64-linux-gnu, which the loader would find first; mixed
# with the toolchain's loader it hangs forked children (death tests).
find_program(QEMU_AARCH64 qemu-aarch64)
if(QEMU_AARCH64)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${QEMU_AARCH64} -L /usr/${_triple}
      -E LD_LIBRARY_PATH=/usr/${_triple}/lib)
endif()
