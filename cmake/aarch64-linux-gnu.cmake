# SPDX-License-Identifier: GPL-3.0-or-later
# Cross-building for 64-bit ARM Debian 12 with Debian's cross compiler against a sysroot of
# Debian's arm64 packages (made by scripts/cross). GLASSFALLS_SYSROOT names the sysroot.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_LIBRARY_ARCHITECTURE aarch64-linux-gnu)

if(NOT GLASSFALLS_SYSROOT)
  set(GLASSFALLS_SYSROOT $ENV{GLASSFALLS_SYSROOT})
endif()
if(NOT IS_DIRECTORY "${GLASSFALLS_SYSROOT}")
  message(FATAL_ERROR "GLASSFALLS_SYSROOT names no sysroot: '${GLASSFALLS_SYSROOT}' (scripts/cross makes one)")
endif()
# Try-compiles run in projects of their own and see only what is passed on.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES GLASSFALLS_SYSROOT)

set(CMAKE_SYSROOT ${GLASSFALLS_SYSROOT})
set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)
# Build-time helpers (the manual page writer) and test discovery run the arm64 programs.
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64-static -L ${GLASSFALLS_SYSROOT})

set(CMAKE_FIND_ROOT_PATH ${GLASSFALLS_SYSROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config reads the sysroot's .pc files and puts the sysroot before their paths.
set(ENV{PKG_CONFIG_LIBDIR} ${GLASSFALLS_SYSROOT}/usr/lib/aarch64-linux-gnu/pkgconfig:${GLASSFALLS_SYSROOT}/usr/share/pkgconfig)
set(ENV{PKG_CONFIG_SYSROOT_DIR} ${GLASSFALLS_SYSROOT})
set(ENV{PKG_CONFIG_PATH} "")

set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE arm64)
# dpkg-shlibdeps finds the libraries the package links in the sysroot (and, through
# DPKG_ADMINDIR, the packages holding them in the sysroot's package database).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${GLASSFALLS_SYSROOT}/usr/lib/aarch64-linux-gnu ${GLASSFALLS_SYSROOT}/usr/lib)
