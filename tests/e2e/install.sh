#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the game into a fresh root and plays it from its launcher, started
# in another directory: the launcher must take the game to its run-time files,
# so the menu shows and a shot loads its magazine pictures without an error.
#   install.sh BUILD_DIR ARTEFACTS_DIR       cmake --install into a fresh prefix
#   install.sh --deb PACKAGE ARTEFACTS_DIR   the .deb unpacked with dpkg-deb -x
set -uo pipefail
deb=
if [ "$1" = --deb ]; then
  deb=$(realpath "$2")
  shift
else
  build=$(realpath "$1")
fi
mkdir -p "$2"
artefacts=$(realpath "$2")
source "$(dirname "$(realpath "$0")")/xvfb.sh"
command -v xprop >/dev/null || skip "xprop is not installed"
scratch install

# --- the installed tree -----------------------------------------------------------
if [ -n "$deb" ]; then
  prefix=$work/root/usr
  dpkg-deb -x "$deb" "$work/root" || { echo "FAIL: dpkg-deb -x $deb"; exit 1; }
  bin=games lib=lib/games/brizzlet data=share/games/brizzlet
else
  prefix=$work/prefix
  cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 ||
    { cat "$work/install.log"; echo "FAIL: cmake --install"; exit 1; }
  bin=bin lib=lib/brizzlet data=share/brizzlet
fi
app=io.github.brizzlet.Brizzlet
for file in $bin/brizzlet $bin/brizzlet-script $lib/brizzlet $lib/brizzlet-synth \
  share/applications/$app.desktop share/metainfo/$app.metainfo.xml \
  share/icons/hicolor/48x48/apps/$app.png share/icons/hicolor/scalable/apps/$app.svg \
  share/man/man6/brizzlet.6.gz share/man/man6/brizzlet-script.6.gz \
  share/doc/brizzlet/copyright share/doc/brizzlet/changelog.gz share/doc/brizzlet/scripting.md \
  $data/backsound.mid $data/gun.wav $data/reload.wav $data/plor{0,1,2,3,4,5,6,7}.gif; do
  [ -e "$prefix/$file" ] || fail "not installed: $file"
done

# --- the command line, with no display ---------------------------------------------
mkdir "$work/elsewhere"
cd "$work/elsewhere"
help=$(DISPLAY= WAYLAND_DISPLAY= "$prefix/$bin/brizzlet" --help 2>&1)
status=$?
[ $status -eq 0 ] && [[ $help == Usage:* ]] || fail "brizzlet --help: status $status: $help"
DISPLAY= "$prefix/$bin/brizzlet" --no-such-option >/dev/null 2>"$work/usage.err"
status=$?
[ $status -eq 2 ] && grep -q '^Usage:' "$work/usage.err" ||
  fail "an unknown option gave status $status: $(cat "$work/usage.err")"

# --- played from the launcher, started elsewhere ---------------------------------
start_xvfb "$work"
export SDL_AUDIODRIVER=dummy
start_game "$prefix/$bin/brizzlet" || { cat "$work/game.err"; fail "no menu window"; exit 1; }
# The desktop matches the window to its entry by the window class, and the
# window manager gets an icon larger than the layout's 32 x 32.
class=$(sed -n 's/^StartupWMClass=//p' "$prefix/share/applications/$app.desktop")
retry xprop -id "$menu" WM_CLASS | grep -q "\"$class\"\$" ||
  fail "the window class is not $class: $(xprop -id "$menu" WM_CLASS)"
icon=$(retry xprop -id "$menu" _NET_WM_ICON | sed -n 's/.*Icon (\([0-9]*\) x.*/\1/p' | head -1)
[ "${icon:-0}" -gt 32 ] || fail "the window icon is ${icon:-missing} pixels wide"
# The slide-in takes 223 ticks; on a busy machine late ticks are dropped, so
# wait for the Play button to arrive rather than for a fixed time. The point
# watched is near the button's right end, which only the panel at rest covers.
at_rest=
for _ in $(seq 80); do
  shot installed-menu
  [ "$(colour installed-menu "$menu" "$(px $((110 + 120 + 2160 + 1455 - 45)))" "$(px $((240 + 270 + 600 + 45)))")" = \
    80FFFF ] && { at_rest=1; break; }
  sleep 0.5
done
[ -n "$at_rest" ] || { fail "the menu panel never came to rest"; exit 1; }
press play1
game=$(window "Brizzlet!!! ~ Time Attack") || { fail "Play Time Attack showed no game window"; exit 1; }
# A miss on the bare field: the shot frame 60 ms later, the count 120 ms later.
click "$game" "$(px 300)" "$(px $((480 + 3000)))"
sleep 1
shot installed-shot
kill -0 "$game_pid" 2>/dev/null || fail "the game stopped after a shot: $(cat "$work/game.err")"
# The give-up loads the full magazine's picture too.
give_up "$game"
gone "Brizzlet!!! ~ Time Attack" || fail "the give-up left the game window shown"
sleep 0.5
kill -0 "$game_pid" 2>/dev/null || fail "the game stopped after the give-up: $(cat "$work/game.err")"
grep -qi 'LoadPicture\|fatal' "$work/game.err" && fail "error report: $(cat "$work/game.err")"

# EXIT ends it cleanly. After the round the menu slides in with steps of 150.
sleep 3
exit_game 110

finish install
