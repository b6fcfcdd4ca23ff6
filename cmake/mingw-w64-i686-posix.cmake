# Cross-compiles the unit suites for 32-bit Windows with Debian's MinGW-w64, posix threads
# variant (g++-mingw-w64-i686-posix): GoogleTest needs std::mutex, which the win32 variant of
# GCC 12 lacks. Linked statically, so the suites need no MinGW runtime beside them under Wine.
# The program itself keeps cmake/mingw-w64-i686.cmake.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(ALMANORIA_MINGW_TRIPLET i686-w64-mingw32)

find_program(CMAKE_CXX_COMPILER NAMES ${ALMANORIA_MINGW_TRIPLET}-g++-posix REQUIRED)
find_program(CMAKE_C_COMPILER NAMES ${ALMANORIA_MINGW_TRIPLET}-gcc-posix REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${ALMANORIA_MINGW_TRIPLET}-windres REQUIRED)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

set(CMAKE_FIND_ROOT_PATH /usr/${ALMANORIA_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
