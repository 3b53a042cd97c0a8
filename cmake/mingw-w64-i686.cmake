# The shipped build: 32-bit Windows programs (PE32), so that one program
# runs on 32-bit and 64-bit Windows alike, from 98 to 11. Its tests run
# only where the machine runs 32-bit programs (32-bit Wine).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(QUORVANE_MINGW_PREFIX i686-w64-mingw32)
set(QUORVANE_WINE_LOADER /usr/lib/wine/wine CACHE FILEPATH "Wine's loader of 32-bit programs")
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
