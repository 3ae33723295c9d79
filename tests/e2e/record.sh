#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A seeded random player plays the real windows with --record: every mode
# from the menu's buttons, shots at the mosquitoes it sees on the screen and
# misses, reloads, give-ups, the falling balm button, Sound ON off and on,
# About and its OK, and EXIT. brizzlet-script must replay each recording to
# exactly the state the game ended in, also in another directory, and so must
# brizzlet --replay in the real windows of a 1024 x 768 screen, whatever screen
# it was recorded on. An edited expect line must fail the replay naming that
# line; a recording cut by kill -KILL mid-game must replay to its last input.
#   record.sh BRIZZLET BRIZZLET_SCRIPT ASSETS_DIR ARTEFACTS_DIR SECONDS SEED...
# SECONDS is about how long each seed plays its rounds. A SEED may name the
# screen it plays on, SEED:WIDTHxHEIGHT[:DPI] (Xft.dpi; 96 unless told), else
# 1024x768. The player learns
# where the mosquitoes and the balm button are only from screenshots; where
# the buttons are, from the windows' layouts. It waits on what it sees, not
# on the clock, so a slow machine only makes it play fewer shots.
set -uo pipefail
game=$(realpath "$1")
runner=$(realpath "$2")
assets=$(realpath "$3")
mkdir -p "$4"
artefacts=$(realpath "$4")
play_seconds=$5
shift 5
here=$(dirname "$(realpath "$0")")
source "$here/xvfb.sh"
scratch record
export SDL_AUDIODRIVER=dummy
cd "$assets"
# The run-time files somewhere else, where a recording must replay as well.
cp -R "$assets" "$work/elsewhere"

# on_screen SIZE [DPI] : an X server of that size whose desktop says DPI,
# unless the one running is it; f is the drawing factor the game will take.
on_screen() {
  [ "${xvfb_pid:-}" ] && [ "$1:${2:-96}" = "${screen:-}" ] && return
  stop_xvfb
  screen=$1:${2:-96} f=$((${2:-96} / 96)) servers=$((${servers:-0} + 1))
  mkdir -p "$work/xvfb-$servers"
  start_xvfb "$work/xvfb-$servers" "$1" -noreset
  [ "${2:-96}" = 96 ] || set_dpi "$2"
}

# grab ID X Y W H FILE : a box of a window's client area as it shows now.
grab() { retry import -window "$1" -crop "$4x$5+$2+$3" +repage "$6"; }

now_ms() { echo $(($(date +%s%N) / 1000000)); }

# --- the menu -------------------------------------------------------------------
# The panel at rest: blue inside its left edge, and the row of Sound ON,
# About and EXIT the same in two looks 400 ms apart. Until then a click there
# could land on a neighbour sliding by.
panel_at_rest() {
  local deadline=$((SECONDS + 30)) w
  w=$(px 4470)
  while [ $SECONDS -le $deadline ]; do
    grab "$menu" 0 "$(px 4560)" "$w" "$(px 375)" "$work/row1.png" &&
      sleep 0.4 &&
      grab "$menu" 0 "$(px 4560)" "$w" "$(px 375)" "$work/row2.png" &&
      [ "$(convert "$work/row2.png" -format "%[hex:p{$((25 * f)),$((20 * f))}]" info: |
        cut -c1-6)" = 0000FF ] &&
      [ "$(compare -metric AE "$work/row1.png" "$work/row2.png" null: 2>&1)" = 0 ] && return 0
  done
  return 1
}

# answer_box : the About box's OK, by a click or by the keyboard.
answer_box() {
  local box
  box=$(window Brizzlet 10) || { fail "seed $seed: About shows no message box"; return 1; }
  geometry "$box"
  case $((RANDOM % 3)) in
    0) click "$box" $((WIDTH / 2)) $((HEIGHT - 24 * f)) ;;
    1) retry xdotool key Return ;;
    2) retry xdotool key space ;;
  esac
  gone Brizzlet 10 || fail "seed $seed: the About box stays open"
}

