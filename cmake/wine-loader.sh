# Sourced by cmake/wine-run.sh and scripts/wine-x11.sh.
#
# zel_wine_loader ARCH: for ARCH win32 or win64, sets zel_wine to Wine's loader
# of that architecture and exports WINEARCH and WINELOADER. The loader is
# called by path: Debian's `wine` wrapper picks the 32-bit loader whenever
# wine32 is installed, even for a 64-bit program and even on a machine that
# cannot execute 32-bit code. ZEL_WINE32_LOADER and ZEL_WINE64_LOADER override
# the paths.
zel_wine_loader() {
  case "$1" in
    win32) zel_wine=${ZEL_WINE32_LOADER:-/usr/lib/wine/wine} ;;
    win64) zel_wine=${ZEL_WINE64_LOADER:-/usr/lib/wine/wine64} ;;
    *) echo "zel_wine_loader: no such architecture: $1" >&2; return 2 ;;
  esac
  export WINEARCH=$1 WINELOADER=$zel_wine
}

# zel_can_run_win32: whether this machine executes 32-bit code, found by
# trying the 32-bit loader itself (some kernels run 64-bit user code only).
zel_can_run_win32() {
  "${ZEL_WINE32_LOADER:-/usr/lib/wine/wine}" --version >/dev/null 2>&1
}
