# What both Windows cross builds share; included by the two toolchain files,
# which set ZEL_MINGW_TRIPLET, CMAKE_SYSTEM_PROCESSOR and ZEL_WINE_ARCH first.
set(CMAKE_SYSTEM_NAME Windows)

# The -posix thread model: the -win32 one has no std::mutex, which GoogleTest needs.
set(CMAKE_C_COMPILER ${ZEL_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZEL_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${ZEL_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ZEL_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Fully static: the programs then import only system DLLs (KERNEL32, msvcrt,
# user32, gdi32); -static-libgcc -static-libstdc++ would still need
# libwinpthread-1.dll beside every .exe.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)

# Each build folder gets its own Wine prefix of its own architecture, so tests
# never touch ~/.wine and two build folders never share a session.
set(CMAKE_CROSSCOMPILING_EMULATOR
    "${CMAKE_CURRENT_LIST_DIR}/wine-run.sh;--arch=${ZEL_WINE_ARCH};--prefix=${CMAKE_BINARY_DIR}/wine-prefix")