# menu_chores : now and then, Sound ON flipped and About read, at random.
menu_chores() {
  local l=$1
  panel_at_rest || { fail "seed $seed: the menu panel never comes to rest"; return 1; }
  if [ $((RANDOM % 2)) -eq 0 ]; then
    click "$menu" "$(centre $((l + 120)) 1215)" "$(centre 4560 255)"
  fi
  if [ $((RANDOM % 2)) -eq 0 ]; then
    press about "$l"
    sleep 0.$((RANDOM % 10))
    answer_box
  fi
}

# --- a round --------------------------------------------------------------------
# The mosquitoes' lanes from the layout: the Top of each and the way it flies
# (-1 left). One mosquito flies in each.
lane_tops=(360 720 1320 1920 2520)
lane_ways=(-1 1 -1 1 -1)

# seen_lanes : "LANE X Y" for each lane with a mosquito in sight now, X and Y
# the middle of its dark pixels in the window. A mosquito is drawn in black
# lines on the white field; the character, the hit picture and the trace are
# not black, and the character's part of the field is left out, as are the
# field's border and what the magazine's panel covers.
seen_lanes() {
  local from=$1 width=$2 top=$(($(px 480) + 8)) bands="" i
  for i in 0 1 2 3 4; do bands="$bands $(px $((480 + lane_tops[i]))) $(px $((840 + lane_tops[i])))"; done
  grab "$form1" "$from" "$top" "$width" $(($(px 3480) - top)) "$work/field.png" || return
  # In cells of 4 x 4 pixels: a cell with a black pixel in it is dark.
  convert "$work/field.png" -channel RGB -threshold 40% +channel -scale 25% -depth 8 txt:- 2>/dev/null |
    awk -F'[:,() ]+' -v from="$from" -v top="$top" -v bands="$bands" '
      BEGIN { n = split(bands, b, " ") }
      NR > 1 && $3 < 240 && $4 < 240 && $5 < 240 {
        x = from + $1 * 4 + 2; y = top + $2 * 4 + 2
        for (i = 0; i < 5; i++)
          if (y >= b[2 * i + 1] && y < b[2 * i + 2]) {
            if (!(i in lo) || x < lo[i]) lo[i] = x
            if (!(i in hi) || x > hi[i]) hi[i] = x
            sy[i] += y; c[i]++
          }
      }
      END { for (i in c) print i, int((lo[i] + hi[i]) / 2), int(sy[i] / c[i]) }'
}

# shoot : one shot at a mosquito the screen shows, led by how far it flies in
# the time a shot takes to land (its speed from the last look at its lane);
# or, with none seen (or one time in five), at a random point of the field,
# a miss. In the balm mode the one nearest the character comes first.
last_x=(0 0 0 0 0) last_t=(0 0 0 0 0) speed=(0 0 0 0 0)
shoot() {
  local from=0 width=$field_w seen pick x y lane t v lx ly
  if [ "$mode" = balm ]; then from=$(px 1920); width=$((field_w - from)); fi
  t=$(now_ms)
  seen=$(seen_lanes "$from" "$width")
  lane=-1
  while read -r l lx ly; do
    [ -n "$l" ] || continue
    v=0
    if [ $((t - last_t[l])) -lt 3000 ] && [ $(((lx - last_x[l]) * lane_ways[l])) -gt 0 ]; then
      v=$(((lx - last_x[l]) * 1000 / (t - last_t[l] + 1)))
    fi
    last_x[l]=$lx last_t[l]=$t
    speed[l]=$v
  done <<<"$seen"
  if [ -n "$seen" ] && [ $((RANDOM % 5)) -ne 0 ]; then
    if [ "$mode" = balm ]; then
      pick=$(sort -k2,2n <<<"$seen" | head -1)
    else
      pick=$(sed -n "$((RANDOM % $(wc -l <<<"$seen") + 1))p" <<<"$seen")
    fi
    read -r lane x y <<<"$pick"
    x=$((x + speed[lane] * latency / 1000))
  else
    x=$((from + RANDOM % width)) y=$(($(px 480) + RANDOM % $(px 3855)))
  fi
  click "$form1" "$x" "$y" || return
  latency=$(($(now_ms) - t))
  in_magazine=$((in_magazine - 1))
}

