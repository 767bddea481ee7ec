# 64-bit Windows cross build with MinGW-w64. The POSIX-thread variant of
# the compiler is used because GoogleTest needs it; everything is linked
# statically, so no MinGW runtime DLL is needed at run time.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Tests and tools built for Windows run under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
# GCC 12 for x86_64 reports a false -Wrestrict in libstdc++ when a string
# literal is prepended to a std::string (GCC bug 105329); it would break
# -Werror builds. Per-configuration flags, so that a CMAKE_CXX_FLAGS given
# on the command line (-Werror) keeps it.
foreach(config DEBUG RELEASE RELWITHDEBINFO MINSIZEREL)
  set(CMAKE_CXX_FLAGS_${config}_INIT "-Wno-restrict")
endforeach()
set(CMAKE_CXX_FLAGS_RELEASE_INIT "-O2 -DNDEBUG -Wno-restrict")
set(CMAKE_CXX_FLAGS_DEBUG_INIT "-g -Wno-restrict")
