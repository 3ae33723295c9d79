# SPDX-License-Identifier: GPL-3.0-or-later
# Helpers for the end-to-end scripts: failures, skips and scratch space for
# all of them, and for driving the real windows on a private X server. Every
# position they take is in pixels of a window's client area, found from the
# window's on-screen geometry.

# skip REASON : ends the test as skipped (status 77); in CI (CI=true), where
# the project's own script has installed every tool, as failed instead.
skip() {
  if [ "${CI:-}" = true ]; then
    echo "FAIL: $* (in CI nothing may be skipped)"
    exit 1
  fi
  echo "SKIP: $*"
  exit 77
}

# retry COMMAND... : a busy X server turns a connection away now and then.
retry() {
  for _ in 1 2 3 4 5; do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

failures=0

# In a sanitizer build: what the system libraries keep to the end is not the
# game's.
export LSAN_OPTIONS=${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$(dirname "$(realpath "${BASH_SOURCE[0]}")")/lsan.supp:print_suppressions=0
# sanitized PROGRAM : whether it is built with AddressSanitizer, which
# reserves terabytes of address space and keeps a heap of its own: there a
# limit or a measure of memory says nothing of the program's.
sanitized() { [[ $(ldd "$1" 2>/dev/null) == *libasan* ]]; }

# Layout twips to client pixels at the drawing factor f (1 unless a script
# sets it), and the centre of a control from the sum of its containers' places.
f=1
px() { echo $((($1 * 2 * f + 15) / 30)); }
centre() { echo $(($(px "$1") + $(px "$2") / 2)); }

# ended PID : waits up to 5 s for the process to end. True, with its exit
# status in $status, once it has; false while it still runs.
ended() {
  for _ in $(seq 100); do kill -0 "$1" 2>/dev/null || break; sleep 0.05; done
  kill -0 "$1" 2>/dev/null && return 1
  wait "$1"
  status=$?
}
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
note() { echo "-- $*"; }
# finish WHAT : the script's last line, its status the number of failures.
finish() {
  [ "$failures" -eq 0 ] && echo "$*: all passed"
  exit "$((failures > 0))"
}

# scratch NAME : a directory $work for this run, removed on exit together with
# every process the script started.
scratch() {
  work=$(mktemp -d "/tmp/brizzlet-$1-XXXXXX")
  trap 'stop_all; rm -rf "$work"' EXIT
}

# start_xvfb DIR [SIZE [OPTION...]] : an X server on a free display, 1024x768
# unless told, with Xvfb's OPTIONs; stopped by stop_xvfb or on exit.
start_xvfb() {
  local dir=$1 size=${2:-1024x768} tool
  for tool in Xvfb xdotool import convert; do
    command -v "$tool" >/dev/null || skip "$tool is not installed"
  done
  shift $(($# < 2 ? $# : 2))
  Xvfb -displayfd 9 -screen 0 "${size}x24" -nolisten tcp "$@" 9>"$dir/display" 2>"$dir/xvfb.log" &
  xvfb_pid=$!
  for _ in $(seq 100); do
    [ -s "$dir/display" ] && break
    sleep 0.05
  done
  [ -s "$dir/display" ] || skip "Xvfb did not start: $(cat "$dir/xvfb.log")"
  export DISPLAY=:$(cat "$dir/display")
}

# stop_xvfb : stops the X server start_xvfb started, for another to start.
stop_xvfb() {
  [ -n "${xvfb_pid:-}" ] || return 0
  kill "$xvfb_pid" 2>/dev/null || true
  wait "$xvfb_pid" 2>/dev/null || true
  xvfb_pid=
}

# The processes this script started, stopped on its exit by their own ids.
started_pids=()
stop_all() {
  for pid in "${started_pids[@]}" ${xvfb_pid:-}; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
}

# shown NAME : the ids of the shown windows titled exactly NAME, maybe none;
# fails only when the X server cannot be reached.
shown() {
  local out
  for _ in 1 2 3 4 5; do
    out=$(xdotool search --onlyvisible --name "^${1}\$" 2>&1)
    case "$out" in
      *"open display"*) sleep 0.1 ;;
      *) echo "$out" | grep -E '^[0-9]+$' || true; return 0 ;;
    esac
  done
  return 1
}

# window NAME [SECONDS] : waits for the window titled NAME to show; its id.
window() {
  local deadline=$((SECONDS + ${2:-10})) id
  while [ $SECONDS -le $deadline ]; do
    id=$(shown "$1" | head -1) && [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.05
  done
  return 1
}

# gone NAME [SECONDS] : waits until no window titled NAME shows.
gone() {
  local deadline=$((SECONDS + ${2:-10})) ids
  while [ $SECONDS -le $deadline ]; do
    ids=$(shown "$1") && [ -z "$ids" ] && return 0
    sleep 0.05
  done
  return 1
}

# geometry ID : sets X Y WIDTH HEIGHT of the window's client area.
geometry() { eval "$(retry xdotool getwindowgeometry --shell "$1")"; }

# click ID X Y : one left click at a point of the window's client area.
click() {
  geometry "$1"
  retry xdotool mousemove --sync $((X + $2)) $((Y + $3))
  retry xdotool click 1
}

# shot NAME : the whole screen, kept as NAME.png among the artefacts.
shot() { retry import -window root "$artefacts/$1.png"; }

# colour SHOT ID X Y : the colour at a point of a window in a screenshot, as
# RRGGBB.
colour() {
  geometry "$2"
  convert "$artefacts/$1.png" -format "%[hex:p{$((X + $3)),$((Y + $4))}]" info: | cut -c1-6
}

# count SHOT ID X Y W H FX : how many pixels of a box of a window match an fx
# condition on r, g, b (0 to 1), such as "r>0.7&&g<0.4&&b<0.4" for red.
count() {
  geometry "$2"
  convert "$artefacts/$1.png" -crop "$5x$6+$((X + $3))+$((Y + $4))" +repage \
    -fx "($7)?1:0" -format "%[fx:round(mean*w*h)]" info:
}

# start_game [PROGRAM [ARGUMENT...]] : the game (or PROGRAM) started from the
# current directory, its id in $game_pid, its output in $work/game.out and
# game.err; the menu window's id in $menu once it shows.
start_game() {
  "${1:-$game}" "${@:2}" >"$work/game.out" 2>"$work/game.err" &
  game_pid=$!
  started_pids+=("$game_pid")
  menu=$(window "Brizzlet Main Menu")
}

# press BUTTON [LEFT] : a button of the menu's panel, which rests at Left 110
# after the start and at 135 after a round: play1 (Time Attack), play2
# (Basmi), play3 (balm), about or exit.
press() {
  local l=${2:-110} x w=1455 y
  case $1 in
    play1) x=$((l + 2280)) y=1110 ;;
    play2) x=$((l + 2280)) y=2520 ;;
    play3) x=$((l + 2280)) y=3840 ;;
    about) x=$((l + 1560)) w=1215 y=4560 ;;
    exit) x=$((l + 2880)) w=1215 y=4560 ;;
  esac
  click "$menu" "$(centre "$x" "$w")" "$(centre "$y" 375)"
}

