#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real game at two screen densities, each on a private Xvfb: a 1024x768
# screen that says nothing of its density (so 96 dpi), then a 2048x1536 one
# whose desktop sets Xft.dpi to 192. The same twips on both, so the windows
# must come out exactly twice as large at 192 dpi, and a click on the middle
# of a mosquito, found in a screenshot, must hit it at both. Then which of the
# desktop, the monitor and the user sets the scale.
#   density.sh BRIZZLET ASSETS_DIR ARTEFACTS_DIR
# The screenshots stay in ARTEFACTS_DIR.
set -uo pipefail
game=$(realpath "$1")
assets=$(realpath "$2")
mkdir -p "$3"
artefacts=$(realpath "$3")
here=$(dirname "$(realpath "$0")")
source "$here/xvfb.sh"
command -v xprop >/dev/null || skip "xprop is not installed"
rm -f "$artefacts"/*.png
scratch density
export SDL_AUDIODRIVER=dummy
cd "$assets"

# play DPI FACTOR SCREEN : one game on its own X server, up to a hit on
# nyamuk1; sets menu_size and game_size to the windows' WIDTHxHEIGHT, and
# bug_box to where nyamuk1 shows in its window, WxH+X+Y.
play() {
  local dpi=$1 screen=$3 game_pid
  f=$2
  mkdir -p "$work/$dpi"
  start_xvfb "$work/$dpi" "$screen" -noreset
  [ "$dpi" = 96 ] || set_dpi "$dpi"
  "$game" >"$work/$dpi/game.out" 2>"$work/$dpi/game.err" &
  game_pid=$!
  started_pids+=("$game_pid")
  play_round "$dpi"
  [ ! -s "$work/$dpi/game.err" ] || fail "$dpi dpi: the game wrote: $(cat "$work/$dpi/game.err")"
  kill "$game_pid" 2>/dev/null
  wait "$game_pid" 2>/dev/null
  stop_xvfb
}

# play_round DPI : the menu, About, and a hit in a Time Attack round.
play_round() {
  local dpi=$1 menu form1 box deadline changed button
  menu=$(window "Brizzlet Main Menu") || { fail "$dpi dpi: no menu window"; return; }
  # The panel slides in, for about 11 s: wait until two screenshots in a row
  # are the same.
  geometry "$menu"
  deadline=$((SECONDS + 25)) changed=1
  shot "menu-$dpi"
  while [ $SECONDS -le $deadline ] && [ "$changed" != 0 ]; do
    sleep 0.4
    mv "$artefacts/menu-$dpi.png" "$work/before.png"
    shot "menu-$dpi"
    changed=$(compare -metric AE -crop "${WIDTH}x$HEIGHT+$X+$Y" "$work/before.png" \
      "$artefacts/menu-$dpi.png" null: 2>&1)
  done
  button=$(colour "menu-$dpi" "$menu" "$(px $((110 + 120 + 2160 + 45)))" "$(px $((240 + 270 + 600 + 45)))")
  [ "$button" = 80FFFF ] || fail "$dpi dpi: the menu panel is not in place ($button)"
  geometry "$menu"
  menu_size=${WIDTH}x$HEIGHT

  # About: the message box, its OK button answered by a click on its middle.
  press about
  if box=$(window Brizzlet 5); then
    shot "about-$dpi"
    geometry "$box"
    click "$box" $((WIDTH / 2)) $((HEIGHT - 24 * f))
    gone Brizzlet 5 || fail "$dpi dpi: a click on OK does not close the About box"
  else
    fail "$dpi dpi: About shows no message box"
  fi

  press play1
  form1=$(window "Brizzlet!!! ~ Time Attack" 5) || { fail "$dpi dpi: no game window"; return; }
  sleep 0.5
  shot "game-$dpi"
  geometry "$form1"
  game_size=${WIDTH}x$HEIGHT

  # nyamuk1 stands still at level 0. Find it on screen, in a stretch of the
  # white field round its place, and click the middle of what is drawn.
  local sx=$(px $((5760 - 600))) sy=$(px $((480 + 360 - 180)))
  local sw=$(px 1700) sh=$(px 720) found bw bh bx by
  found=$(convert "$artefacts/game-$dpi.png" -crop "${sw}x$sh+$((X + sx))+$((Y + sy))" \
    -fuzz 10% -trim -format '%w %h %X %Y' info:)
  read -r bw bh bx by <<<"$found"
  bx=$((${bx#+} - X)) by=$((${by#+} - Y))
  note "$dpi dpi: nyamuk1 drawn ${bw}x$bh at $bx,$by in the game window"
  # Its picture is 33 x 24 at 96 dpi.
  [ "$bw" -gt $((24 * f)) ] && [ "$bw" -le $((33 * f)) ] && [ "$bh" -gt $((16 * f)) ] &&
    [ "$bh" -le $((24 * f)) ] || fail "$dpi dpi: the mosquito is drawn ${bw}x$bh"
  bug_box="${bw}x$bh+$bx+$by"
  # The hit: the mosquito goes back to the field's edge, the score grows from
  # "0" to "35" (more black in its box), and the red hit picture shows for a
  # moment where it was.
  local black="r<0.3&&g<0.3&&b<0.3" red
  local kx=$(($(px $((4800 + 720))) + 3 * f)) ky=$(($(px $((4440 + 120))) + 3 * f))
  local kw=$((99 * f)) kh=$((19 * f))
  click "$form1" $((bx + bw / 2)) $((by + bh / 2))
  sleep 0.2
  shot "hit-$dpi"
  [ "$(count "hit-$dpi" "$form1" "$bx" "$by" "$bw" "$bh" "$black")" -eq 0 ] ||
    fail "$dpi dpi: the mosquito clicked on is still there"
  [ "$(count "hit-$dpi" "$form1" "$kx" "$ky" "$kw" "$kh" "$black")" -gt \
    "$(count "game-$dpi" "$form1" "$kx" "$ky" "$kw" "$kh" "$black")" ] ||
    fail "$dpi dpi: the score did not grow"
  red=$(count "hit-$dpi" "$form1" $((bx - 8 * f)) $((by - 12 * f)) $((50 * f)) $((50 * f)) \
    "r>0.7&&g<0.35&&b<0.35")
  note "$dpi dpi: $red red pixels of the hit picture (it shows for up to 500 ms)"
}

menu_size=none game_size=none bug_box=none
play 96 1 1024x768
menu96=$menu_size game96=$game_size bug96=$bug_box
menu_size=none game_size=none bug_box=none
play 192 2 2048x1536
note "menu ${menu96} at 96 dpi, ${menu_size} at 192; game ${game96}, ${game_size}"
# Every number in a WxH or WxH+X+Y doubled.
double() { echo "$1" | awk -F'[x+]' '{ printf "%dx%d", 2 * $1, 2 * $2; if (NF > 2) printf "+%d+%d", 2 * $3, 2 * $4 }'; }
[ "$menu_size" = "$(double "$menu96")" ] ||
  fail "the menu is $menu96 at 96 dpi but $menu_size at 192"
[ "$game_size" = "$(double "$game96")" ] ||
  fail "the game window is $game96 at 96 dpi but $game_size at 192"
[ "$bug_box" = "$(double "$bug96")" ] ||
  fail "the mosquito shows at $bug96 at 96 dpi but at $bug_box at 192"

# Which scale wins, each case on its own server, by the menu's size: the
# desktop's Xft.dpi (its scale setting) over the monitor's size, whichever is
# larger; the monitor when the desktop says nothing; and the scale the user
# asks for over both. SDL measures the monitor from the server's -dpi once
# XRandR, which reports no size on Xvfb, is out of its way.
while read -r monitor xft factor asked; do
  dir=$work/$monitor-$xft-${asked//[ =]/}
  mkdir -p "$dir"
  start_xvfb "$dir" 2048x1536 -dpi "$monitor" -noreset
  [ "$xft" = - ] || set_dpi "$xft"
  run=("$game")
  case $asked in
    -) ;;
    --*) read -ra run <<<"$game $asked" ;;
    *) run=(env "$asked" "$game") ;;
  esac
  SDL_VIDEO_X11_XRANDR=0 "${run[@]}" >"$dir/game.out" 2>"$dir/game.err" &
  started_pids+=("$!")
  expected=$menu96
  [ "$factor" = 1 ] || expected=$(double "$menu96")
  if menu=$(window "Brizzlet Main Menu"); then
    geometry "$menu"
    [ "${WIDTH}x$HEIGHT" = "$expected" ] || fail "a ${monitor}-dpi monitor, Xft.dpi $xft," \
      "asked $asked: the menu is ${WIDTH}x$HEIGHT, not ${factor}x ($expected)"
  else
    fail "a ${monitor}-dpi monitor, Xft.dpi $xft, asked $asked: no menu: $(cat "$dir/game.err")"
  fi
  kill "${started_pids[-1]}" 2>/dev/null
  wait "${started_pids[-1]}" 2>/dev/null
  stop_xvfb
done <<'CASES'
192 96 1 -
96 192 2 -
192 - 2 -
288 192 1 BRIZZLET_SCALE=1
96 96 2 --scale 2
CASES

note "screenshots in $artefacts"
finish "brizzlet at two densities"
