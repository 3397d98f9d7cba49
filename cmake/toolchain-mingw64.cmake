# Cross-builds the Windows program with Debian's MinGW-w64 (64-bit, POSIX threads).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(mingw_triplet x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

# CTest runs the test programs (and lists their tests) through Wine: its
# 64-bit loader itself where there is one, since the "wine" wrapper prefers
# the 32-bit loader whenever that is installed, even where it cannot run.
if(EXISTS /usr/lib/wine/wine64)
  set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
else()
  set(CMAKE_CROSSCOMPILING_EMULATOR wine)
endif()
