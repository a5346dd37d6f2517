# Cross-building for 64-bit Windows on Debian with MinGW-w64 GCC (posix threads, as Qt needs std::thread).
# Used for Qt, libzip and the editor alike; tools/windows.sh passes it in.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(GX_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${GX_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${GX_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${GX_MINGW_TRIPLE}-windres)

# Libraries, headers and packages come only from the MinGW root and the built dependencies, never from the
# Linux system; programs (moc, rcc, uic, ninja) come from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${GX_MINGW_TRIPLE})
if(DEFINED ENV{GX_WINDOWS_DEPS})
    string(REPLACE ":" ";" gx_deps_roots "$ENV{GX_WINDOWS_DEPS}")
    list(APPEND CMAKE_FIND_ROOT_PATH ${gx_deps_roots})
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_CROSSCOMPILING_EMULATOR wine)
