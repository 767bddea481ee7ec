# Windows cross build with MinGW-w64, included by mingw-i686.cmake and
# mingw-x86_64.cmake once they have set TENREK_MINGW_PROCESSOR. The
# POSIX-thread variant of the compiler is used because GoogleTest needs it;
# everything is linked statically, so no MinGW runtime DLL is needed at
# run time.
set(TENREK_MINGW_TRIPLET ${TENREK_MINGW_PROCESSOR}-w64-mingw32)
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${TENREK_MINGW_PROCESSOR})
set(CMAKE_C_COMPILER ${TENREK_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TENREK_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${TENREK_MINGW_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TENREK_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Tests and tools built for Windows run under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
# GCC 12 reports a false -Wrestrict in libstdc++ when a string
# literal is prepended to a std::string (GCC bug 105329); it would break
# -Werror builds. Per-configuration flags, so that a CMAKE_CXX_FLAGS given
# on the command line (-Werror) keeps it.
foreach(config DEBUG RELEASE RELWITHDEBINFO MINSIZEREL)
  set(CMAKE_CXX_FLAGS_${config}_INIT "-Wno-restrict")
endforeach()
set(CMAKE_CXX_FLAGS_RELEASE_INIT "-O2 -DNDEBUG -Wno-restrict")
set(CMAKE_CXX_FLAGS_DEBUG_INIT "-g -Wno-restrict")
