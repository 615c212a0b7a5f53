#!/usr/bin/env bash
# Real windows under Xvfb: starts its own X server on a free display, runs x11_probe (an
# edit line, a push button and a list box shown by the SDL backend), drives it with real X
# input from xdotool and the system clipboard through xclip, and checks what the program
# received, that the X screenshot of its window is exactly its own picture, and that the
# clipboard works both ways. Exits 77 (skipped) only when Xvfb is not installed.
#
#   x11_test.sh PATH/TO/x11_probe PATH/TO/x11_close PATH/TO/x11_vanishing_requestor
set -uo pipefail

usage="usage: x11_test.sh PATH/TO/x11_probe PATH/TO/x11_close PATH/TO/x11_vanishing_requestor"
probe=${1:?$usage}
close_window=${2:?$usage}
vanishing_requestor=${3:?$usage}
for tool in Xvfb xdotool xclip import compare; do
  if ! command -v "$tool" >/dev/null; then
    if [[ $tool == Xvfb ]]; then
      echo "SKIP: Xvfb is not installed (scripts/install-deps.sh installs it)"
      exit 77
    fi
    echo "FAIL: $tool is not installed (scripts/install-deps.sh installs it)"
    exit 1
  fi
done

work=$(mktemp -d "${TMPDIR:-/tmp}/xb-x11.XXXXXX")
xvfb_pid=""
probe_pid=""
cleanup() {
  [[ -n $probe_pid ]] && kill "$probe_pid" 2>/dev/null
  [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# A free display number: no lock file and no socket.
display=""
for n in $(seq 90 189); do
  if [[ ! -e /tmp/.X$n-lock && ! -e /tmp/.X11-unix/X$n ]]; then
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 50); do
      [[ -e /tmp/.X11-unix/X$n ]] && break
      kill -0 "$xvfb_pid" 2>/dev/null || break
      sleep 0.1
    done
    if [[ -e /tmp/.X11-unix/X$n ]] && kill -0 "$xvfb_pid" 2>/dev/null; then
      display=":$n"
      break
    fi
    wait "$xvfb_pid" 2>/dev/null
    xvfb_pid=""
  fi
done
if [[ -z $display ]]; then
  echo "FAIL: could not start Xvfb on any display from :90 to :189"
  cat "$work/xvfb.log"
  exit 1
fi
export DISPLAY=$display
# xdotool needs a UTF-8 locale to type umlauts; the probe reads its characters in it too.
export LANG=C.UTF-8 LC_ALL=C.UTF-8

# Debian's SDL 2.26 reads past the end of a key's text it converted with SDL_iconv_string
# (then copied with SDL_strlcpy) when a dead key composes; in sanitizer builds that report
# inside SDL is suppressed, any other one still ends the probe.
printf 'interceptor_via_lib:libSDL2-2.0.so.0\n' >"$work/asan.supp"
chmod 644 "$work/asan.supp"
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}suppressions=$work/asan.supp"

passed=0
failed=0
check() {  # check NAME CONDITION-COMMAND...
  local name=$1
  shift
  if "$@"; then
    passed=$((passed + 1))
    echo "ok: $name"
  else
    failed=$((failed + 1))
    echo "FAIL: $name"
  fi
}
logged() { grep -qxF -- "$1" "$work/probe.log"; }
# Waits (at most 5 s) for a line in the probe's log.
wait_for() {
  for _ in $(seq 100); do
    logged "$1" && return 0
    sleep 0.05
  done
  return 1
}

# Waits for a number of log lines that start with a text.
wait_for_count() {
  for _ in $(seq 100); do
    (($(grep -c "^$1" "$work/probe.log") >= $2)) && return 0
    sleep 0.05
  done
  return 1
}

"$probe" "$work/probe.log" "$work/own.png" >"$work/probe.out" 2>&1 &
probe_pid=$!
win=""
for _ in $(seq 100); do
  win=$(xdotool search --classname x11_probe 2>/dev/null | head -1)
  [[ -n $win ]] && break
  kill -0 "$probe_pid" 2>/dev/null || break
  sleep 0.05
done
if [[ -z $win ]]; then
  echo "FAIL: the probe's window did not appear"
  cat "$work/probe.out"
  exit 1
fi
# No window manager: give the window the keyboard ourselves.
xdotool windowfocus --sync "$win"
sleep 0.3

# Typing: "ä" arrives only as text input and becomes CP850 132.
xdotool type --delay 40 "aä1"
check "typed a, ä, 1 arrive as key codes 97, 132, 49" wait_for "key 49 sle"
check "the edit line holds aä1" logged "text aä1"
check "ä arrived as CP850 132" logged "key 132 sle"
# A character code page 850 cannot hold is refused, not turned into another one.
xdotool type --delay 40 "€"
xdotool key F4
check "F4 is 65651" wait_for "key 65651 sle"
check "€ was not typed" bash -c "! grep -q '^text .*€' '$work/probe.log' && ! grep -q '^text aä1.$' '$work/probe.log'"
xdotool key shift+Tab
check "Shift+Tab is 131081" wait_for "key 131081 sle"
xdotool key ctrl+Home
check "Ctrl+Home is 589860" wait_for "key 589860 sle"
xdotool key Escape
check "Esc is 27" wait_for "key 27 sle"

