#!/usr/bin/env bash
# Takes a screenshot of a program's first window in a real X server (its own Xvfb):
#   x11_screenshot.sh OUT.png PROGRAM [ARGS...]
# The picture is what the window shows (the system frame is not part of it: there is no
# window manager). Used for the pictures in the README and docs/.
set -uo pipefail
out=${1:?usage: x11_screenshot.sh OUT.png PROGRAM [ARGS...]}
shift
for tool in Xvfb xdotool import; do
  command -v "$tool" >/dev/null || { echo "x11_screenshot: $tool is not installed (scripts/install-deps.sh)"; exit 1; }
done
work=$(mktemp -d "${TMPDIR:-/tmp}/xb-shot.XXXXXX")
xvfb_pid="" prog_pid=""
cleanup() {
  [[ -n $prog_pid ]] && kill "$prog_pid" 2>/dev/null
  [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
for n in $(seq 190 289); do
  [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] && continue
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 50); do [[ -e /tmp/.X11-unix/X$n ]] && break; sleep 0.1; done
  if [[ -e /tmp/.X11-unix/X$n ]]; then export DISPLAY=":$n"; break; fi
  kill "$xvfb_pid" 2>/dev/null; xvfb_pid=""
done
[[ -n ${DISPLAY:-} && -n $xvfb_pid ]] || { echo "x11_screenshot: could not start Xvfb"; exit 1; }
export LANG=C.UTF-8
"$@" >"$work/out.log" 2>&1 &
prog_pid=$!
win=""
for _ in $(seq 100); do
  win=$(xdotool search --pid "$prog_pid" 2>/dev/null | head -1)
  [[ -n $win ]] && break
  sleep 0.05
done
[[ -n $win ]] || { echo "x11_screenshot: no window appeared"; cat "$work/out.log"; exit 1; }
sleep 0.5  # let it draw
import -window "$win" "$out" && echo "x11_screenshot: wrote $out"
