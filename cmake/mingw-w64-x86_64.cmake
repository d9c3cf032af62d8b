# SPDX-License-Identifier: GPL-3.0-or-later
# Cross build for 64-bit Windows with Debian's MinGW-w64 (the POSIX thread
# model, which std::thread and Qt need). Used for the Qt that the Windows
# program links and for the program itself: scripts/windows-build.sh.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(mingw_triplet x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${mingw_triplet}-gcc-posix)
set(CMAKE_CXX_COMPILER ${mingw_triplet}-g++-posix)
set(CMAKE_RC_COMPILER ${mingw_triplet}-windres)

# Libraries and headers come from the MinGW sysroot and from the prefixes
# named in CMAKE_PREFIX_PATH (the Windows Qt); programs from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${mingw_triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The Windows Qt's prefix (scripts/windows-build.sh sets it) is searched as
# a root of its own, here and in CMake's own test builds.
if(NOT TELKARO_WINDOWS_QT AND DEFINED ENV{TELKARO_WINDOWS_QT})
    set(TELKARO_WINDOWS_QT $ENV{TELKARO_WINDOWS_QT})
endif()
if(TELKARO_WINDOWS_QT)
    list(APPEND CMAKE_FIND_ROOT_PATH ${TELKARO_WINDOWS_QT})
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TELKARO_WINDOWS_QT)
