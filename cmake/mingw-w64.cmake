# Cross-builds for 64-bit Windows with Debian's MinGW-w64, the variant with
# POSIX threads (its libstdc++ has std::thread and std::mutex, which
# GoogleTest uses). Libraries are looked for only among the target's: in
# MinGW's own root, and in the prefixes given as CMAKE_FIND_ROOT_PATH, where
# scripts/windows.sh installs the static libraries it builds.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

list(APPEND CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# pkg-config reads the target's .pc files, never the build machine's. The
# environment is the process's own, and try_compile reads this file again:
# it is given the same roots, so as not to set a narrower search path.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES CMAKE_FIND_ROOT_PATH)
list(TRANSFORM CMAKE_FIND_ROOT_PATH APPEND /lib/pkgconfig OUTPUT_VARIABLE pkg_config_dirs)
string(REPLACE ";" ":" pkg_config_dirs "${pkg_config_dirs}")
set(ENV{PKG_CONFIG_LIBDIR} "${pkg_config_dirs}")

# One .exe that runs on its own: libgcc, libstdc++ and winpthread are linked
# in, so no MinGW DLL has to lie beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)

# Tests run under Wine, and GoogleTest lists a program's tests when ctest
# runs rather than when it is built, so building needs no Wine.
find_program(WINE_EXE wine)
if(WINE_EXE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${WINE_EXE})
endif()
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
