#!/usr/bin/env bash
# Takes the README's screenshots: builds the Windows program, installs it into
# a temporary program folder, starts it under Wine on a private Xvfb and
# photographs its window on the title screen, a textbook page and a help
# page, then a course in the solver the shell starts, with pictures on and
# off, all reached by the menus' and buttons' access keys as a user types
# them; last, the statistics window with its pictures after a year of daily
# practice, as the benchmark makes it. Writes
# docs/screenshots/{title,textbook,help,solver,solver-text,statistics}.png.
#
# It uses the build the demo uses (32-bit where this machine runs 32-bit code,
# else 64-bit); ZEL_BUILD_DIR picks another folder for that preset.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
shots=$root/docs/screenshots

. scripts/wine-x11.sh
zel_pick_build screenshots
build=${ZEL_BUILD_DIR:-build/$zel_preset}
cmake --preset "$zel_preset" -B "$build" >/dev/null
cmake --build "$build" -j "$(nproc)"
folder=$(mktemp -d)
cmake --install "$build" --prefix "$folder" >/dev/null

zel_wine_prefix "$root/$build/wine-shots" screenshots "$zel_arch"
log=$zel_wine_log
trap 'zel_stop_display; rm -rf "$folder"' EXIT
zel_start_xvfb screenshots

(cd "$folder" && exec "$zel_wine" Zelmiku.exe </dev/null >>"$log" 2>&1) &
program=$!
window=$(zel_wait_window 'Шахматная тактика' "$program") || {
  echo "screenshots: the window did not appear (see $log)" >&2
  exit 1
}
xdotool windowfocus --sync "$window"

# Keys as a user types them: Alt with the access key on the menu bar and the
# buttons, the bare key inside an open menu. Each step waits for the repaint.
keys() {
  xdotool key --delay 150 "$@"
  sleep 0.8
}
shoot() {
  import -window "${2:-$window}" "$shots/$1.png"
  echo "screenshots: $shots/$1.png"
}
# The solver the shell has just started, by its window's title.
solver_window() {
  zel_wait_window "$1" "$program" || {
    echo "screenshots: no solver window '$1' (see $log)" >&2
    exit 1
  }
}

mkdir -p "$shots"
sleep 2
shoot title
# «&Программы → Вы&брать программу → &Начинающий → &Тактика-0 → &Учебник»
keys alt+Cyrillic_pe Cyrillic_be Cyrillic_en Cyrillic_te Cyrillic_u
keys alt+greater alt+greater alt+greater
shoot textbook
# «&Справка → &Вызов справки», then two pages on
keys alt+Cyrillic_es Cyrillic_ve
keys alt+greater alt+greater
shoot help

# «&Программы → Вы&брать программу → &4 разряд → Тактика-&1»: the course opens
# in the solver, pictures on as installed.
xdotool windowfocus --sync "$window"
keys alt+Cyrillic_pe Cyrillic_be 4 1
solver=$(solver_window 'Тактика-1')
sleep 2
shoot solver "$solver"
xdotool windowfocus --sync "$solver" key alt+F4
sleep 1
# «&Установки → &Картинки → &Нет», and the same course again: the position in words.
xdotool windowfocus --sync "$window"
keys alt+Cyrillic_u Cyrillic_ka Cyrillic_en
keys alt+Cyrillic_pe Cyrillic_be 4 1
solver=$(solver_window 'Тактика-1')
sleep 2
shoot solver-text "$solver"

# The statistics window with its pictures over a year of daily practice: the
# progress files the benchmark writes, in a folder of their own.
mkdir "$folder/year"
(exec "$zel_wine" "$root/$build/bench/statistics_bench.exe" "Z:$folder/year" --show \
  </dev/null >>"$log" 2>&1) &
year=$!
statistics=$(zel_wait_window 'Статистика' "$year") || {
  echo "screenshots: no statistics window (see $log)" >&2
  exit 1
}
sleep 2
shoot statistics "$statistics"
xdotool windowfocus --sync "$statistics" key Escape
wait "$year" || true
