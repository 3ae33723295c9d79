# SPDX-License-Identifier: CC-BY-SA-4.0
# Sound recipes for tools/make-assets, which sources this file. Each function
# writes one WAV file, 22050 Hz, 16-bit mono, with sox. -R keeps the noise
# generators on a fixed seed, so the same recipe always gives the same bytes.

# The gun shot, 0.6 s: a crack of hiss, a burst of noise that dies away
# quickly, and a falling thump underneath; driven a little and given a short
# room.
make_gun() {
  sox -R -m \
    -v 0.45 "|sox -R -n -p synth 0.4 whitenoise lowpass 3500 fade l 0 0.4 0.39" \
    -v 0.55 "|sox -R -n -p synth 0.28 sine 150:40 fade l 0 0.28 0.26" \
    -v 0.35 "|sox -R -n -p synth 0.025 whitenoise gain -6 highpass 2000 fade 0 0.025 0.02" \
    -r 22050 -c 1 -b 16 "$1" \
    overdrive 10 10 pad 0 0.2 reverb 25 50 40 gain -n -1 fade 0 0.6 0.15
}

# The reload, 0.5 s: the gate clicks open, the cylinder ratchets round for a
# quarter second, and the gate snaps shut with a small ring.
make_reload() {
  sox -R -m \
    -v 0.6 "|sox -R -n -p synth 0.03 square 1900 synth 0.03 whitenoise amod gain -6 fade 0 0.03 0.025 highpass 1200" \
    -v 0.5 "|sox -R -n -p synth 0.26 pinknoise bandpass 3200 1.2q tremolo 38 90 fade h 0.04 0.26 0.06 pad 0.07" \
    -v 0.8 "|sox -R -n -p synth 0.05 square 1300 synth 0.05 whitenoise amod gain -6 fade 0 0.05 0.045 highpass 700 pad 0.36" \
    -v 0.5 "|sox -R -n -p synth 0.08 sine 2600 fade l 0 0.08 0.075 pad 0.365" \
    -r 22050 -c 1 -b 16 "$1" \
    gain -n -1 pad 0 0.05
}
