# What the two cross builds share; the including file sets
# QUORVANE_MINGW_PREFIX and QUORVANE_WINE_LOADER first. The win32 thread
# model: the posix one brings winpthreads, which imports GetTickCount64
# (Vista and later). Linked statically, so no runtime DLL goes beside the
# programs.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER   ${QUORVANE_MINGW_PREFIX}-gcc-win32)
set(CMAKE_CXX_COMPILER ${QUORVANE_MINGW_PREFIX}-g++-win32)
set(CMAKE_RC_COMPILER  ${QUORVANE_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${QUORVANE_MINGW_PREFIX})
# Programs (bash, objdump) come from the host; libraries and headers from the target.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The loaders of Windows 98, ME and NT 4 refuse a program whose header asks
# for a later system or subsystem than 4.0; the linker's default is higher.
set(CMAKE_EXE_LINKER_FLAGS_INIT
  "-static -Wl,--major-subsystem-version,4,--minor-subsystem-version,0,--major-os-version,4,--minor-os-version,0")

# CTest starts the test programs through Wine's loader for this
# architecture, named by path: /usr/bin/wine always tries the 32-bit loader
# once wine32 is installed, which fails for every program on a kernel
# without 32-bit support. The loader need not exist to configure or build.
set(CMAKE_CROSSCOMPILING_EMULATOR ${QUORVANE_WINE_LOADER})
