# 64-bit Windows cross build with MinGW-w64: the same sources, for 64-bit
# Wine on machines that cannot start 32-bit programs.
set(TENREK_MINGW_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
