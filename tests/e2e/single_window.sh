#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The game with --single-window on a private Xvfb, at scale 1 and at 2: one
# desktop window that holds the whole screen, the game's windows framed on
# it. Played with xdotool and recorded: the menu, About and its OK, a Time
# Attack round with a hit and the game's own cross-hair over the field, the
# give-up and EXIT. The recording must replay to its end in the desktop's
# own windows and in brizzlet-script; a won round replayed in one window
# shows the end message.
#   single_window.sh BRIZZLET BRIZZLET_SCRIPT ASSETS_DIR ARTEFACTS_DIR
# The screenshots stay in ARTEFACTS_DIR, named after what they show and the
# scale.
set -uo pipefail
game=$(realpath "$1")
runner=$(realpath "$2")
assets=$(realpath "$3")
mkdir -p "$4"
artefacts=$(realpath "$4")
here=$(dirname "$(realpath "$0")")
source "$here/xvfb.sh"
rm -f "$artefacts"/*.png
scratch single
export SDL_AUDIODRIVER=dummy
cd "$assets"

# The game's windows have no X windows here: the helpers' "menu" and
# "form1" lie where the game puts them on the screen, 15360x11520 twips at
# either scale. The menu first shows centred, the game window too; after a
# round the menu takes the game window's place.
menu=menu form1=form1
geometry() {
  case $1 in
    menu) X=$(($(px "$menu_left") + 5 * f)) Y=$(($(px "$menu_top") + 27 * f)) ;;
    form1) X=$(($(px 3877) + 5 * f)) Y=$(($(px 2970) + 27 * f)) ;;
    *) eval "$(retry xdotool getwindowgeometry --shell "$1")" ;;
  esac
}

# box_ok SHOT : where the message box's OK is in a screenshot, from the box's
# lit title bar and the face under it, which goes on round the client area:
# OK stands 24 pixels of the 96-dpi look above its bottom, 3 above the
# frame's edge.
box_ok() {
  local w h x y
  read -r w h x y < <(convert "$artefacts/$1.png" -alpha off -fill black +opaque '#000080' \
    -trim -format '%w %h %X %Y' info:)
  read -r w h x y < <(convert "$artefacts/$1.png" -alpha off -fill '#FF00FF' \
    -draw "color $((x + 1)),$((y + h)) floodfill" -fill black +opaque '#FF00FF' \
    -trim -format '%w %h %X %Y' info:)
  ok_x=$((x + w / 2)) ok_y=$((y + h - 27 * f))
}

# session F : a game at scale F on a screen of 1024x768 such pixels.
session() {
  f=$1
  local x=${f}x rec=$work/session-$1.script host
  start_xvfb "$work" $((1024 * f))x$((768 * f))
  "$game" --single-window --scale "$f" --record "$rec" >"$work/game.out" 2>"$work/game.err" &
  game_pid=$!
  started_pids+=("$game_pid")
  menu_left=5370 menu_top=2955
  host=$(window "Brizzlet Main Menu") || { fail "$x: no window titled as the menu"; return; }
  geometry "$host"
  [ "$WIDTH$HEIGHT" = $((1024 * f))$((768 * f)) ] || fail "$x: the window is ${WIDTH}x$HEIGHT"
  finish_slide
  shot "menu-$x"
  [ "$(colour "menu-$x" menu 0 $((-3 * f)))" = 000080 ] || fail "$x: the menu's title bar is not lit"
  [ "$(colour "menu-$x" menu "$(px 2110)" "$(px 4440)")" = 0000FF ] || fail "$x: no menu panel"

  # About: the box in front of the menu, lit, the menu's title bar grey.
  press about
  if window Brizzlet 5 >/dev/null; then
    sleep 0.3
    shot "about-$x"
    [ "$(colour "about-$x" menu 0 $((-3 * f)))" = 808080 ] || fail "$x: the menu is lit behind the box"
    box_ok "about-$x"
    retry xdotool mousemove --sync "$ok_x" "$ok_y" click 1
    window "Brizzlet Main Menu" 5 >/dev/null || fail "$x: OK at $ok_x,$ok_y does not close the box"
  else
    fail "$x: About shows no message box"
  fi

  # Time Attack: the cross-hair drawn over the field; a hit on nyamuk1.
  press play1
  window "Brizzlet!!! ~ Time Attack" 5 >/dev/null || { fail "$x: no game"; return; }
  geometry form1
  retry xdotool mousemove --sync $((X + $(px 3555))) $((Y + $(px 2925)))
  sleep 0.3
  shot "time-attack-$x"
  [ "$(count "time-attack-$x" form1 $(($(px 3555) - 16 * f)) $(($(px 2925) - 16 * f)) \
    $((32 * f)) $((32 * f)) "r>0.7&&g<0.35&&b<0.35")" -gt $((20 * f)) ] ||
    fail "$x: no cross-hair drawn at the pointer"
  hit "$x" form1 "time-attack-$x"
  give_up form1
  gone "Brizzlet!!! ~ Time Attack" 5 || fail "$x: X does not end the round"
  sleep 2.5
  shot "end-of-round-$x"
  menu_left=3877 menu_top=2970
  exit_game 135 "$x: "
  [ ! -s "$work/game.err" ] || fail "$x: the game wrote: $(cat "$work/game.err")"

  # The same recording, in the desktop's own windows and in the runner.
  "$runner" "$rec" >"$work/runner.out" || fail "$x: brizzlet-script: $(grep -m3 failed "$work/runner.out")"
  if [ "$f" = 1 ]; then
    "$game" --scale "$f" --replay "$rec" >"$work/replay.out" 2>&1 ||
      fail "$x: two windows replay it with: $(head -3 "$work/replay.out")"
  fi
}

session 1
# A won Basmi round replayed in one window: the end message as the menu
# slides in.
sed '/^expect menutama.Label5.Caption/q' "$here/../scenarios/basmi_round.script" >"$work/won.script"
echo "wait 3000" >>"$work/won.script"
"$game" --single-window --replay "$work/won.script" >"$work/won.out" 2>&1 &
won_pid=$!
started_pids+=("$won_pid")
if window "Brizzlet!!! ~ Basmi Semua Nyamuk" >/dev/null && window "Brizzlet Main Menu" 5 >/dev/null; then
  sleep 1
  shot end-message-1x
fi
if ended "$won_pid"; then
  [ $status -eq 0 ] || fail "the won round replays in one window with status $status: $(head -3 "$work/won.out")"
else
  fail "the won round's replay does not end"
fi
stop_xvfb
session 2

note "screenshots in $artefacts"
finish "one window"
