# Cross build for 32-bit desktop Windows with Debian's mingw-w64; tests run
# under Wine's 32-bit loader. Use:
#   cmake -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686-w64-mingw32.cmake
set(ZEL_MINGW_TRIPLET i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(ZEL_WINE_ARCH win32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-w64.cmake)
