# Cross-builds the 32-bit Windows program with Debian's MinGW-w64 (i686, POSIX
# threads). Running its tests needs 32-bit Wine, which is optional here, so no
# emulator is set: the 32-bit build is compiled only.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(mingw_triplet i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
