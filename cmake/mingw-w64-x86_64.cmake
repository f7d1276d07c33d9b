# Cross-builds the Windows programs on Debian with mingw-w64's posix toolchain (x86_64),
# static so that the .exe runs without the compiler's DLLs. The tests run through Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(tessik_mingw x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${tessik_mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${tessik_mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${tessik_mingw}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${tessik_mingw})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT -static)

find_program(tessik_wine wine)
if(tessik_wine)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${tessik_wine})
endif()