# Clipboard into the program: Shift+Ins pastes at the caret (Ctrl+Home put it first).
printf 'Grüße' | timeout 5 xclip -selection clipboard -i 2>/dev/null
xdotool key shift+Insert
check "Shift+Ins is 196653" wait_for "key 196653 sle"
check "the clipboard text was pasted as CP850" logged "text Grüßeaä1"
# And out of it: mark all (Ctrl+A), copy (Ctrl+Ins), read back with xclip.
xdotool key ctrl+a ctrl+Insert
wait_for "key 589869 sle" >/dev/null
copied=$(timeout 5 xclip -selection clipboard -o 2>/dev/null)
check "copied text read back with xclip: '$copied'" test "$copied" = "Grüßeaä1"
# Programs that ask for the clipboard and quit before the answer arrives: the answer names
# a window that is gone, which must not end the program.
"$vanishing_requestor" 20
requestors_answered() { sleep 0.5; kill -0 "$probe_pid" 2>/dev/null; }
check "requestors that quit early do not end the program" requestors_answered

# What the window shows is the program's own picture, pixel for pixel.
xdotool key F9
check "F9 wrote the program's picture" wait_for "picture"
sleep 0.2
import -window "$win" "$work/x.png"
diff_pixels=$(compare -metric AE "$work/x.png" "$work/own.png" null: 2>&1)
check "X screenshot matches the program's picture ($diff_pixels pixels differ)" test "$diff_pixels" = "0"

# Mouse. The window shows the drawing area (412 x 288); the list box's lower-left corner
# is at (240, 20), it is 160 x 240 with items 16 high; the button is at (10, 200), 120 x 28.
xdotool mousemove --window "$win" 280 54 click --repeat 2 --delay 80 1
check "a double click on item 2 selects it" wait_for "selected 2"
check "the first click marked it" logged "marked 2"
# The wheel scrolls the list under the pointer, three rows a notch (button 5: towards
# the user, button 4: away).
xdotool mousemove --window "$win" 300 150 click 5
check "a wheel notch down scrolls the list to item 4" wait_for "wheel top 4"
xdotool click 4
check "a notch up scrolls it back" wait_for "wheel top 1"
xdotool mousemove --window "$win" 70 74 click 1
check "a click on the button activates it" wait_for "activate"

# The button opened a modal message box in a window of its own. Closing the main window
# (as a window manager's close button does) is refused while the box runs; closing the
# box answers it.
box=""
for _ in $(seq 100); do
  box=$(xdotool search --classname x11_probe 2>/dev/null | grep -vx "$win" | head -1)
  [[ -n $box ]] && break
  sleep 0.05
done
check "the message box has a window of its own" test -n "$box"
"$close_window" "$win"
sleep 0.5
check "closing the main window while the box runs is refused" bash -c "! grep -qx close '$work/probe.log' && ! grep -qx 'msgbox done' '$work/probe.log'"
check "the program still runs" kill -0 "$probe_pid"
[[ -n $box ]] && "$close_window" "$box"
check "closing the box answers it" wait_for "msgbox done"

# The keyboard is back with the main window (the box gave it back). The X server moves the
# focus when the program asks, which under load can be after the box has answered.
focus_on_main() {
  for _ in $(seq 100); do
    [[ $(xdotool getwindowfocus 2>/dev/null) == "$win" ]] && return 0
    sleep 0.05
  done
  return 1
}
check "the main window has the keyboard again" focus_on_main
xdotool key F4
check "keys reach the main window again after the box" wait_for_count "key 65651 " 2

# Clipboard contents the program cannot take paste nothing: an image, and text with a
# character code page 850 cannot hold.
xdotool mousemove --window "$win" 30 36 click 1  # into the edit line
last_text() { grep '^text ' "$work/probe.log" | tail -1; }
# Presses Shift+Ins and waits until the edit line has handled it.
paste_into_line() {
  local before
  before=$(grep -c '^key 196653 sle' "$work/probe.log")
  xdotool key shift+Insert
  for _ in $(seq 100); do
    (($(grep -c '^key 196653 sle' "$work/probe.log") > before)) && return
    sleep 0.05
  done
}
timeout 5 xclip -selection clipboard -t image/png -i "$work/own.png" 2>/dev/null
paste_into_line
check "an image on the clipboard pastes nothing ($(last_text))" test "$(last_text)" = "text Grüßeaä1"
printf '5 €uro' | timeout 5 xclip -selection clipboard -i 2>/dev/null
paste_into_line
check "text with € pastes nothing ($(last_text))" test "$(last_text)" = "text Grüßeaä1"
check "and says why" grep -q "code page 850" "$work/probe.out"

