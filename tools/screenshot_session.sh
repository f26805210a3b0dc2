# Sourced by the screenshot scripts: a private Xvfb and Wine prefix for this run (stopped on
# exit), the end-to-end helpers (tests/e2e/lib.sh), and helpers for taking pictures of windows.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
state=$(mktemp -d)
bash "$root/tests/e2e/fixture_start.sh" "$state" >/dev/null
trap 'bash "$root/tests/e2e/fixture_stop.sh" "$state"; rm -rf "$state"' EXIT
export E2E_STATE=$state KALBOOK_EXE=$root/build/win/kalbook.exe KALDRIVER=$root/build/win/kaldriver.exe
export KALHOST=$root/build/win/kalhost.exe
source "$root/tests/e2e/lib.sh"
trap 'stop_started; bash "$root/tests/e2e/fixture_stop.sh" "$state"; rm -rf "$state"' EXIT

# Crops a window's client area and $4 pixels above it for a menu bar (without a window manager
# nobody draws the frames and captions).
crop() {
  local w h x y above=${4:-0}
  read -r w h x y <<< "$(driver client "$2")"
  convert "$1" -crop "${w}x$((h + above))+${x}+$((y - above))" +repage "$3"
}

# Rests the pointer on the main window $1's "new group" button until its tooltip shows.
show_tooltip() {
  local toolbar l t r b
  toolbar=$(driver find-child "$1" ToolBarClass)
  read -r l t r b <<< "$(driver rect "$(driver child "$toolbar" 182)")"
  xdotool mousemove $(( (l + r) / 2 )) $(( (t + b) / 2 ))
  wait_for '[ "$(driver count tooltips_class32 -)" -ge 1 ]' 25 || echo "no tooltip showed" >&2
  sleep 0.5
}
