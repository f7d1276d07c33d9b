# Cross-builds the Windows programs on Debian with mingw-w64's posix toolchain, static so
# that the .exe runs without the compiler's DLLs; the tests run through Wine. Included by
# the toolchain file of each processor, which sets CMAKE_SYSTEM_PROCESSOR first.
set(CMAKE_SYSTEM_NAME Windows)
set(tessik_mingw ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32)

set(CMAKE_C_COMPILER ${tessik_mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${tessik_mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${tessik_mingw}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${tessik_mingw})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT -static)

# The tests run under the Wine loader of their processor. Debian's `wine` starts the
# 32-bit loader whenever wine32 is installed, which cannot start a 64-bit program on a
# machine that runs no 32-bit code; the 64-bit loader itself runs them anywhere.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  find_program(tessik_wine_loader NAMES wine64 wine PATHS /usr/lib/wine)
else()
  find_program(tessik_wine_loader NAMES wine)
endif()
if(tessik_wine_loader)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${tessik_wine_loader})
endif()
