#!/bin/bash
# Installs, as root on Debian 12, everything the native and the Windows builds
# and their tests need. Safe to run again: when every package is already there
# it touches neither apt nor the network.
set -euo pipefail

packages=(
  cmake ninja-build g++ python3
  googletest libgtest-dev                # sources for the cross build, libs for the native one
  libbenchmark-dev                       # the benchmarks
  clang-14 libclang-rt-14-dev            # libFuzzer and the sanitizer runtimes
  g++-mingw-w64-i686 g++-mingw-w64-i686-posix   # only the -posix compilers build GoogleTest
  g++-mingw-w64-x86-64 g++-mingw-w64-x86-64-posix   # the 64-bit Windows build
  wine wine32:i386 wine64                # wine64 runs our 64-bit programs, wine32 the 32-bit
                                         # ones where the machine executes 32-bit code
  xvfb xdotool imagemagick               # real windows, key presses and screenshots
  e2fsprogs util-linux                   # chattr +i and flock
  python3-pil fonts-dejavu-core fonts-freefont-ttf   # the pictures and the icon
  python3-sklearn python3-numpy          # fitting the difficulty measure and its test
  stockfish                              # checks every position the textbook shows
  nsis                                   # the Windows installer
)

missing=()
for p in "${packages[@]}"; do
  # shellcheck disable=SC2016  # the ${...} is a dpkg-query field, not ours
  [ "$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null)" = installed ] || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all ${#packages[@]} packages are installed"
  exit 0
fi

if [ "$(id -u)" != 0 ]; then
  echo "install-deps: run as root to install: ${missing[*]}" >&2
  exit 1
fi

dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
export DEBIAN_FRONTEND=noninteractive
# Wait for another apt instead of failing on its lock.
apt_opts=(-o DPkg::Lock::Timeout=600 -q)
echo "install-deps: installing ${missing[*]}"
apt-get "${apt_opts[@]}" update
apt-get "${apt_opts[@]}" install -y "${missing[@]}"
