#!/usr/bin/env bash
# Starts cyclar as a user would, on a virtual X display, and clicks through the whole page chain
# with xdotool: title page (clip playing), Circular View, Help, Continue, Submit, Animate, the
# view slider, Stop, Back, Exit. Each step checks that the expected window appears and takes a
# screenshot; the animation picture must change between ticks and stand still after Stop.
# Usage: scripts/e2e.sh [path/to/cyclar] [screenshot folder]
set -euo pipefail
cd "$(dirname "$0")/.."
program=${1:-build/release/app/cyclar}
shots=${2:-build/e2e}
program=$(realpath "$program")
mkdir -p "$shots"
shots=$(realpath "$shots")

if [[ ${CYCLAR_E2E_INNER:-} != 1 ]]; then
  scripts/install-deps.sh test
  export CYCLAR_E2E_INNER=1
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$program" "$shots"
fi

log=$shots/cyclar.log
step() { echo "--- $*"; }
fail() {
  echo "FAILED: $*" >&2
  import -window root "$shots/failure.png" 2>/dev/null || true
  echo "program output:" >&2
  cat "$log" >&2 || true
  exit 1
}
# A screenshot of the screen, or of one window when its id is given.
shot() { import -window "${2:-root}" "$shots/$1.png"; }

# Fails unless the window manager reads exactly this caption (_NET_WM_NAME, which Qt would
# extend with an application display name, and the old WM_NAME).
caption() {
  local net old
  net=$(xprop -id "$1" _NET_WM_NAME 2>/dev/null || true)
  old=$(xprop -id "$1" WM_NAME 2>/dev/null || true)
  [[ $net == "_NET_WM_NAME(UTF8_STRING) = \"$2\"" ]] || fail "caption of \"$2\" reads: $net"
  [[ $old == "WM_NAME("*") = \"$2\"" ]] || fail "WM_NAME of \"$2\" reads: $old"
}
# Waits for a visible window with exactly this title; checks its caption and prints its id.
window() {
  local id
  for _ in $(seq 1 600); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | tail -n 1 || true)
    if [[ -n $id ]]; then
      caption "$id" "$1"
      echo "$id"
      return 0
    fi
    sleep 0.1
  done
  fail "no window \"$1\""
}
gone() {
  for _ in $(seq 1 600); do
    xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  fail "window \"$1\" did not close"
}

# Bounding box (x y w h) of the pixels of one exact colour in a screenshot of the screen.
box() {
  local found
  import -window root /tmp/cyclar-e2e-screen.png
  found=$(convert /tmp/cyclar-e2e-screen.png -alpha off -fill black +opaque "$1" \
    -fill white -opaque "$1" -format "%@" info: 2>/dev/null)
  [[ $found =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]] || return 1
  [[ ${BASH_REMATCH[1]} -lt 1280 ]] || return 1
  echo "${BASH_REMATCH[3]} ${BASH_REMATCH[4]} ${BASH_REMATCH[1]} ${BASH_REMATCH[2]}"
}
# Clicks the middle of the word drawn in this colour (the pages' picture buttons).
click_word() {
  local b
  b=$(box "$1") || fail "no $2 on the screen"
  read -r x y w h <<<"$b"
  xdotool mousemove $((x + w / 2)) $((y + h / 2)) click 1
}
key() {
  xdotool windowfocus "$1" 2>/dev/null || true
  sleep 0.2
  xdotool key "$2"
}
# The picture of the animation page: its top-left 480 x 480 pixels.
picture() {
  local g
  g=$(xdotool getwindowgeometry --shell "$1")
  eval "$g"
  import -window root -crop "480x480+$X+$Y" +repage "$2"
}
# Replaces the focused field's text on the dimensions page with a word that is no number and
# submits it.
submit_no_number() {
  key "$1" ctrl+a
  xdotool type --delay 50 "x"
  click_word "rgb(248,13,30)" "Submit"
}
# Waits for the program started last to end after the given key or click, and for its status.
ends() {
  for _ in $(seq 1 50); do
    kill -0 $pid 2>/dev/null || break
    sleep 0.1
  done
  kill -0 $pid 2>/dev/null && fail "$1 did not end after $2"
  wait $pid || fail "$1 ended with an error"
}
differ() { [[ $(compare -metric AE "$1" "$2" null: 2>&1 || true) != 0 ]]; }

export QT_QPA_PLATFORM=xcb
"$program" >"$log" 2>&1 &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT

step "title page, clip playing"
title=$(window "Animation of Spherical Four-bar Linkages")
sleep 0.5
shot 01-title "$title"
import -window root /tmp/cyclar-e2e-a.png
sleep 0.4
import -window root /tmp/cyclar-e2e-b.png
differ /tmp/cyclar-e2e-a.png /tmp/cyclar-e2e-b.png || fail "the title page's clip does not move"

step "About box from the title page's menu"
read -r tx ty tw th <<<"$(box "rgb(234,6,44)")" || fail "no title banner"
xdotool mousemove $((tx + tw / 2)) $((ty + th + 40)) click 3
sleep 0.5
# The menu's one item sits just below and right of where it opened.
xdotool mousemove $((tx + tw / 2 + 30)) $((ty + th + 52)) click 1
about=$(window "About Orbiqua")
sleep 0.3
shot 09-about "$about"
key "$about" Return
gone "About Orbiqua"

step "Circular View"
click_word "rgb(244,231,9)" "Circular View"
view=$(window "Circular View")
sleep 0.5
shot 02-circular-view "$view"
key "$view" Escape
gone "Circular View"