# reload : the Reload button, when the magazine is empty or now and then.
reload() {
  click "$form1" "$(centre $((1800 + 2160)) 1935)" "$(centre $((3480 + 240)) 615)" || return
  in_magazine=6
}

# balm_button : the balm button falls down the right of the field, 150 twips
# a tick; seen in a screenshot, the click aims where it will be by then.
balm_button() {
  local x=$(px 7440) w=$(px 735) t y
  t=$(now_ms)
  grab "$form1" "$x" $(($(px 480) + 8)) "$w" $(($(px 3855) - 16)) "$work/balm.png" || return 1
  # The button's face: a row of grey, where a mosquito's edge has a cell or two.
  y=$(convert "$work/balm.png" -scale 25% -depth 8 txt:- 2>/dev/null |
    awk -F'[:,() ]+' 'NR > 1 && $3 > 150 && $3 < 230 && $3 == $4 && $4 == $5 && ++n[$2] == 6 {
      print $2 * 4; exit }')
  [ -n "$y" ] || return 1
  y=$((y + $(px 480) + 8 + (12 + ($(now_ms) - t + 40) * 200 / 1000) * f))
  [ "$y" -lt "$(px $((480 + 3855)))" ] || return 1
  click "$form1" $((x + w / 2)) "$y"
}

# play_round MODE TITLE : the round from its Play button to its end, or to a
# give-up after a random while. False when the game window never shows.
play_round() {
  mode=$1
  local title=$2 l=$3 button until
  form1=
  case $mode in
    time-attack) button=play1 ;;
    basmi) button=play2 ;;
    balm) button=play3 ;;
  esac
  # Pressed again if the game does not show: a busy machine may take long to
  # draw the panel where it is.
  for _ in 1 2 3; do
    panel_at_rest || { fail "seed $seed: the menu panel never comes to rest"; return 1; }
    press "$button" "$l"
    form1=$(window "$title" 5) && break
  done
  [ -n "$form1" ] || { fail "seed $seed: Play $mode shows no game"; return 1; }
  geometry "$form1"
  field_w=$WIDTH
  in_magazine=6
  until=$((SECONDS + round_seconds / 2 + RANDOM % round_seconds))
  # The balm mode lasts until the balm is gone, or the button is caught.
  [ "$mode" = balm ] && until=$((SECONDS + 3 * round_seconds))
  while [ $SECONDS -lt $until ] && [ -n "$(shown "$title")" ]; do
    kill -0 "$pid" 2>/dev/null || { fail "seed $seed: the game died in $mode"; return 1; }
    if [ "$mode" = balm ] && balm_button; then
      until=$((SECONDS + 2))
      continue
    fi
    if [ "$in_magazine" -le 0 ] || [ $((RANDOM % 12)) -eq 0 ]; then
      reload
    else
      shoot
    fi
  done
  if [ -n "$(shown "$title")" ]; then
    if [ $((RANDOM % 2)) -eq 0 ]; then
      click "$form1" "$(centre 6840 375)" "$(centre 120 375)"
    else
      click "$form1" "$(centre 2160 2535)" "$(centre 4560 495)"
    fi
    gone "$title" 10 || { fail "seed $seed: giving up does not end $mode"; return 1; }
  fi
}

titles=([1]="Brizzlet!!! ~ Time Attack" [2]="Brizzlet!!! ~ Basmi Semua Nyamuk"
  [3]="Tolong ... Jangan Sampai Gua digigit nyamuk ! ...")
modes=([1]=time-attack [2]=basmi [3]=balm)
round_seconds=$((play_seconds / 4))