# exit_game [LEFT [WHAT]] : EXIT on the menu's panel (at 135 unless told): the
# game must end, with status 0. WHAT begins each failure's message.
exit_game() {
  press exit "${1:-135}"
  if ended "$game_pid"; then
    [ $status -eq 0 ] || fail "${2:-}EXIT ends the game with status $status"
  else
    fail "${2:-}EXIT does not end the game"
    stop_game
  fi
}

# stop_game : the game ended from outside, so that nothing of it stays on the
# screen for what follows to click on.
stop_game() {
  kill "$game_pid" 2>/dev/null
  ended "$game_pid" || kill -KILL "$game_pid" 2>/dev/null
}

# about NAME [LEFT] : About on the menu's panel (at 110 unless told) shows a
# message box, its screenshot NAME, whose OK a click on its middle closes.
about() {
  local box
  press about "${2:-110}"
  if box=$(window Brizzlet 5); then
    shot "$1"
    geometry "$box"
    click "$box" $((WIDTH / 2)) $((HEIGHT - 24 * f))
    gone Brizzlet 5 || fail "$1: OK does not close the About box"
  else
    fail "$1: About shows no message box"
  fi
}

# set_dpi DPI : the desktop's Xft.dpi on the running X server (started with
# -noreset, so that it keeps the resource after xprop disconnects).
set_dpi() {
  retry xprop -root -f RESOURCE_MANAGER 8s -set RESOURCE_MANAGER "$(printf 'Xft.dpi:\t%s' "$1")" ||
    fail "cannot set Xft.dpi to $1"
}

