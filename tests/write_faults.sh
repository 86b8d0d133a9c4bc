#!/usr/bin/env bash
# Every file writer under injected faults: ENOSPC and EIO from write, fsync, close and rename
# (libfiu's POSIX preload, no root needed). Each failed write must exit 2 with one line naming the
# reason (cyclar-export) or show one message box (the program's menu items), leave the earlier
# file byte for byte, and leave no temporary file behind. Then standard output under EIO from
# fwrite: every command's answer and help, and cyclar's own, must exit 1 with one line saying why.
# Usage: tests/write_faults.sh path/to/cyclar-export path/to/tst_page_files path/to/cyclar
# Exits 77 (skipped) when fiu-run is missing: Debian's fiu-utils has it.
set -uo pipefail
export_tool=$1
page_files=$2
program=$3

if ! command -v fiu-run >/dev/null; then
  echo "SKIP: fiu-run is missing (install Debian's fiu-utils, or scripts/install-deps.sh test)"
  exit 77
fi

# The fault library wraps malloc and the sanitizer's runtime must come first: the two cannot
# share a process, so the faults are injected into the optimised build only.
# (ldd's whole list is read first: grep -q would stop at the match, and under pipefail ldd's
# broken pipe would then read as no match.)
libraries=$(ldd "$export_tool")
if [[ $libraries == *libasan* ]]; then
  echo "SKIP: fault injection needs a build without AddressSanitizer"
  exit 77
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
dims=50,30,35,40,45,-35
failures=0
checks=0
failed_case=0
fail() {
  echo "FAIL: $*"
  failed_case=1
}
# Counts the case just checked as failed if any of its checks failed.
tally() {
  failures=$((failures + failed_case))
  failed_case=0
}

# The writers: the command and the suffix of the file it writes.
writers=("save cyclar" "png png" "svg svg" "gif gif" "plot png")
points=(posix/io/rw/write posix/io/sync/fsync posix/io/oc/close posix/io/dir/rename)
declare -A reasons=([28]="No space left on device" [5]="Input/output error")

# Without a fault each writer replaces the earlier file: the faults below are what fails.
for writer in "${writers[@]}"; do
  read -r command suffix <<<"$writer"
  dir=$work/clean-$command
  mkdir -p "$dir"
  echo "earlier file" >"$dir/old.$suffix"
  cp "$dir/old.$suffix" "$dir/expected"
  if ! "$export_tool" "$command" --dims "$dims" -o "$dir/old.$suffix" 2>"$dir/err"; then
    fail "$command without a fault: $(cat "$dir/err")"
  elif cmp -s "$dir/old.$suffix" "$dir/expected"; then
    fail "$command without a fault left the earlier file"
  fi
  checks=$((checks + 1))
  tally
done

