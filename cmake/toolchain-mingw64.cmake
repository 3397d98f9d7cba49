# Cross-builds the Windows program with Debian's MinGW-w64 (64-bit, POSIX threads).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(mingw_triplet x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

# CTest runs the test programs (and lists their tests) through Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
