# Cross-building the program for another of Debian's architectures (the
# arm64 and armhf presets) with Debian's cross compilers, against a sysroot of
# that architecture's own Debian packages, which scripts/arm unpacks.
# WALKER_DEB_ARCH names the architecture as Debian does; CMAKE_SYSROOT is the
# sysroot. Everything else follows from the two.
set(CMAKE_SYSTEM_NAME Linux)
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES WALKER_DEB_ARCH)
if(NOT WALKER_DEB_ARCH OR NOT CMAKE_SYSROOT)
  message(FATAL_ERROR "cmake/debian-cross.cmake needs WALKER_DEB_ARCH and CMAKE_SYSROOT (the arm64 and armhf presets)")
endif()

# dpkg-architecture knows each architecture's GNU triplet and CPU; it warns
# that the machine's own compiler is not for it, which is the point.
foreach(field IN ITEMS DEB_HOST_MULTIARCH DEB_HOST_GNU_CPU)
  execute_process(COMMAND dpkg-architecture -a ${WALKER_DEB_ARCH} -q ${field}
    OUTPUT_VARIABLE ${field} OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET COMMAND_ERROR_IS_FATAL ANY)
endforeach()
set(CMAKE_SYSTEM_PROCESSOR ${DEB_HOST_GNU_CPU})
set(CMAKE_LIBRARY_ARCHITECTURE ${DEB_HOST_MULTIARCH})
set(CMAKE_C_COMPILER ${DEB_HOST_MULTIARCH}-gcc)
set(CMAKE_CXX_COMPILER ${DEB_HOST_MULTIARCH}-g++)
# qemu-user runs the program on this machine, with the sysroot as its root
# for the libraries it loads (CMake's emulator: scripts/arm and the tests use it).
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-${DEB_HOST_GNU_CPU}-static -L ${CMAKE_SYSROOT})

# Libraries, headers and packages from the sysroot only, never from the
# machine's own /usr; programs (the build tools) from the machine. Debian's
# cross compiler takes libc and libstdc++ from its own /usr/TRIPLET, which
# are the same versions as the sysroot's.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# pkg-config (FindGLUT asks it) reads the sysroot's .pc files, not the machine's.
set(ENV{PKG_CONFIG_LIBDIR} ${CMAKE_SYSROOT}/usr/lib/${DEB_HOST_MULTIARCH}/pkgconfig:${CMAKE_SYSROOT}/usr/share/pkgconfig)
set(ENV{PKG_CONFIG_SYSROOT_DIR} ${CMAKE_SYSROOT})
