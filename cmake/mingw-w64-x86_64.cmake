# The test build: the same sources as 64-bit Windows programs (PE32+), run
# under 64-bit Wine on machines whose kernel runs no 32-bit programs. Not
# shipped: the release is the 32-bit build.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(QUORVANE_MINGW_PREFIX x86_64-w64-mingw32)
set(QUORVANE_WINE_LOADER /usr/lib/wine/wine64 CACHE FILEPATH "Wine's loader of 64-bit programs")
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
