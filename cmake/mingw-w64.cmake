# SPDX-License-Identifier: GPL-3.0-or-later
# Cross-building for 64-bit Windows with Debian's mingw-w64. The -posix
# compilers, whose threads are POSIX threads, are the ones with std::thread.
# Libraries and packages are looked for under the compilers' own root and
# under BRIZZLET_DEPS_PREFIX, where the SDL family is built (scripts/sdl-deps).
# Programs link everything static, so they need only Windows' own DLLs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)

# Seen by the checks that build small programs too.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES BRIZZLET_DEPS_PREFIX)
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${triple} ${BRIZZLET_DEPS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
