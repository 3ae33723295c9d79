#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# run_scenario.sh RUNNER SCRIPT START_DIR WORK_DIR
#
# Runs SCRIPT with RUNNER in START_DIR and compares its standard output,
# followed by a line "exit N" with its exit status, with the file next to
# SCRIPT named like it with .expected instead of .script. The start directory's
# real path is written as <dir> in both, so they hold no machine's paths.
#
# Directives, in the comment lines at the top of SCRIPT (before its first
# command):
#   # without: FILE...   run in a copy of START_DIR that lacks these files
#
# With WINE in the environment, RUNNER is a Windows program run through the
# command WINE names (scripts/wine): the start directory's Windows form, as
# it is or quoted, is written <dir> too, with the separator after it written
# "/", and the lines' CR LF ends LF.
#
# With UPDATE=1 in the environment a differing or missing .expected file is
# rewritten from this run instead of failing.
set -euo pipefail

runner=$1 script=$2 start=$3 work=$4
expected=${script%.script}.expected

without=()
while IFS= read -r line || [[ -n $line ]]; do
  line=${line%$'\r'}
  if [[ $line =~ ^[[:space:]]*#[[:space:]]*without:(.*)$ ]]; then
    read -r -a files <<<"${BASH_REMATCH[1]}"
    without+=("${files[@]}")
  elif [[ ! $line =~ ^[[:space:]]*(#.*)?$ ]]; then
    break
  fi
done <"$script"

rm -rf "$work"
mkdir -p "$work"
dir=$start
if ((${#without[@]})); then
  dir=$work/dir
  cp -R "$start" "$dir"
  for file in "${without[@]}"; do
    if [[ ! -e $dir/$file ]]; then
      echo "$script: without: no file $file in $start" >&2
      exit 1
    fi
    rm -rf -- "${dir:?}/$file"
  done
fi
dir=$(cd "$dir" && pwd -P)

run=("$runner") windir=""
if [[ -n ${WINE:-} ]]; then
  run=("$WINE" "$runner")
  windir=$("$WINE" winepath -w "$dir")
  windir=${windir%$'\r'}
  quoted=${windir//\\/\\\\} # as a quoted value shows it
fi

status=0
(cd "$dir" && exec "${run[@]}" "$script") >"$work/stdout" 2>"$work/stderr" || status=$?
while IFS= read -r line || [[ -n $line ]]; do
  if [[ -n $windir ]]; then
    line=${line%$'\r'}
    line=${line//"$quoted\\\\"/<dir>/}
    line=${line//"$quoted"/<dir>}
    line=${line//"$windir\\"/<dir>/}
    line=${line//"$windir"/<dir>}
  fi
  printf '%s\n' "${line//"$dir"/<dir>}"
done <"$work/stdout" >"$work/actual"
echo "exit $status" >>"$work/actual"

if [[ -f $expected ]] && cmp -s "$expected" "$work/actual"; then
  exit 0
fi
if [[ ${UPDATE:-} == 1 ]]; then
  cp "$work/actual" "$expected"
  echo "updated $expected"
  exit 0
fi
if [[ ! -f $expected ]]; then
  echo "no $expected; this run gave:"
  cat "$work/actual"
  echo "(run with UPDATE=1 to keep it)"
else
  diff -u --label expected --label actual "$expected" "$work/actual" || true
fi
if [[ -s $work/stderr ]]; then
  echo "--- standard error:"
  cat "$work/stderr"
fi
exit 1