for writer in "${writers[@]}"; do
  read -r command suffix <<<"$writer"
  for point in "${points[@]}"; do
    for code in 28 5; do
      checks=$((checks + 1))
      case=$command/${point##*/}/$code
      dir=$work/$command-${point##*/}-$code
      mkdir -p "$dir"
      printf 'an earlier file, which must survive\n' >"$dir/old.$suffix"
      cp "$dir/old.$suffix" "$dir/expected"
      fiu-run -x -f "" -c "enable name=$point,failinfo=$code" \
        "$export_tool" "$command" --dims "$dims" -o "$dir/old.$suffix" >"$dir/out" 2>"$dir/err"
      status=$?
      [[ $status -eq 2 ]] || fail "$case: exit $status, not 2"
      [[ ! -s $dir/out ]] || fail "$case: wrote to stdout"
      [[ $(wc -l <"$dir/err") -eq 1 ]] || fail "$case: stderr is not one line: $(cat "$dir/err")"
      grep -qF "${reasons[$code]}" "$dir/err" || fail "$case: no '${reasons[$code]}' in: $(cat "$dir/err")"
      grep -qF "old.$suffix" "$dir/err" || fail "$case: the file is not named in: $(cat "$dir/err")"
      cmp -s "$dir/old.$suffix" "$dir/expected" || fail "$case: the earlier file changed"
      left=$(cd "$dir" && ls -A | grep -v -x -e "old.$suffix" -e expected -e out -e err)
      [[ -z $left ]] || fail "$case: left behind: $left"
      tally
    done
  done
done

# exercise writes several files into a folder: each must survive a fault whole, and the run
# stops at the first that cannot be written.
for point in "${points[@]}"; do
  for code in 28 5; do
    checks=$((checks + 1))
    case=exercise/${point##*/}/$code
    dir=$work/exercise-${point##*/}-$code
    mkdir -p "$dir/class"
    for name in exercise-01.cyclar-exercise answers.csv; do
      printf 'an earlier file, which must survive\n' >"$dir/class/$name"
    done
    fiu-run -x -f "" -c "enable name=$point,failinfo=$code" \
      "$export_tool" exercise --seed 1 --count 1 -o "$dir/class" >"$dir/out" 2>"$dir/err"
    status=$?
    [[ $status -eq 2 ]] || fail "$case: exit $status, not 2"
    [[ $(wc -l <"$dir/err") -eq 1 ]] || fail "$case: stderr is not one line: $(cat "$dir/err")"
    grep -qF "${reasons[$code]}" "$dir/err" || fail "$case: no '${reasons[$code]}' in: $(cat "$dir/err")"
    for name in exercise-01.cyclar-exercise answers.csv; do
      grep -qx 'an earlier file, which must survive' "$dir/class/$name" \
        || fail "$case: $name changed"
    done
    left=$(cd "$dir/class" && ls -A | grep -v -x -e exercise-01.cyclar-exercise -e answers.csv)
    [[ -z $left ]] || fail "$case: left behind: $left"
    tally
  done
done

# The program's menu items: Save linkage, Export picture (PNG, SVG), Export animation.
for point in "${points[@]}"; do
  for code in 28 5; do
    checks=$((checks + 1))
    dir=$work/page-${point##*/}-$code
    mkdir -p "$dir"
    for suffix in cyclar png svg gif; do
      printf 'an earlier file, which must survive\n' >"$dir/old.$suffix"
    done
    if ! CYCLAR_FAULT_DIR=$dir CYCLAR_FAULT_REASON=${reasons[$code]} QT_QPA_PLATFORM=offscreen \
      fiu-run -x -f "" -c "enable name=$point,failinfo=$code" \
      "$page_files" failedWritesSayWhy >"$dir/log" 2>&1; then
      fail "menu items/${point##*/}/$code:"
      grep -E "FAIL|Loc|Actual|Expected" "$dir/log" | head -8
    fi
    tally
  done
done

# Standard output: what each command prints (a small answer and a large one) and every command's
# help, then cyclar's help and version. The answer is written with fwrite, which fails here.
answers=("model --dims $dims" "rates --dims $dims" "--help" "--version")
for command in $("$export_tool" --help | sed -n 's/^  \([a-z][a-z]*\) .*/\1/p'); do
  answers+=("$command --help")
done
for answer in "${answers[@]}" "cyclar --help" "cyclar --version"; do
  checks=$((checks + 1))
  read -r -a words <<<"$answer"
  tool=$export_tool
  name=cyclar-export
  if [[ ${words[0]} == cyclar ]]; then
    tool=$program
    name=cyclar
    words=("${words[@]:1}")
  fi
  case="stdout: $answer"
  fiu-run -x -f "" -c "enable name=posix/stdio/rw/fwrite,failinfo=5" \
    "$tool" "${words[@]}" >"$work/out" 2>"$work/err"
  status=$?
  [[ $status -eq 1 ]] || fail "$case: exit $status, not 1"
  expected="$name: could not write to standard output: Input/output error"
  [[ $(cat "$work/err") == "$expected" ]] || fail "$case: stderr is not '$expected': $(cat "$work/err")"
  tally
done

echo "$((checks - failures)) passed, $failures failed"
[[ $failures -eq 0 ]]
