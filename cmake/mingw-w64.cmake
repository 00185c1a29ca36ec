# What both Windows toolchain files share; each sets ZYL_MINGW_PREFIX and the processor
# before including it. The posix-threads compilers are the ones with std::thread and
# std::mutex, which GoogleTest needs. Test programs run under Wine.

set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${ZYL_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZYL_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${ZYL_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ZYL_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Windows 7 is the oldest system the program runs on: the headers then declare nothing
# newer, and a newer function is looked up at run time where the program can do without it
# (scripts/build-windows checks every import against scripts/windows-imports.txt). Each
# function in a section of its own, so the linker drops what nothing calls.
set(ZYL_WINDOWS_FLAGS "-D_WIN32_WINNT=0x0601 -DWINVER=0x0601 -ffunction-sections -fdata-sections")
set(CMAKE_C_FLAGS_INIT "${ZYL_WINDOWS_FLAGS}")
set(CMAKE_CXX_FLAGS_INIT "${ZYL_WINDOWS_FLAGS}")

# The compiler's own runtime DLLs (libstdc++, libgcc, winpthread) are linked in, so a
# program runs under Wine, or on a Windows PC, without them beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -Wl,--gc-sections")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -Wl,--gc-sections")

# Lets ctest, and GoogleTest's test discovery, start the test programs.
find_program(ZYL_WINE NAMES wine wine64)
if(ZYL_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${ZYL_WINE})
endif()
