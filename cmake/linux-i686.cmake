# 32-bit Linux with the host's multilib g++: the test ODBC driver for Wine's 32-bit odbc32.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
set(CMAKE_C_FLAGS_INIT -m32)
set(CMAKE_CXX_FLAGS_INIT -m32)
set(CMAKE_EXE_LINKER_FLAGS_INIT -m32)
set(CMAKE_SHARED_LINKER_FLAGS_INIT -m32)
set(CMAKE_MODULE_LINKER_FLAGS_INIT -m32)
set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)

# The i386 unixODBC headers, unpacked by tools/install-deps.sh i386 so that the host's own stay
# installed. Without that folder the system's are used.
get_filename_component(ALMANORIA_I386_SYSROOT "${CMAKE_CURRENT_LIST_DIR}/../build/i386-sysroot" ABSOLUTE)
if(EXISTS "${ALMANORIA_I386_SYSROOT}/usr/include/sql.h")
    list(APPEND CMAKE_INCLUDE_PATH "${ALMANORIA_I386_SYSROOT}/usr/include")
    list(APPEND CMAKE_LIBRARY_PATH "${ALMANORIA_I386_SYSROOT}/usr/lib/i386-linux-gnu")
    # sqltypes.h takes unixodbc.h, whose type sizes are the architecture's, from here.
    set(CMAKE_C_STANDARD_INCLUDE_DIRECTORIES
        "${ALMANORIA_I386_SYSROOT}/usr/include/i386-linux-gnu" "${ALMANORIA_I386_SYSROOT}/usr/include")
    set(CMAKE_CXX_STANDARD_INCLUDE_DIRECTORIES ${CMAKE_C_STANDARD_INCLUDE_DIRECTORIES})
endif()
