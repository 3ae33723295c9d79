#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The media players for real, heard through SDL's disk audio driver: every
# sample the mixer produces lands in a raw file, which sox measures.
#   audio.sh SOUND_PROBE ASSETS_DIR [RENDERED_PROBE RENDERING [SYNTHESIZER]]
# Uses the game's gun.wav and backsound.mid when they are there, small
# generated ones when not. RENDERED_PROBE is the probe of a build with no
# synthesizer and no sound thread, and RENDERING the music it plays, made
# from the game's backsound.mid. With the game's brizzlet-synth, the music
# alone is measured against it.
set -euo pipefail
probe=$(realpath "$1")
assets=$(realpath -m "$2")
rendered_probe=${3:+$(realpath "$3")}
rendering=${4:+$(realpath "$4")}
synth=${5:+$(realpath "$5")}
source "$(dirname "$(realpath "$0")")/xvfb.sh"
command -v sox >/dev/null || skip "sox is not installed"
[ -x /usr/bin/time ] || skip "GNU time is not installed"
scratch audio
cd "$work"

gun=$assets/gun.wav
reload=$assets/reload.wav
music=$assets/backsound.mid
[ -f "$gun" ] || { gun=$work/gun.wav; sox -V1 -n -r 44100 -c 1 "$gun" synth 0.25 noise fade 0 0.25 0.2; }
[ -f "$reload" ] || reload=""
[ -f "$music" ] || music=""
# Half a second of middle C on the piano, then the end of the piece.
printf 'MThd\x00\x00\x00\x06\x00\x00\x00\x01\x00\x60MTrk\x00\x00\x00\x0f' >note.mid
printf '\x00\xc0\x00\x00\x90\x3c\x64\x60\x80\x3c\x40\x00\xff\x2f\x00' >>note.mid
[ -n "$music" ] || music=$work/note.mid

# run OUTPUT STEP... : the probe's steps, heard into OUTPUT.raw; its stderr
# into OUTPUT.err, without the disk driver's own notices.
run() {
  local out=$1
  shift
  # A mixer that never wakes again would hang the probe at its exit; SDL
  # takes SIGTERM for a request to quit, which the probe never reads.
  SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=$work/$out.raw timeout -k 5 60 "$probe" "$@" 2>"$out.all" ||
    fail "the probe failed or hung (status $?) on: $*"
  grep -v '^CRITICAL' "$out.all" >"$out.err" || true
}

# rms FILE START LENGTH : the RMS amplitude of a stretch, in seconds; a START
# of -N is N seconds before the end. On a loaded machine the disk driver can
# fall behind the clock, so the marks are given with room to spare.
rms() {
  sox -t raw -r 44100 -e signed -b 16 -c 2 "$1" -n trim "$2" "$3" stat 2>&1 |
    awk '/RMS +amplitude/ { print $3 }'
}
# sounds FILE : each stretch of sound in a recording, "START END" in seconds;
# a silence shorter than 0.1 s does not split a sound in two.
sounds() {
  od -An -v -tx1 -w4 "$1" | awk '
    !/00 00 00 00$/ { if (start && NR - end > 4410) { print start / 44100, end / 44100; start = 0 }
                      if (!start) start = NR; end = NR }
    END { if (start) print start / 44100, end / 44100 }'
}
loud() { awk -v v="$1" 'BEGIN { exit !(v > 0.005) }'; }
silent() { awk -v v="$1" 'BEGIN { exit !(v < 0.0005) }'; }
# onset FILE : when the first sound in a recording starts, in seconds: the
# soundfont's loading delays the music by a varying time.
onset() {
  (od -An -v -tx1 -w4 "$1" || true) | { grep -n -v -m1 '00 00 00 00$' || true; } |
    awk -F: '{ print ($1 - 1) / 44100 }'
}
# same_loudness RMS RMS : within 1 dB of each other.
same_loudness() { awk -v a="$1" -v b="$2" 'BEGIN { d = 20 * log(a / b) / log(10); exit !(d < 1 && d > -1) }'; }

# A shot sounds. (That it sounds at once is the mixer's 512-sample chunk,
# 12 ms; the disk driver's timeline is too loose on a loaded machine to
# measure it here.)
# Alone, it is as loud as its file.
run shot open 1 "$gun" wait 900
v=$(rms shot.raw "$(onset shot.raw)" "$(soxi -D "$gun")")
file=$(sox "$gun" -n stat 2>&1 | awk '/RMS +amplitude/ { print $3 }')
loud "$v" && same_loudness "$v" "$file" || fail "the gun shot's RMS is $v, its file's $file"
[ ! -s shot.err ] || fail "the gun shot wrote to stderr: $(cat shot.err)"

