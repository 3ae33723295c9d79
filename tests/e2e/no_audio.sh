#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real game on a machine with no sound device: it says so once on
# stderr, then plays on in silence. A round with shots, a reload, the
# give-up and EXIT all work, and the game ends with status 0.
#   no_audio.sh BRIZZLET ASSETS_DIR
set -uo pipefail
game=$(realpath "$1")
assets=$(realpath "$2")
here=$(dirname "$(realpath "$0")")
work=$(mktemp -d /tmp/brizzlet-noaudio-XXXXXX)
artefacts=$work
source "$here/xvfb.sh"
trap 'stop_all; rm -rf "$work"' EXIT


start_xvfb "$work"
# A driver that does not exist: opening any sound device fails.
export SDL_AUDIODRIVER=no-such-audio-driver
cd "$assets"
"$game" >"$work/game.out" 2>"$work/game.err" &
game_pid=$!
started_pids+=("$game_pid")

menu=$(window "Brizzlet Main Menu") || { fail "no menu window without a sound device"; exit 1; }
# The logo click finishes the slide-in at once; the panel then rests at 135.
sleep 3
click "$menu" 120 150
sleep 1
click "$menu" "$(centre $((135 + 120 + 2160)) 1455)" "$(centre $((240 + 270 + 600)) 375)"
if form1=$(window "Brizzlet!!! ~ Time Attack" 5); then
  # Seven shots at the field, which empty the magazine (each one asks for the
  # gun sound, the last for the reload cue), then the reload button. They
  # come further apart than a double click (500 ms), whose second press
  # would not count.
  for n in 1 2 3 4 5 6 7; do
    click "$form1" $(px $((1000 + 400 * n))) "$(px $((480 + 1200)))"
    sleep 0.6
  done
  click "$form1" "$(centre $((1800 + 2160)) 1935)" "$(centre $((3480 + 240)) 615)"
  sleep 0.5
  kill -0 "$game_pid" 2>/dev/null || fail "the game stopped during a round without sound"
  click "$form1" "$(centre 6840 375)" "$(centre 120 375)" # give up
  gone "Brizzlet!!! ~ Time Attack" 5 || fail "the give-up does not end the round"
else
  fail "Play Time Attack shows no game without a sound device"
fi
sleep 2.5 # the panel slides in again
click "$menu" "$(centre $((135 + 2880)) 1215)" "$(centre $((240 + 4320)) 375)" # EXIT
if ended "$game_pid"; then
  [ $status -eq 0 ] || fail "EXIT ends the game with status $status"
else
  fail "EXIT does not end the game without a sound device"
fi
[ "$(grep -c . "$work/game.err")" -eq 1 ] && grep -q "no sound" "$work/game.err" ||
  fail "not one line about the missing sound device on stderr: $(cat "$work/game.err")"

[ "$failures" -eq 0 ] && echo "no sound device: all passed"
exit "$failures"
