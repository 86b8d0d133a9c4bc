#!/usr/bin/env bash
# The Analysis window's place on real X screens (Xvfb, no window manager) of 1280x1024, 1366x768
# and 1920x1080: opened with F2 beside the animation page, both wholly on the screen, level, and
# apart; the page moved only where the window would not fit beside it otherwise. Then the Design
# window's, opened with F3: all three on the screen, the Design window at least 640 pixels high,
# none covering another where the screen has room for all three (1920x1080), and the page's
# controls (all but its picture) in sight on every one.
# Usage: tests/analysis_placement.sh path/to/cyclar path/to/cyclar-export
# Exits 77 (skipped) when xvfb-run, xdotool or xwininfo is missing.
set -uo pipefail
program=$1
export_tool=$2

if [[ ${CYCLAR_PLACEMENT_SCREEN:-} == "" ]]; then
  for tool in xvfb-run xdotool xwininfo; do
    if ! command -v $tool >/dev/null; then
      echo "SKIP: $tool is missing (scripts/install-deps.sh test installs it)"
      exit 77
    fi
  done
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  "$export_tool" save --dims 50,30,35,40,45,-35 -o "$work/linkage.cyclar" || exit 1
  failed=0
  for screen in 1280x1024 1366x768 1920x1080; do
    if CYCLAR_PLACEMENT_SCREEN=$screen CYCLAR_PLACEMENT_FILE=$work/linkage.cyclar \
      xvfb-run -a -s "-screen 0 ${screen}x24" "$0" "$program" "$export_tool"; then
      echo "PASS: $screen"
    else
      echo "FAIL: $screen"
      failed=$((failed + 1))
    fi
  done
  echo "$((3 - failed)) passed, $failed failed"
  exit $((failed > 0))
fi

# ---- on the virtual screen
# The X keyboard library reads past a string's end in a way strict string checks refuse.
export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}strict_string_checks=0
width=${CYCLAR_PLACEMENT_SCREEN%x*}
height=${CYCLAR_PLACEMENT_SCREEN#*x}
export QT_QPA_PLATFORM=xcb
"$program" "$CYCLAR_PLACEMENT_FILE" >/dev/null 2>&1 &
pid=$!
trap 'kill $pid 2>/dev/null' EXIT

# Waits for a window to show, at most 60 s: the sanitized build on a busy machine may take many
# seconds to start; the wait ends as soon as the window is there.
window() {
  local id
  for _ in $(seq 1 600); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | tail -n 1)
    [[ -n $id ]] && { echo "$id"; return 0; }
    sleep 0.1
  done
  echo "no window \"$1\"" >&2
  return 1
}
# x y width height of a window on the screen.
where() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
                           /Width:/ {w=$NF} /Height:/ {h=$NF} END {print x, y, w, h}'
}

# Waits until the window stops moving (three reads 0.2 s apart agree), at most 10 s: a busy
# machine places and moves windows late.
settle() {
  local last="" now same=0
  for _ in $(seq 1 50); do
    now=$(where "$1")
    if [[ $now == "$last" ]]; then
      same=$((same + 1))
      ((same >= 2)) && return 0
    else
      same=0
    fi
    last=$now
    sleep 0.2
  done
}

page=$(window "Animation of Four-bar Linkages") || exit 1
settle "$page"
# Centred, as a page reached through the page chain stands.
read -r px0 py0 pw ph <<<"$(where "$page")"
xdotool windowmove "$page" $(((width - pw) / 2)) $(((height - ph) / 2))
settle "$page"
read -r px0 py0 pw ph <<<"$(where "$page")"
xdotool windowfocus "$page" 2>/dev/null
sleep 0.2
xdotool key F2
analysis=$(window "Analysis") || exit 1
settle "$analysis"
settle "$page"
read -r px py pw ph <<<"$(where "$page")"
read -r wx wy ww wh <<<"$(where "$analysis")"
echo "screen ${width}x$height: page ${pw}x$ph at $px0,$py0 -> $px,$py; window ${ww}x$wh at $wx,$wy"

ok=1
check() {
  if ! eval "$1"; then
    echo "not so: $2"
    ok=0
  fi
}
check '((px >= 0 && py >= 0 && px + pw <= width && py + ph <= height))' "the page is on the screen"
check '((wx >= 0 && wy >= 0 && wx + ww <= width && wy + wh <= height))' "the window is on the screen"
check '((wx >= px + pw || wx + ww <= px || wy >= py + ph || wy + wh <= py))' \
  "the window covers nothing of the page"
check '((wy == py || wy + wh == height))' "the window is level with the page (or raised to fit)"
if ((px0 + pw + 8 + ww <= width)); then
  check '((px == px0 && py == py0))' "the page stays where the window fits beside it"
fi

# The Design window beside the two.
xdotool windowfocus "$page" 2>/dev/null
sleep 0.2
xdotool key F3
design=$(window "Design") || exit 1
settle "$design"
settle "$page"
settle "$analysis"
read -r px py pw ph <<<"$(where "$page")"
read -r wx wy ww wh <<<"$(where "$analysis")"
read -r dx dy dw dh <<<"$(where "$design")"
echo "with Design: page at $px,$py; Analysis at $wx,$wy; Design ${dw}x$dh at $dx,$dy"
check '((px >= 0 && py >= 0 && px + pw <= width && py + ph <= height))' "the page is on the screen"
check '((wx >= 0 && wy >= 0 && wx + ww <= width && wy + wh <= height))' "Analysis is on the screen"
check '((dx >= 0 && dy >= 0 && dx + dw <= width && dy + dh <= height))' "Design is on the screen"
check '((dh >= 640))' "Design is at least 640 pixels high"
apart() { # x y w h x y w h
  (($1 >= $5 + $7 || $1 + $3 <= $5 || $2 >= $6 + $8 || $2 + $4 <= $6))
}
controls=$((px + 480))
check 'apart $dx $dy $dw $dh $controls $py $((pw - 480)) $ph' "Design covers none of the page's controls"
check 'apart $wx $wy $ww $wh $controls $py $((pw - 480)) $ph' "Analysis covers none of the page's controls"
if ((width == 1920)); then
  check 'apart $dx $dy $dw $dh $px $py $pw $ph' "Design covers nothing of the page"
  check 'apart $dx $dy $dw $dh $wx $wy $ww $wh' "Design covers nothing of the Analysis window"
  check 'apart $wx $wy $ww $wh $px $py $pw $ph' "Analysis covers nothing of the page"
fi
((ok))
