# Cross-compiles the 32-bit Windows program with Debian's MinGW-w64 (g++-mingw-w64-i686).
# 32-bit because the Access ODBC driver exists only for 32-bit processes.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(ALMANORIA_MINGW_TRIPLET i686-w64-mingw32)

# The win32 threads variant needs no threading library beside the program.
find_program(CMAKE_CXX_COMPILER NAMES ${ALMANORIA_MINGW_TRIPLET}-g++-win32
                                      ${ALMANORIA_MINGW_TRIPLET}-g++ REQUIRED)
find_program(CMAKE_C_COMPILER NAMES ${ALMANORIA_MINGW_TRIPLET}-gcc-win32
                                    ${ALMANORIA_MINGW_TRIPLET}-gcc REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${ALMANORIA_MINGW_TRIPLET}-windres REQUIRED)

set(CMAKE_FIND_ROOT_PATH /usr/${ALMANORIA_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