step "help page from the title page"
click_word "rgb(5,17,179)" "Help"
helpwin=$(window "Help")
shot 03-help "$helpwin"
key "$helpwin" Return
gone "Help"

step "Continue: the dimensions page"
click_word "rgb(26,128,21)" "Continue"
dims=$(window "Dimensions of Spherical Four-bar Linkages")
sleep 0.3
shot 04-dimensions "$dims"

step "Submit: the animation page"
click_word "rgb(248,13,30)" "Submit"
anim=$(window "Animation of Four-bar Linkages")
sleep 0.3
shot 05-animation "$anim"
picture "$anim" /tmp/cyclar-e2e-p0.png

step "Animate: the linkage moves"
click_word "rgb(249,8,31)" "Animate"
sleep 0.6
picture "$anim" /tmp/cyclar-e2e-p1.png
sleep 0.4
picture "$anim" /tmp/cyclar-e2e-p2.png
differ /tmp/cyclar-e2e-p1.png /tmp/cyclar-e2e-p2.png || fail "the picture does not change between ticks"
shot 06-animating "$anim"

step "Stop: the picture stands still"
click_word "rgb(247,7,30)" "Stop"
sleep 0.4
picture "$anim" /tmp/cyclar-e2e-p3.png
sleep 0.5
picture "$anim" /tmp/cyclar-e2e-p4.png
differ /tmp/cyclar-e2e-p3.png /tmp/cyclar-e2e-p4.png && fail "the picture moves after Stop"

step "turn slider: the view turns and the clock runs again"
# Dialog units from the picture buttons: Back and Exit stand 86 units apart, Stop and Exit 20.
read -r gx gy gw gh <<<"$(box "rgb(3,113,6)")"
read -r sx sy sw sh <<<"$(box "rgb(247,7,30)")"
exit_x=$((gx + gw - 30)) exit_y=$((gy + gh / 2))
back_x=$((gx + 30))
unit_x=$(((exit_x - back_x) * 100 / 86))
unit_y=$(((exit_y - (sy + sh / 2)) * 100 / 20))
# The turn slider spans units 358..459 across and 153..171 down; Exit's picture starts at 432, 247.
slider_x=$((exit_x - 30 + (455 - 432) * unit_x / 100))
slider_y=$((exit_y - 15 + (162 - 247) * unit_y / 100))
xdotool mousemove "$slider_x" "$slider_y" click 1
sleep 0.6
picture "$anim" /tmp/cyclar-e2e-p5.png
sleep 0.4
picture "$anim" /tmp/cyclar-e2e-p6.png
differ /tmp/cyclar-e2e-p5.png /tmp/cyclar-e2e-p6.png || fail "the clock did not start again at the slider's release"
shot 07-turned "$anim"

# ---- Analysis window (F2): opens beside the page, its marker follows the frames, Escape closes it
step "F2: the Analysis window beside the picture, its marker moving"
key "$anim" F2
analysis=$(window "Analysis")
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$anim")"
page_x=$X page_width=$WIDTH
eval "$(xdotool getwindowgeometry --shell "$analysis")"
# 1280 pixels hold both side by side: the page makes room rather than being covered.
[[ $X -ge $((page_x + page_width)) && $((X + WIDTH)) -le 1280 ]] ||
  fail "the Analysis window covers the page or leaves the screen"
import -window "$analysis" /tmp/cyclar-e2e-a1.png
sleep 0.5
import -window "$analysis" /tmp/cyclar-e2e-a2.png
differ /tmp/cyclar-e2e-a1.png /tmp/cyclar-e2e-a2.png || fail "the Analysis window's marker does not move"
shot 10-analysis "$analysis"
key "$anim" F2
sleep 0.3
[[ $(xdotool search --onlyvisible --name "^Analysis\$" | wc -l) -eq 1 ]] || fail "a second F2 opened a second window"
key "$analysis" Escape
gone "Analysis"
# ---- end of the Analysis window block

step "Back: the dimensions page again"
# Back and Exit share their green; Back is the left one.
read -r gx gy gw gh <<<"$(box "rgb(3,113,6)")"
xdotool mousemove $((gx + 25)) $((gy + gh / 2)) click 1
dims=$(window "Dimensions of Spherical Four-bar Linkages")
sleep 0.3
shot 08-back "$dims"

step "a value that is no number: the message box, captioned with the program's name"
# The focus is back in the field it was in; a fails first only after b passes, so any field will do.
submit_no_number "$dims"
box_id=$(window "cyclar")
sleep 0.3
shot 11-message "$box_id"
key "$box_id" Return
gone "cyclar"

step "Exit: the program ends"
click_word "rgb(3,113,6)" "Exit"
ends "the program" Exit
trap - EXIT

step "a renamed copy captions its message boxes with its own name"
copy_dir=$(mktemp -d)
cp "$program" "$copy_dir/orbit-demo"
"$copy_dir/orbit-demo" >"$log" 2>&1 &
pid=$!
trap 'kill $pid 2>/dev/null || true; rm -rf "$copy_dir"' EXIT
window "Animation of Spherical Four-bar Linkages" >/dev/null
sleep 0.5
click_word "rgb(26,128,21)" "Continue"
dims=$(window "Dimensions of Spherical Four-bar Linkages")
sleep 0.3
submit_no_number "$dims"
box_id=$(window "orbit-demo")
key "$box_id" Return
gone "orbit-demo"
key "$dims" Escape
ends "the renamed copy" Escape
rm -rf "$copy_dir"
trap - EXIT
echo "end-to-end run passed; screenshots in $shots"
