#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The scenario runner as a program: its command line, reading its script
# from a file or standard input, and writing where nothing can be written;
# the game's command line, answered with no display. Then seeded cuts of the fuzz seeds and the scenarios, each run both
# from a file and from standard input: the same status (0, 1 or 2) and output
# both ways, nothing on stderr.
#   command_line.sh BRIZZLET_SCRIPT BRIZZLET ASSETS_DIR SCRIPTS...
set -uo pipefail
runner=$(realpath "$1")
game=$(realpath "$2")
assets=$(realpath "$3")
shift 3
source "$(dirname "$(realpath "$0")")/../e2e/xvfb.sh"
scratch cli

# expect WHAT STATUS PATTERN : the last run ended with STATUS, and its
# output and stderr together hold PATTERN (a grep -E pattern).
expect() {
  [ "$status" -eq "$2" ] && cat "$work/out" "$work/err" | grep -Eq -- "$3" ||
    fail "$1: status $status, output: $(cat "$work/out" "$work/err" | head -3)"
}
# go ARG... : the runner in $dir, its streams in out and err.
go() { (cd "$dir" && "$runner" "$@") >"$work/out" 2>"$work/err"; status=$?; }

dir=$assets
echo "print menutama.Caption" >"$work/caption.script"
go "$work/caption.script"
expect "a script file" 0 '^menutama.Caption = '
go <"$work/caption.script"
expect "standard input" 0 '^menutama.Caption = '
go a b
expect "two arguments" 2 '^usage: brizzlet-script \[FILE\]'
go -h
expect "an option" 2 '^usage: '
go /no/such/dir/x.script
expect "a missing script" 2 'cannot open /no/such/dir/x.script: No such file or directory'
go "$work"
expect "a directory as the script" 2 'it is a directory'
go </
expect "a directory on standard input" 2 '^script error at line 1: cannot read the script: Is a directory$'
echo dump >"$work/dump.script"
(cd "$dir" && "$runner" "$work/dump.script") >/dev/full 2>"$work/err"
status=$? && : >"$work/out"
expect "output to a full disk" 2 '^brizzlet-script: cannot write the output: No space left on device$'
(cd "$dir" && "$runner" "$work/dump.script") >&- 2>"$work/err"
status=$? && : >"$work/out"
expect "a closed standard output" 2 '^brizzlet-script: cannot write the output: '

# The game: what it is asked is answered before a display is looked for.
play() { (cd "$dir" && env -u DISPLAY -u WAYLAND_DISPLAY "$@") >"$work/out" 2>"$work/err"; status=$?; }
for option in --help --version; do
  play env BRIZZLET_SCALE=abc "$game" $option
  [ "$status" -eq 0 ] && [ -s "$work/out" ] && [ ! -s "$work/err" ] ||
    fail "$option with a bad BRIZZLET_SCALE: status $status, stderr $(head -2 "$work/err")"
done
dir=$work
cp "$assets/plor6.gif" "$work/plor6.gif"
play "$game" --record plor6.gif
expect "--record on an existing file" 2 '^brizzlet: --record plor6.gif: the file exists; .*--replay plor6.gif'
[ "$(wc -l <"$work/err")" -eq 1 ] && cmp -s "$assets/plor6.gif" "$work/plor6.gif" ||
  fail "--record on an existing file: the file changed or more was said: $(cat "$work/err")"
play env -u XDG_RUNTIME_DIR WAYLAND_DISPLAY=wayland-0 "$game"
expect "Wayland with no compositor" 1 '^brizzlet: cannot open the display "wayland-0": '
[ "$(wc -l <"$work/err")" -eq 1 ] || fail "Wayland with no compositor: $(cat "$work/err")"

# Seeded cuts: each script up to a random byte, and without a random line.
runs=0
RANDOM=18
dir=$assets
for script in "$@"; do
  for cut in 1 2; do
    size=$(wc -c <"$script")
    if [ $cut -eq 1 ]; then
      head -c $((RANDOM % (size + 1))) "$script" >"$work/cut.script"
    else
      lines=$(wc -l <"$script")
      sed "$((RANDOM % (lines + 1) + 1))d" "$script" >"$work/cut.script"
    fi
    go "$work/cut.script"
    from_file=$status
    cp "$work/out" "$work/out.file"
    [ -s "$work/err" ] && fail "$script, cut $cut: stderr: $(head -3 "$work/err")"
    go <"$work/cut.script"
    [ "$status" -eq "$from_file" ] && cmp -s "$work/out" "$work/out.file" ||
      fail "$script, cut $cut: status $from_file from the file, $status from standard input"
    [ "$from_file" -le 2 ] || fail "$script, cut $cut: status $from_file"
    runs=$((runs + 1))
  done
done
echo "-- $runs cut scripts"

finish "command line"
