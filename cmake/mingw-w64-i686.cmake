# 32-bit Windows (i686), which older machines and 32-bit Windows installations run.
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
