# Cross-builds the 32-bit Windows program with Debian's MinGW-w64 (i686, POSIX
# threads). Its tests run under 32-bit Wine (Debian's wine32:i386).
set(CMAKE_SYSTEM_PROCESSOR x86)
set(mingw_triplet i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

# CTest runs the test programs (and lists their tests) through Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
