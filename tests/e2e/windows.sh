#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows game from its zip, played like a player under Wine on a private
# Xvfb with xdotool. The zip is unpacked into a folder whose name has a space
# and a letter beyond ASCII, and the game started from the root of drive C:,
# so that it finds its run-time files and fonts in its own folder or not at
# all: the menu, Play Time Attack, a hit, the give-up, About, EXIT with status
# 0 and nothing on stderr. Then with Windows set to 192 dpi and no sound
# device: the windows twice the size, and one line that says there is no
# sound. Given the Linux game and runner, the round is recorded on each
# system and replayed on the other, with exit status 0.
#   windows.sh ZIP ARTEFACTS_DIR [BRIZZLET BRIZZLET_SCRIPT ASSETS_DIR]
# WINE names scripts/wine, and WINEPREFIX the prefix it runs in.
set -uo pipefail
zip=$(realpath "$1")
mkdir -p "$2"
artefacts=$(realpath "$2")
native=${3:+$(realpath "$3")} runner=${4:+$(realpath "$4")} assets=${5:+$(realpath "$5")}
here=$(dirname "$(realpath "$0")")
source "$here/xvfb.sh"

rm -f "$artefacts"/*.png
scratch windows
folder="$work/Zoë's games"
mkdir -p "$folder"
(cd "$folder" && cmake -E tar xf "$zip") || { fail "cannot unpack $zip"; exit 1; }
exe=$(echo "$folder"/brizzlet-*-windows/brizzlet.exe)
[ -f "$exe" ] || { fail "no brizzlet.exe in $zip"; exit 1; }
start_xvfb "$work"
# Wine's own drive C:, where /usr/share (of the Linux fonts) is not.
drive_c=$WINEPREFIX/drive_c
# win PATH : a file of this machine as Windows programs under Wine name it.
win() { echo "Z:${1//\//\\}"; }
dpi() { "$WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null; }
dpi 96 # should a run that failed have left it at 192

# play NAME PROGRAM ARGUMENT... : the round, the player's way, the
# screenshots named after NAME.
play() {
  local name=$1 form1
  shift
  start_game "$@" || { fail "$name: no menu window"; return 1; }
  finish_slide
  shot "$name-menu"
  press play1 135
  form1=$(window "Brizzlet!!! ~ Time Attack" 10) || { fail "$name: no Time Attack window"; return 1; }
  sleep 0.5
  shot "$name-round"
  hit "$name" "$form1" "$name-round"
  give_up "$form1"
  gone "Brizzlet!!! ~ Time Attack" 5 || fail "$name: X does not end the round"
  finish_slide # the panel slides in again
  about "$name-about" 135
  exit_game 135 "$name: "
  [ ! -s "$work/game.err" ] || fail "$name: the game wrote to stderr: $(head -3 "$work/game.err")"
}

cd "$drive_c"
play windows "$WINE" "$exe" --record "$(win "$work/windows.script")"

# --- 192 dpi, and no sound device ----------------------------------------------
# logpixels : the setting as Wine has it now, such as 0xc0 (192).
logpixels() {
  "$WINE" reg query 'HKCU\Control Panel\Desktop' /v LogPixels 2>&1 | tr -d '\r' | awk '/LogPixels/ { print $NF }'
}
# start_192 : the game with Windows set to 192 dpi and no sound device; true
# when its menu comes up twice the size.
start_192() {
  WINEDLLOVERRIDES="winealsa.drv,winepulse.drv=" start_game "$WINE" "$exe" &&
    geometry "$menu" && [ "$WIDTH" -eq $((2 * $(px 4470))) ] && return 0
  note "at 192 dpi the menu came up $([ -n "$menu" ] && echo "$WIDTH pixels wide" || echo "not at all");" \
    "Wine's LogPixels was then $(logpixels)"
  stop_game
  return 1
}
dpi 192
[ "$(logpixels)" = 0xc0 ] || fail "Wine does not keep LogPixels at 192: $(logpixels)"
# Once in a CI run a game started just after the setting came up at 96 dpi;
# it has not been seen here. A second start tells Wine's moment from the
# game's fault, and the note above keeps what Wine said.
if start_192 || start_192; then
  shot menu-192dpi
  f=2
  finish_slide
  exit_game 135 "at 192 dpi: "
  f=1
  [ "$(wc -l <"$work/game.err")" -eq 1 ] && grep -q '^brizzlet: no sound' "$work/game.err" ||
    fail "with no sound device the game says: $(head -3 "$work/game.err")"
else
  fail "at 192 dpi the menu is not twice the size in two starts"
fi
dpi 96

# --- each system's recording replayed on the other --------------------------------
if [ -n "$native" ]; then
  cd "$assets"
  SDL_AUDIODRIVER=dummy play linux "$native" --record "$work/linux.script"
  cd "$drive_c"
  "$WINE" "$exe" --replay "$(win "$work/linux.script")" 2>"$work/replay.err" ||
    fail "brizzlet.exe --replay of the Linux recording: $(head -3 "$work/replay.err")"
  cd "$assets"
  "$runner" "$work/windows.script" >"$work/replay.out" ||
    fail "brizzlet-script on the Windows recording: $(grep -m3 -e failed -e error "$work/replay.out")"
  cp "$work"/*.script "$artefacts/"
fi

note "screenshots in $artefacts"
finish "the Windows game under Wine"
