# Cross build for Windows x64 with Debian's mingw-w64 (posix thread model: GCC 12's win32
# model has no std::thread). Used by scripts/build windows, and by scripts/windows-deps
# for the libraries it cross-builds; ZORV_WINDOWS_DEPS names the prefix that holds them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(mingw x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${mingw}-windres)

# The try_compile projects read this file again: hand them the prefix too.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ZORV_WINDOWS_DEPS)
set(CMAKE_FIND_ROOT_PATH /usr/${mingw})
if(ZORV_WINDOWS_DEPS)
    list(APPEND CMAKE_FIND_ROOT_PATH ${ZORV_WINDOWS_DEPS})
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# juce_gui_basics holds more sections than COFF's default limit.
set(CMAKE_C_FLAGS_INIT "-Wa,-mbig-obj")
set(CMAKE_CXX_FLAGS_INIT "-Wa,-mbig-obj")
# Statically linked executables need no DLL beyond Windows' own.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

set(CMAKE_CROSSCOMPILING_EMULATOR wine)
