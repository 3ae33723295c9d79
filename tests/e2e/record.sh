#!/usr/bin/env bash
# A seeded random player clicks and moves about the real windows with
# --record (after every step the game must still run), then SIGTERM stops it;
# brizzlet-script must replay the recording to exactly the state it stopped
# in. An edited expect line must fail the replay naming that line, and a
# recording cut after an input (a kill) must replay to it.
#   record.sh BRIZZLET BRIZZLET_SCRIPT ASSETS_DIR ARTEFACTS_DIR STEPS SEED...
set -uo pipefail
game=$(realpath "$1")
runner=$(realpath "$2")
assets=$(realpath "$3")
mkdir -p "$4"
artefacts=$(realpath "$4")
steps=$5
shift 5
here=$(dirname "$(realpath "$0")")
source "$here/xvfb.sh"
work=$(mktemp -d /tmp/brizzlet-record-XXXXXX)
trap 'stop_all; rm -rf "$work"' EXIT
start_xvfb "$work"
export SDL_AUDIODRIVER=dummy
cd "$assets"

for seed in "$@"; do
  rec=$artefacts/seed-$seed.script
  RANDOM=$seed
  "$game" --record "$rec" 2>"$work/game.err" &
  pid=$!
  started_pids+=("$pid")
  menu=$(window "Brizzlet Main Menu") || { fail "seed $seed: no menu window"; continue; }
  for step in $(seq "$steps"); do
    retry xdotool mousemove --sync $((RANDOM % 1024)) $((RANDOM % 768)) >/dev/null
    [ $((RANDOM % 2)) -eq 0 ] && retry xdotool click $((RANDOM % 3 == 0 ? 3 : 1))
    # An About box waits for OK: answer it now and then.
    [ $((RANDOM % 4)) -eq 0 ] && retry xdotool key Return
    sleep 0.$((RANDOM % 5))
    kill -0 "$pid" 2>/dev/null || { fail "seed $seed: the game died at step $step"; break; }
  done
  kill -TERM "$pid" 2>/dev/null
  ended "$pid" || fail "seed $seed: SIGTERM does not stop the game"
  inputs=$(grep -cE '^(moveat|clickat|key|close) ' "$rec")
  ms=$(awk '$1 == "wait" || $1 == "stall" { t += $2 } END { print t }' "$rec")
  note "seed $seed: $inputs inputs over $ms ms, $(grep -c '^stall' "$rec") stalls"
  "$runner" "$rec" >"$work/replay.out" || fail "seed $seed: replay: $(grep -m3 failed "$work/replay.out")"

  # An edited expect fails, naming its line.
  line=$(grep -n -m1 '^expect .*\.Caption ' "$rec" | cut -d: -f1)
  sed "${line}s/\$/x/" "$rec" >"$work/edited.script"
  "$runner" "$work/edited.script" >"$work/edited.out"
  [ $? -eq 1 ] && grep -q "expect failed at line $line:" "$work/edited.out" ||
    fail "seed $seed: an edited expect at line $line does not fail: $(cat "$work/edited.out")"

  # A kill keeps every input up to the last: that part replays on its own.
  last=$(grep -n -m1 '^expect ' "$rec" | cut -d: -f1)
  head -n $((last * 2 / 3)) "$rec" >"$work/cut.script"
  "$runner" "$work/cut.script" >/dev/null || fail "seed $seed: a cut recording does not replay"
done
[ "$failures" -eq 0 ] || exit 1
echo "PASS"