# give_up ID : the X button of the game window.
give_up() { click "$1" "$(centre 6840 375)" "$(centre 120 375)"; }

# finish_slide : a click on the sliding logo ends the menu's slide-in at once;
# the panel then rests at 135.
finish_slide() {
  sleep 3
  click "$menu" $((120 * f)) $((150 * f))
  sleep 1
}

# hit NAME ID SHOT : nyamuk1, which stands still at level 0, found in the
# screenshot SHOT of the Time Attack window ID in a stretch of the white field
# round its place, and clicked on the middle of what is drawn: it goes back
# to the field's edge, the score grows from "0" to "35" (more black in its
# box), and the red hit picture shows for a moment where it was. The shot
# after is NAME-hit; NAME begins each failure's message. Sets bug_box to where
# the mosquito showed in its window, WxH+X+Y.
hit() {
  local name=$1 id=$2 before=$3 black="r<0.3&&g<0.3&&b<0.3" found bw bh bx by red
  geometry "$id"
  local sx=$(px $((5760 - 600))) sy=$(px $((480 + 360 - 180))) sw=$(px 1700) sh=$(px 720)
  local kx=$(($(px $((4800 + 720))) + 3 * f)) ky=$(($(px $((4440 + 120))) + 3 * f))
  found=$(convert "$artefacts/$before.png" -crop "${sw}x$sh+$((X + sx))+$((Y + sy))" \
    -fuzz 10% -trim -format '%w %h %X %Y' info:)
  read -r bw bh bx by <<<"$found"
  bx=$((${bx#+} - X)) by=$((${by#+} - Y))
  note "$name: nyamuk1 drawn ${bw}x$bh at $bx,$by in the game window"
  # Its picture is 33 x 24 at 96 dpi.
  [ "$bw" -gt $((24 * f)) ] && [ "$bw" -le $((33 * f)) ] && [ "$bh" -gt $((16 * f)) ] &&
    [ "$bh" -le $((24 * f)) ] || fail "$name: the mosquito is drawn ${bw}x$bh"
  bug_box="${bw}x$bh+$bx+$by"
  click "$id" $((bx + bw / 2)) $((by + bh / 2))
  sleep 0.2
  shot "$name-hit"
  [ "$(count "$name-hit" "$id" "$bx" "$by" "$bw" "$bh" "$black")" -eq 0 ] ||
    fail "$name: the mosquito clicked on is still there"
  [ "$(count "$name-hit" "$id" "$kx" "$ky" $((99 * f)) $((19 * f)) "$black")" -gt \
    "$(count "$before" "$id" "$kx" "$ky" $((99 * f)) $((19 * f)) "$black")" ] ||
    fail "$name: the score did not grow"
  red=$(count "$name-hit" "$id" $((bx - 8 * f)) $((by - 12 * f)) $((50 * f)) $((50 * f)) \
    "r>0.7&&g<0.35&&b<0.35")
  note "$name: $red red pixels of the hit picture (it shows for up to 500 ms)"
}