# The music plays through the General MIDI soundfont, alone as loud as the
# synthesizer makes it.
run music open 2 "$music" wait 2500
v=$(rms music.raw "$(onset music.raw)" 1.0)
loud "$v" || fail "the music is silent (RMS $v)"
if [ -n "$synth" ]; then
  "$synth" 44100 <"$music" | perl -e 'binmode STDIN; read STDIN, $_, 12;
    while (read(STDIN, $n, 4) == 4 && ($n = unpack "L", $n)) { read STDIN, $_, 4 * $n; print }
    1 while read STDIN, $_, 4096' >piece.raw || fail "the synthesizer failed on $music"
  made=$(rms piece.raw "$(onset piece.raw)" 1.0)
  same_loudness "$v" "$made" || fail "the music's RMS is $v, the synthesizer's $made"
fi

# Shots and the reload cue over the music: hundreds of samples clipped when
# the mixer summed them as they came. A sound alone keeps its loudness, above.
volley=()
for n in 1 2 3 4 5; do volley+=(open 1 "$gun" wait 120); done
volley+=(open 1 "${reload:-$gun}" wait 600)
run mix open 2 "$music" wait 1000 "${volley[@]}" "${volley[@]}" "${volley[@]}" "${volley[@]}"
clipped=$(od -An -v -td2 -w2 mix.raw | awk '$1 >= 32767 || $1 <= -32768 { n++ } END { print n + 0 }')
[ "$clipped" -eq 0 ] || fail "$clipped samples clipped in shots over the music"

# Stop halts it; play after a stop starts it again.
run stopped open 2 "$music" wait 800 stop 2 wait 1700 play 2 wait 1000
v=$(rms stopped.raw 1.3 0.4)
silent "$v" || fail "the music goes on after stop (RMS $v)"
v=$(rms stopped.raw -0.5 0.5)
loud "$v" || fail "play after stop is silent (RMS $v)"

# Play on a playing piece changes nothing: from its first note on, the very
# same samples as without it (the piece starts a few chunks into each file).
# A stop and a play there does change them, which shows the comparison works.
from_first_sound() {
  local frame
  frame=$(od -An -v -tx1 -w4 "$1" | grep -n -v -m1 '00 00 00 00$' | cut -d: -f1)
  tail -c +$(((frame - 1) * 4 + 1)) "$1" | head -c 529200 # 3 s
}
run straight open 2 "$music" wait 5000
run replayed open 2 "$music" wait 2000 play 2 wait 3000
run restarted open 2 "$music" wait 2000 stop 2 play 2 wait 3000
cmp -s <(from_first_sound straight.raw) <(from_first_sound replayed.raw) ||
  fail "play on a playing piece changed what plays"
! cmp -s <(from_first_sound straight.raw) <(from_first_sound restarted.raw) ||
  fail "stop and play in the middle of the piece changed nothing"

# Play on a piece that has ended starts it again from its beginning, as soon
# as the piece's own length has passed: here 3 s after its last note, when
# the synthesizer alone still counts it playing (for 2 to 3 s after the last
# voice, and a cymbal's voice lives on for seconds below hearing).
run ended open 2 note.mid wait 3500 play 2 wait 1000
v=$(rms ended.raw "$(awk -v t="$(onset ended.raw)" 'BEGIN { print t + 1.0 }')" 0.5)
silent "$v" || fail "the short piece did not end (RMS $v)"
v=$(rms ended.raw -0.8 0.8)
loud "$v" || fail "play after the end is silent (RMS $v)"

