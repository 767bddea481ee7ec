# 32-bit Windows cross build with MinGW-w64: the shipped Tenrek.mfx.
set(TENREK_MINGW_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
