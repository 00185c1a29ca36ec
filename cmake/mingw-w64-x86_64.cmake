# Cross build for 64-bit Windows with Debian's mingw-w64 toolchain (package
# g++-mingw-w64-x86-64-posix). The posix-threads compilers are the ones with std::thread
# and std::mutex, which GoogleTest needs. Test programs run under Wine.
#
#   cmake -S . -B build-win32 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
#         -DZYL_WITH_GUI=OFF -DZYL_WITH_BENCH=OFF

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ZYL_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ZYL_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZYL_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${ZYL_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ZYL_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The compiler's own runtime DLLs (libstdc++, libgcc, winpthread) are linked in, so a test
# program runs under Wine, or on a Windows PC, without them beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Lets ctest, and GoogleTest's test discovery, start the test programs.
find_program(ZYL_WINE NAMES wine wine64)
if(ZYL_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${ZYL_WINE})
endif()
