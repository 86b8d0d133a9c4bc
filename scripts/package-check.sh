#!/usr/bin/env bash
# Builds the Debian package from the optimised build and checks it as Debian users' tools do:
# lintian must report no error and no warning, the AppStream metadata must validate, and the
# desktop entry and MIME type must be well formed. Usage: scripts/package-check.sh [build dir]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}

rm -f "$build"/cyclar_*.deb
log=$(mktemp)
if ! (cd "$build" && cpack -G DEB) >"$log" 2>&1; then
  cat "$log"
  rm -f "$log"
  exit 1
fi
rm -f "$log"
deb=$(ls "$build"/cyclar_*.deb)
echo "package: $deb"

status=0
# Info and pedantic notes are shown but do not fail the check; errors and warnings do.
if ! lintian --fail-on error,warning "$deb"; then
  echo "lintian reports errors or warnings"
  status=1
fi
if ! appstreamcli validate --no-net res/metainfo/*.metainfo.xml; then
  status=1
fi
if ! desktop-file-validate res/desktop/io.github.cyclar.Cyclar.desktop; then
  status=1
fi
# The MIME type must register: a private MIME database built from it knows the glob.
mime=$(mktemp -d)
mkdir -p "$mime/packages"
cp res/mime/cyclar.xml "$mime/packages/"
if ! update-mime-database "$mime" >/dev/null 2>&1 || ! grep -q "application/x-cyclar-linkage:\*\.cyclar" "$mime/globs"; then
  echo "the MIME type application/x-cyclar-linkage does not register its *.cyclar glob"
  status=1
fi
if ! grep -q "application/x-cyclar-task:\*\.cyclar-task" "$mime/globs"; then
  echo "the MIME type application/x-cyclar-task does not register its *.cyclar-task glob"
  status=1
fi
if ! grep -q "application/x-cyclar-exercise:\*\.cyclar-exercise" "$mime/globs"; then
  echo "the MIME type application/x-cyclar-exercise does not register its *.cyclar-exercise glob"
  status=1
fi
rm -rf "$mime"
[[ $status == 0 ]] && echo "package checks passed"
exit $status
