# Cross build for 32-bit Windows with Debian's mingw-w64 (package g++-mingw-w64-i686-posix).
# Wine runs its programs with Debian's wine32 (i386 multiarch).
#
#   cmake -S . -B build-win32-x86 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake \
#         -DZYL_WITH_GUI=OFF -DZYL_WITH_BENCH=OFF

set(CMAKE_SYSTEM_PROCESSOR x86)
set(ZYL_MINGW_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
