# Helpers for driving the real windows on a private X server. Sourced by the
# end-to-end scripts; every position they take is in pixels of a window's
# client area, found from the window's on-screen geometry.

for tool in Xvfb xdotool import convert; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
note() { echo "-- $*"; }

# start_xvfb DIR : a 1024 x 768 X server on a free display, stopped on exit.
start_xvfb() {
  local dir=$1
  Xvfb -displayfd 9 -screen 0 1024x768x24 -nolisten tcp 9>"$dir/display" 2>"$dir/xvfb.log" &
  xvfb_pid=$!
  for _ in $(seq 100); do
    [ -s "$dir/display" ] && break
    sleep 0.05
  done
  [ -s "$dir/display" ] || { echo "SKIP: Xvfb did not start: $(cat "$dir/xvfb.log")"; exit 77; }
  export DISPLAY=:$(cat "$dir/display")
}

# The processes this script started, stopped on its exit by their own ids.
started_pids=()
stop_all() {
  for pid in "${started_pids[@]}" ${xvfb_pid:-}; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
}

# window NAME [SECONDS] : the id of the shown window titled exactly NAME.
window() {
  local name=$1 deadline=$((SECONDS + ${2:-10})) id
  while [ $SECONDS -le $deadline ]; do
    id=$(xdotool search --onlyvisible --name "^${name}\$" 2>/dev/null | head -1) || true
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.05
  done
  return 1
}

# gone NAME [SECONDS] : waits until no window titled NAME shows.
gone() {
  local name=$1 deadline=$((SECONDS + ${2:-10}))
  while [ $SECONDS -le $deadline ]; do
    xdotool search --onlyvisible --name "^${name}\$" >/dev/null 2>&1 || return 0
    sleep 0.05
  done
  return 1
}

# geometry ID : sets X Y WIDTH HEIGHT of the window's client area.
geometry() { eval "$(xdotool getwindowgeometry --shell "$1")"; }

# click ID X Y : one left click at a point of the window's client area.
click() {
  geometry "$1"
  xdotool mousemove --sync $((X + $2)) $((Y + $3)) click 1
}

# shot NAME : the whole screen, kept as NAME.png among the artefacts.
shot() { import -window root "$artefacts/$1.png"; }

# colour SHOT ID X Y : the colour at a point of a window in a screenshot, as
# RRGGBB.
colour() {
  geometry "$2"
  convert "$artefacts/$1.png" -format "%[hex:p{$((X + $3)),$((Y + $4))}]" info: | cut -c1-6
}

# count SHOT ID X Y W H FX : how many pixels of a box of a window match an fx
# condition on r, g, b (0 to 1), such as "r>0.7&&g<0.4&&b<0.4" for red.
count() {
  geometry "$2"
  convert "$artefacts/$1.png" -crop "$5x$6+$((X + $3))+$((Y + $4))" +repage \
    -fx "($7)?1:0" -format "%[fx:round(mean*w*h)]" info:
}
