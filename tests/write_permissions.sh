#!/usr/bin/env bash
# The file writers as a user who is not root: a file that user may not write (0444), a named pipe
# and a device at the target are refused with one line or one message naming the file and why,
# and left as they were; by the writer itself, by cyclar-export and by the program's menu items.
# Root may write any file, so as root the tests run as nobody (setpriv); as any other user they
# run as that user.
# Usage: tests/write_permissions.sh path/to/tst_atomic_write path/to/tst_export
#        path/to/tst_page_files
# Exits 77 (skipped) with the reason when no unprivileged user can run them.
set -uo pipefail
atomic_write=$1
export_test=$2
page_files=$3

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
as_user=()
if [[ $(id -u) -eq 0 ]]; then
  if ! command -v setpriv >/dev/null; then
    echo "SKIP: running as root and setpriv (util-linux) is missing to become nobody"
    exit 77
  fi
  if ! id nobody >/dev/null 2>&1; then
    echo "SKIP: running as root and there is no user nobody to run the tests as"
    exit 77
  fi
  as_user=(setpriv --reuid="$(id -u nobody)" --regid="$(id -g nobody)" --clear-groups
    --reset-env)
  chown "$(id -u nobody):$(id -g nobody)" "$work"
  for test in "$atomic_write" "$export_test" "$page_files"; do
    if ! "${as_user[@]}" test -x "$test"; then
      echo "SKIP: nobody cannot run $test (a folder above it is closed to other users)"
      exit 77
    fi
  done
fi
chmod 0700 "$work"
who=$("${as_user[@]}" id -un)

failures=0
for run in "$atomic_write refusals" "$export_test targetsInTheWay" \
  "$page_files targetsInTheWay"; do
  read -r test function <<<"$run"
  log=$work/$(basename "$test").log
  # The user's own home and temporary folders; the sanitizers' settings pass through.
  "${as_user[@]}" env HOME="$work" XDG_RUNTIME_DIR="$work" TMPDIR="$work" \
    QT_QPA_PLATFORM=offscreen PATH="$PATH" ${ASAN_OPTIONS:+ASAN_OPTIONS="$ASAN_OPTIONS"} \
    ${UBSAN_OPTIONS:+UBSAN_OPTIONS="$UBSAN_OPTIONS"} \
    ${LSAN_OPTIONS:+LSAN_OPTIONS="$LSAN_OPTIONS"} \
    "$test" "$function" >"$log" 2>&1
  status=$?
  totals=$(grep '^Totals:' "$log")
  # Every row runs here, the read-only ones included: none may be skipped.
  if [[ $status -ne 0 || $totals != *" 0 failed, 0 skipped"* ]]; then
    echo "FAIL: $(basename "$test") $function as $who: ${totals:-no totals}"
    grep -E "^(FAIL|SKIP)|Loc:|Actual|Expected" "$log" | head -20
    failures=$((failures + 1))
  else
    echo "PASS: $(basename "$test") $function as $who: $totals"
  fi
done
[[ $failures -eq 0 ]]
