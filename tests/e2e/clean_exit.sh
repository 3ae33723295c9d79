#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The game started and ended with EXIT again and again on a private Xvfb:
# every run ends with status 0 and says nothing on stderr. Then the menu
# window destroyed by another X client, which ends the game like a close.
#   clean_exit.sh BRIZZLET ASSETS_DIR [RUNS]
set -uo pipefail
game=$(realpath "$1")
assets=$(realpath "$2")
runs=${3:-60}
source "$(dirname "$(realpath "$0")")/xvfb.sh"
scratch exit

start_xvfb "$work"
export SDL_AUDIODRIVER=dummy
cd "$assets"

# check WHAT : the run just ended with status 0 and an empty stderr.
check() {
  [ "$status" -eq 0 ] || fail "$1 ended with status $status: $(head -3 "$work/game.err")"
  [ -s "$work/game.err" ] && fail "$1 wrote on stderr: $(head -3 "$work/game.err")"
  return 0
}

for run in $(seq "$runs"); do
  start_game || { fail "run $run: no menu window"; break; }
  # The logo's right edge shows from the start; a click on it finishes the
  # slide-in at once, and EXIT then rests where this point lies on it
  # whenever the click came.
  click "$menu" 4 100
  sleep 0.3
  for _ in 1 2 3; do
    click "$menu" "$(px 3600)" "$(px 4747)" 2>/dev/null
    ended "$game_pid" && break
  done
  if kill -0 "$game_pid" 2>/dev/null; then
    fail "run $run: EXIT does not end the game"
    break
  fi
  check "run $run"
done
note "$runs starts and EXITs"

# Another client destroys the menu window.
destroy() {
  python3 - "$1" <<'PY'
import ctypes, ctypes.util, sys
x = ctypes.CDLL(ctypes.util.find_library("X11"))
x.XOpenDisplay.restype = ctypes.c_void_p
display = ctypes.c_void_p(x.XOpenDisplay(None))
x.XDestroyWindow(display, ctypes.c_ulong(int(sys.argv[1])))
x.XSync(display, 0)
x.XCloseDisplay(display)
PY
}
if ! command -v python3 >/dev/null; then
  note "no python3: the destroyed window is not tried"
elif start_game; then
  sleep 0.5
  destroy "$menu"
  if ended "$game_pid"; then
    check "a destroyed menu window"
  else
    fail "a destroyed menu window does not end the game"
  fi
else
  fail "no menu window"
fi

finish "clean exits"
