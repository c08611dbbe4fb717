# Cross-compiles for 64-bit Windows with Debian's mingw-w64 compilers (package
# g++-mingw-w64-x86-64) and runs what the build and the tests run under wine (packages wine,
# wine64), so that ctest in a tree configured with this file runs the test programs, and the
# programs they start, on Windows semantics:
#
#   cmake -S . -B build/windows --toolchain cmake/mingw-w64.cmake
#   cmake --build build/windows -j2 && ctest --test-dir build/windows -j2
#
# or `cmake --workflow --preset windows`. Wine runs with a private prefix under the build tree
# (created at configure time), so nothing in the user's own wine prefix is read or changed.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(mingw_triplet x86_64-w64-mingw32)
# The posix thread model, which GoogleTest's std::mutex needs; the build links its thread
# library in with the C and C++ runtimes, so no DLL goes beside the .exe files.
find_program(CMAKE_C_COMPILER NAMES ${mingw_triplet}-gcc-posix ${mingw_triplet}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${mingw_triplet}-g++-posix ${mingw_triplet}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${mingw_triplet}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${mingw_triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Wine shows the build machine's root directory as drive Z:; the build turns the paths it
# compiles into test programs into that spelling (map_tools_target_path).
set(MAP_TOOLS_HOST_DRIVE "Z:")

# Debian installs the 64-bit loader as /usr/lib/wine/wine64 and a /usr/bin/wine that picks it;
# wine-run.sh beside this file starts it with the tree's own prefix.
find_program(MAP_TOOLS_WINE NAMES wine NO_CMAKE_FIND_ROOT_PATH)
if(MAP_TOOLS_WINE)
    set(MAP_TOOLS_WINEPREFIX "${CMAKE_BINARY_DIR}/wineprefix")
    set(CMAKE_CROSSCOMPILING_EMULATOR /bin/sh "${CMAKE_CURRENT_LIST_DIR}/wine-run.sh" "${MAP_TOOLS_WINEPREFIX}")
endif()
