#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real game on a machine with no sound device: it says so once on
# stderr, then plays on in silence. A round with shots, a reload, the
# give-up and EXIT all work, and the game ends with status 0. Short of
# memory, the same.
#   no_audio.sh BRIZZLET ASSETS_DIR
set -uo pipefail
game=$(realpath "$1")
assets=$(realpath "$2")
source "$(dirname "$(realpath "$0")")/xvfb.sh"
scratch noaudio
artefacts=$work

start_xvfb "$work"
# A driver that does not exist: opening any sound device fails.
export SDL_AUDIODRIVER=no-such-audio-driver
cd "$assets"
start_game || { fail "no menu window without a sound device"; exit 1; }
finish_slide
press play1 135
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
  give_up "$form1"
  gone "Brizzlet!!! ~ Time Attack" 5 || fail "the give-up does not end the round"
else
  fail "Play Time Attack shows no game without a sound device"
fi
sleep 2.5 # the panel slides in again
press exit 135
if ended "$game_pid"; then
  [ $status -eq 0 ] || fail "EXIT ends the game with status $status"
else
  fail "EXIT does not end the game without a sound device"
fi
[ "$(grep -c . "$work/game.err")" -eq 1 ] && grep -q "no sound" "$work/game.err" ||
  fail "not one line about the missing sound device on stderr: $(cat "$work/game.err")"

# Short of memory (ulimit -v) with a device: at 46 MB the sound thread cannot
# start, and the game aborted; from 60 to 140 MB the soundfont's load
# crashed it. Now it plays on, silent where it must be, with a line at most.
for mb in 46 80 140; do
  (ulimit -v $((mb * 1024)) && SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=/dev/null exec "$game") \
    2>"$work/memory.all" &
  game_pid=$!
  started_pids+=("$game_pid")
  menu=$(window "Brizzlet Main Menu") || fail "with $mb MB of memory: no menu"
  sleep 3 # the music's synthesis
  kill -TERM "$game_pid"
  status=none
  ended "$game_pid"
  grep -v '^CRITICAL' "$work/memory.all" >"$work/memory.err"
  [ "$status" = 1 ] && [ "$(grep -vc '^brizzlet: ' "$work/memory.err")" -eq 0 ] &&
    [ "$(wc -l <"$work/memory.err")" -le 2 ] && grep -q 'stopped from outside' "$work/memory.err" ||
    fail "with $mb MB of memory: status $status: $(head -3 "$work/memory.err")"
done
finish "no sound device"