for played in "$@"; do
  IFS=: read -r seed size dpi <<<"$played"
  on_screen "${size:-1024x768}" "$dpi"
  rec=$artefacts/seed-$seed.script
  rm -f "$rec"
  RANDOM=$seed
  latency=300
  "$game" --record "$rec" 2>"$work/game.err" &
  pid=$!
  started_pids+=("$pid")
  menu=$(window "Brizzlet Main Menu" 30) || { fail "seed $seed: no menu window"; continue; }
  # A click on the sliding logo (it passes under the point from about 1.7 to
  # 4.6 s): the rest of the slide runs fast.
  sleep 2.$((RANDOM % 10))
  click "$menu" $((120 * f)) $((150 * f))
  # The panel comes to rest at Left 110 to 210 after the first slide, at 135
  # after a round: a button's centre is on it either way.
  l=110
  order=$(printf '%s\n' 1 2 3 | shuf --random-source=<(yes "$seed"))
  for m in $order; do
    menu_chores "$l" || break
    play_round "${modes[$m]}" "${titles[$m]}" "$l" || break
    l=135
  done
  # Sound left as the player wants it, and EXIT.
  menu_chores "$l"
  press exit "$l"
  if ended "$pid"; then
    [ "$status" -eq 0 ] || fail "seed $seed: EXIT ends the game with status $status"
  else
    fail "seed $seed: EXIT does not end the game"
    kill -TERM "$pid" 2>/dev/null
    ended "$pid"
  fi
  [ ! -s "$work/game.err" ] || fail "seed $seed: the game wrote to stderr: $(head -3 "$work/game.err")"

  inputs=$(grep -cE '^(moveat|clickat|key|close) ' "$rec")
  ms=$(awk '$1 == "wait" || $1 == "stall" { t += $2 } END { print t + 0 }' "$rec")
  note "seed $seed: $inputs inputs over $ms ms, $(grep -c '^clickat' "$rec") presses"
  grep -qx "screen ${size:-1024x768} $f" <(sed 's/ /x/2' "$rec") ||
    fail "seed $seed: the recording does not state its screen: $(sed -n 2p "$rec")"
  (cd "$work/elsewhere" && "$runner" "$rec") >"$work/replay.out" ||
    fail "seed $seed: brizzlet-script: $(grep -m3 -e failed -e error -e fatal "$work/replay.out")"
  # The same recording in the real windows, at its own pace, on 1024 x 768.
  on_screen 1024x768
  started=$(now_ms)
  "$game" --replay "$rec" >"$work/replay-window.out" 2>"$work/replay-window.err" &
  replay_pid=$!
  started_pids+=("$replay_pid")
  wait "$replay_pid"
  status=$?
  [ "$status" -eq 0 ] ||
    fail "seed $seed: brizzlet --replay exits with $status: $(head -5 "$work/replay-window.err")"
  note "seed $seed: replayed in the windows in $(($(now_ms) - started)) ms"

  # An edited expect fails, naming its line: the recorded end state is checked.
  line=$(grep -n -m1 '^expect .*\.Caption ' "$rec" | cut -d: -f1)
  sed "${line}s/\$/x/" "$rec" >"$work/edited.script"
  "$runner" "$work/edited.script" >"$work/edited.out"
  [ $? -eq 1 ] && grep -q "expect failed at line $line:" "$work/edited.out" ||
    fail "seed $seed: an edited expect at line $line does not fail: $(head -3 "$work/edited.out")"
done

# --- a kill mid-game --------------------------------------------------------------
# Everything up to the last input is in the file: it replays, and the last
# line is whole.
rec=$artefacts/killed.script
rm -f "$rec"
RANDOM=7
"$game" --record "$rec" 2>"$work/game.err" &
pid=$!
started_pids+=("$pid")
if menu=$(window "Brizzlet Main Menu" 30); then
  panel_at_rest || fail "kill: the menu panel never comes to rest"
  press play1
  if form1=$(window "${titles[1]}" 10); then
    geometry "$form1"
    field_w=$WIDTH mode=time-attack in_magazine=6
    for _ in 1 2 3 4 5; do shoot; done
  else
    fail "kill: Play Time Attack shows no game"
  fi
  kill -KILL "$pid"
  wait "$pid" 2>/dev/null
  [ "$(tail -c1 "$rec" | od -An -c | tr -d ' ')" = '\n' ] || fail "kill: the recording ends mid-line"
  ! grep -q '^expect ' "$rec" || fail "kill: a killed game wrote its end state"
  grep -q '^clickat Form1 ' "$rec" || fail "kill: the shots are not in the recording"
  "$runner" "$rec" >"$work/killed.out" ||
    fail "kill: the recording does not replay: $(grep -m3 -e error -e fatal "$work/killed.out")"
else
  fail "kill: no menu window"
fi

finish "recordings replayed"
