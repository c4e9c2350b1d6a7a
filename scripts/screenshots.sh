#!/usr/bin/env bash
# Takes the README's screenshots: builds the Windows program, installs it into
# a temporary program folder, starts it under Wine on a private Xvfb and
# photographs its window on the title screen, a textbook page and a help
# page, reached by the menus' and buttons' access keys as a user types them.
# Writes docs/screenshots/{title,textbook,help}.png.
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
  import -window "$window" "$shots/$1.png"
  echo "screenshots: $shots/$1.png"
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