# With nothing playing for 2 s the audio thread rests, and the disk driver
# records nothing meanwhile: a shot asked for then is heard right after those
# 2 s of silence in the recording, as promptly as from a mixer awake (a
# 12 ms chunk), and the program still exits at once.
sox -V1 -n -r 44100 -c 1 beep.wav synth 0.2 sine 440
started=$EPOCHREALTIME
run rested open 1 beep.wav wait 4500 open 1 beep.wav wait 500
took=$(awk -v a="$started" -v b="$EPOCHREALTIME" 'BEGIN { print b - a }')
awk -v t="$took" 'BEGIN { exit !(t < 6.5) }' || fail "the program at rest took $took s to exit"
sounds rested.raw >rested.sounds
[ "$(wc -l <rested.sounds)" -eq 2 ] || fail "not two shots after a rest: $(cat rested.sounds)"
gap=$(awk 'NR == 1 { end = $2 } NR == 2 { print $1 - end }' rested.sounds)
awk -v g="$gap" 'BEGIN { exit !(g > 1.95 && g < 2.3) }' ||
  fail "the silence before the shot after a rest lasts $gap s, not 2 s and a chunk or so"

# The music after a rest: play starts the ended piece again.
run rested_music open 2 note.mid wait 7000 play 2 wait 1000
v=$(rms rested_music.raw -0.8 0.8)
loud "$v" || fail "play after a rest is silent (RMS $v)"
[ "$(stat -c %s rested_music.raw)" -lt $((44100 * 4 * 7)) ] ||
  fail "the mixer did not rest in 7 s of silence"

# A sound file changed mid-game plays as it is now, decoded before or not;
# one removed then fails, said once.
sox -V1 -D -n -r 44100 -c 1 hush.wav synth 0.2 sine 440 vol 0
cp beep.wav shot.wav
run changed open 1 shot.wav wait 500 copy hush.wav shot.wav open 1 shot.wav wait 500 \
  copy beep.wav shot.wav open 1 shot.wav wait 500 remove shot.wav open 1 shot.wav open 1 shot.wav
[ "$(sounds changed.raw | wc -l)" -eq 2 ] || fail "a changed sound file: $(sounds changed.raw)"
[ "$(wc -l <changed.err)" -eq 1 ] && grep -q '"shot.wav": No such file' changed.err ||
  fail "a sound file removed mid-game: $(head -3 changed.err)"

# What is no sound file, however often it is asked for: silence, and one line
# each with the reason in plain words. What is no file, or far larger than
# any sound, is refused before it is read: a named pipe held the sound thread,
# and the probe's exit, for good; /dev/zero was read until the memory ran out.
: >empty.wav
mkdir -p dir.wav
mkfifo fifo.wav
ln -s /dev/zero zero.mid
truncate -s 65M huge.wav
run bad open 1 /no/such/dir/gun.wav play 1 open 1 /no/such/dir/gun.wav open 1 empty.wav \
  open 1 dir.wav open 1 fifo.wav open 2 zero.mid open 1 huge.wav wait 200
for reason in '"/no/such/dir/gun.wav": No such file' '"empty.wav": the file is empty' \
  '"dir.wav": it is a directory' '"fifo.wav": it is a named pipe' '"zero.mid": it is a device' \
  '"huge.wav": the file is larger'; do
  grep -q "$reason" bad.err || fail "not said: $reason: $(head -8 bad.err)"
done
[ "$(wc -l <bad.err)" -eq 6 ] || fail "what is no sound file: $(wc -l <bad.err) lines: $(head -8 bad.err)"
v=$(rms bad.raw 0 0.2)
silent "$v" || fail "what is no sound file made a sound (RMS $v)"

# The decoded sounds kept are bounded in bytes: nine different files of 1 MB,
# each 21 MB once decoded, took the probe to 460 MB when the last eight were
# all kept (110 MB now).
sox -V1 -n -r 8000 -b 8 -c 1 big1.wav synth 120 noise
many=(open 1 big1.wav wait 20)
for n in 2 3 4 5 6 7 8 9; do
  cp big1.wav big$n.wav
  printf "\\x$n$n" | dd of=big$n.wav bs=1 seek=4000 conv=notrunc status=none
  many+=(open 1 big$n.wav wait 20)
done
SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=/dev/null /usr/bin/time -f %M -o many.kb "$probe" "${many[@]}" \
  2>/dev/null || fail "the probe failed on nine large sounds"
sanitized "$probe" || [ "$(tail -1 many.kb)" -lt 200000 ] || fail "nine large sounds took $(tail -1 many.kb) kB"

# A MIDI file cut short, and a soundfont that is none: one line each, naming
# the file, however often the music is asked for; nothing of the libraries'.
head -c 30 note.mid >cut.mid
run cut open 2 cut.mid wait 300 play 2 wait 300 play 2 open 2 cut.mid wait 300 play 2
[ "$(wc -l <cut.err)" -eq 1 ] && grep -q 'cut.mid.*cut short' cut.err ||
  fail "a cut MIDI file: $(head -5 cut.err)"