# A drag across the edit line marks its text; typing replaces the marking.
xdotool mousemove --window "$win" 12 37 mousedown 1
xdotool mousemove --window "$win" 120 37 mousemove --window "$win" 226 37 mouseup 1
xdotool type --delay 40 "x"
check "a drag across the edit line marked all of it ($(last_text))" wait_for "text x"
# Dead keys compose through the input method: dead acute, e is é (CP850 130).
xdotool key dead_acute e
check "dead acute then e is é, CP850 130 ($(last_text))" wait_for "text xé"
check "é arrived as one key" logged "key 130 sle"

# A right click on the list opens a popup menu in a window of its own, where the click
# was; its keys work it: Down to the first item and Enter chooses it, Esc leaves it.
xdotool mousemove --window "$win" 300 150 click 3
menu_win=""
for _ in $(seq 100); do
  menu_win=$(xdotool search --classname x11_probe 2>/dev/null | grep -vx "$win" | grep -vx "${box:-none}" | head -1)
  [[ -n $menu_win ]] && break
  sleep 0.05
done
check "the popup menu has a window of its own" test -n "$menu_win"
if [[ -n $menu_win ]]; then
  eval "$(xdotool getwindowgeometry --shell "$menu_win")"
  main_x=$(xdotool getwindowgeometry --shell "$win" | sed -n 's/^X=//p')
  check "the menu opens where the click was (x $X = window x $main_x + 300)" test "$X" = $((main_x + 300))
fi
xdotool key Down Return
check "Down and Enter choose item 1" wait_for "menu 1"
xdotool mousemove --window "$win" 300 150 click 3
sleep 0.3
xdotool key Escape
check "Esc leaves the menu without a choice" wait_for "menu 0"

# Alt+F4 (a key: there is no window manager) is the dialog's close event.
xdotool key alt+F4
check "Alt+F4 closes the dialog" wait_for "close"
check "the program ended its loop" wait_for "exit"
for _ in $(seq 100); do
  kill -0 "$probe_pid" 2>/dev/null || break
  sleep 0.05
done
if kill -0 "$probe_pid" 2>/dev/null; then
  check "the program exits" false
else
  wait "$probe_pid"
  rc=$?
  probe_pid=""
  check "the program exits with 0 (got $rc)" test "$rc" = 0
fi

# Xlib's compose table from its cache: a user's first start parses the Compose file and
# leaves the cache under ~/.cache/quorvel/compose, the next start maps it; umlauts and dead
# keys compose either way. Xlib keeps no cache for root, so as root the probe runs as nobody.
home="$work/home"
mkdir -p "$home"
runner=()
if (($(id -u) == 0)); then
  if command -v setpriv >/dev/null && id nobody >/dev/null 2>&1; then
    chmod 711 "$work"
    chown nobody: "$home"
    runner=(setpriv --reuid=nobody --regid="$(id -g nobody)" --clear-groups)
  else
    home=""
    echo "note: as root without setpriv the compose cache is not checked"
  fi
fi
cached_start() {  # cached_start N: types dead acute, e and ä into a fresh probe, closes it
  local log="$home/probe$1.log" pid w=""
  "${runner[@]}" env -u XCOMPOSECACHE -u XDG_CACHE_HOME HOME="$home" \
    "$probe" "$log" "$home/own$1.png" >"$work/probe$1.out" 2>&1 &
  pid=$!
  for _ in $(seq 100); do
    w=$(xdotool search --classname x11_probe 2>/dev/null | head -1)
    [[ -n $w ]] && break
    sleep 0.05
  done
  if [[ -n $w ]]; then
    xdotool windowfocus --sync "$w"
    sleep 0.3
    xdotool key dead_acute e
    xdotool type --delay 40 "ä"
    for _ in $(seq 100); do
      grep -qxF "text éä" "$log" 2>/dev/null && break
      sleep 0.05
    done
    xdotool key alt+F4
  fi
  for _ in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.05
  done
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  grep -qxF "text éä" "$log" 2>/dev/null
}
if [[ -n $home ]]; then
  check "first start of a user: dead acute e and ä compose" cached_start 1
  cache_file=$(find "$home/.cache/quorvel/compose" -type f -size +1k 2>/dev/null | head -1)
  check "Xlib left its compose cache in ~/.cache/quorvel/compose" test -n "$cache_file"
  check "next start with the cache: dead acute e and ä compose" cached_start 2
  # A user's own cache directory is left to Xlib as it is.
  rm -rf "$home/.cache"
  mkdir -m 700 "$home/.compose-cache"
  [[ ${#runner[@]} -gt 0 ]] && chown nobody: "$home/.compose-cache"
  check "with ~/.compose-cache: dead acute e and ä compose" cached_start 3
  check "Xlib cached into ~/.compose-cache, not ours" bash -c \
    "[[ -n \$(find '$home/.compose-cache' -type f -size +1k) && ! -e '$home/.cache/quorvel' ]]"
fi

if ((failed)); then
  echo "--- probe log"
  cat "$work/probe.log"
  echo "--- probe output"
  cat "$work/probe.out"
fi
echo "$passed passed, $failed failed"
((failed == 0))
