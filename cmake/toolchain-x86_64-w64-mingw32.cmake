# Cross build for 64-bit desktop Windows with Debian's mingw-w64; tests run
# under Wine's 64-bit loader, which also works where no 32-bit code can run.
# Use: cmake -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-x86_64-w64-mingw32.cmake
set(ZEL_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(ZEL_WINE_ARCH win64)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-w64.cmake)