SDL_SOUNDFONTS=$work/note.mid run badfont open 2 "$music" wait 300 play 2 open 2 "$music"
[ "$(wc -l <badfont.err)" -eq 1 ] && grep -q 'no music.*note.mid' badfont.err ||
  fail "a soundfont that is none: $(head -5 badfont.err)"

# A build with no synthesizer and no sound thread plays the music rendered
# when it was built: the same tune as the synthesizer plays, sample for
# sample but for the codec's loss, as loud within 1 dB. Either piece starts
# at the first mixer chunk (512 frames) that sounds: 4 s of each from there.
if [ -n "$rendered_probe" ]; then
  mkdir -p rendered changed unrendered
  cp "$assets/backsound.mid" rendered/
  cp "$rendering" rendered/backsound.mid.ogg
  run synthesized open 2 rendered/backsound.mid wait 6000
  probe=$rendered_probe run from_rendering open 2 rendered/backsound.mid wait 6000
  [ ! -s from_rendering.err ] || fail "the rendered music wrote to stderr: $(cat from_rendering.err)"
  mono() {
    local start
    start=$( (od -An -v -td2 -w4 "$1" || true) | awk '$0 !~ /^ +0 +0$/ { print NR - 1; exit }')
    od -An -v -td2 -w4 -j $((start / 512 * 512 * 4)) -N $((4 * 44100 * 4)) "$1" |
      awk '{ print $1 + $2 }'
  }
  mono synthesized.raw >synthesized.mono
  mono from_rendering.raw >from_rendering.mono
  read -r db correlation < <(awk 'NR == FNR { a[n++] = $1; next } { b[m++] = $1 }
    END {
      if (n < 44100 || m < n) { print "none none"; exit }
      for (i = 0; i < n; ++i) {
        x = a[i]; y = b[i]
        sa += x; sb += y; sab += x * y; saa += x * x; sbb += y * y
      }
      print 10 * log(sbb / saa) / log(10),
        (sab - sa * sb / n) / sqrt((saa - sa * sa / n) * (sbb - sb * sb / n))
    }' synthesized.mono from_rendering.mono)
  awk -v d="$db" 'BEGIN { exit !(d > -1 && d < 1) }' ||
    fail "the rendered music is not as loud as the synthesized: $db dB apart"
  awk -v c="$correlation" 'BEGIN { exit !(c > 0.9) }' ||
    fail "the rendered music is not the synthesized tune: correlation $correlation"
  note "the rendered music against the synthesized: $db dB, correlation $correlation"

  # A MIDI file other than the one rendered, one with no rendering, and one
  # whose rendering is cut short: one line each, whatever is asked of them,
  # and silence.
  cp note.mid changed/backsound.mid
  cp "$rendering" changed/backsound.mid.ogg
  cp "$assets/backsound.mid" unrendered/
  cp "$assets/backsound.mid" rendered/cut.mid
  head -c 100000 "$rendering" >rendered/cut.mid.ogg
  probe=$rendered_probe run wrong_music open 2 changed/backsound.mid play 2 wait 300 \
    open 2 changed/backsound.mid open 1 unrendered/backsound.mid play 1 open 1 rendered/cut.mid wait 300
  [ "$(wc -l <wrong_music.err)" -eq 3 ] &&
    grep -q '"changed/backsound.mid": the file is not the music its rendering "backsound.mid.ogg" was made from' wrong_music.err &&
    grep -q '"unrendered/backsound.mid": its rendering "backsound.mid.ogg" cannot be read: No such file' wrong_music.err &&
    grep -q '"rendered/cut.mid": its rendering "cut.mid.ogg" is cut short' wrong_music.err ||
    fail "MIDI files changed since rendered, never rendered, or cut short: $(head -5 wrong_music.err)"
  v=$(rms wrong_music.raw 0 0.6)
  silent "$v" || fail "a MIDI file with no rendering of its own made a sound (RMS $v)"
fi

# ALSA with no card to open: its own complaints stay off stderr.
SDL_AUDIODRIVER=alsa "$probe" open 1 "$gun" 2>alsa.err || true
[ "$(wc -l <alsa.err)" -le 1 ] && ! grep -q '^ALSA lib' alsa.err ||
  fail "ALSA's own lines on stderr: $(head -3 alsa.err)"

finish audio
