# Cross build for 32-bit Windows with mingw-w64, so that one program runs on
# 32-bit and 64-bit Windows alike. The win32 thread model: the posix one
# brings winpthreads, which imports GetTickCount64 (Vista and later).
# Linked statically, so no runtime DLL goes beside the programs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(QUORVANE_MINGW_PREFIX i686-w64-mingw32)
set(CMAKE_C_COMPILER   ${QUORVANE_MINGW_PREFIX}-gcc-win32)
set(CMAKE_CXX_COMPILER ${QUORVANE_MINGW_PREFIX}-g++-win32)
set(CMAKE_RC_COMPILER  ${QUORVANE_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${QUORVANE_MINGW_PREFIX})
# Programs (wine, bash) come from the host; libraries and headers from the target.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The loaders of Windows 98, ME and NT 4 refuse a program whose header asks
# for a later system or subsystem than 4.0; the linker's default is higher.
set(CMAKE_EXE_LINKER_FLAGS_INIT
  "-static -Wl,--major-subsystem-version,4,--minor-subsystem-version,0,--major-os-version,4,--minor-os-version,0")

find_program(QUORVANE_WINE NAMES wine REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${QUORVANE_WINE})
