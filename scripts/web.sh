#!/usr/bin/env bash
# Builds cyclar's browser edition into a folder of static files and serves it on
# http://127.0.0.1:8080/ (any static file host can serve the folder as it is).
# Usage: scripts/web.sh               build into build/web/site and serve it
#        scripts/web.sh --build DIR   only build, into DIR; serve nothing
set -euo pipefail
cd "$(dirname "$0")/.."

usage() {
  echo "usage: $0 [--build DIR]" >&2
  exit 2
}
site=build/web/site
serve=1
case $# in
  0) ;;
  2) [[ $1 == --build && -n $2 ]] || usage; site=$2; serve=0 ;;
  *) usage ;;
esac

scripts/install-deps.sh web
# Emscripten's JavaScript optimiser finds Debian's acorn through NODE_PATH when the machine's
# node is not Debian's.
export NODE_PATH=${NODE_PATH:+$NODE_PATH:}/usr/share/nodejs

# The pictures come from the desktop's own artwork, drawn natively.
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release --parallel "$(nproc)" --target cyclar-artwork-dump

# The core, compiled to WebAssembly: the page's module and the desk's.
emcmake cmake -S . -B build/wasm -G Ninja -DCMAKE_BUILD_TYPE=MinSizeRel -DCYCLAR_CORE_ONLY=ON >/dev/null
cmake --build build/wasm --parallel "$(nproc)" --target cyclar_web

# Staged beside the target and moved into place whole, so a failed build leaves no half folder.
mkdir -p "$(dirname "$site")"
stage=$(mktemp -d "$(dirname "$site")/.site.XXXXXX")
trap 'rm -rf "$stage"' EXIT
cp web/index.html web/cyclar.css web/manifest.webmanifest "$stage/"
cp -r web/js "$stage/js"
# The page's module, and the desk's, which the tool panels load when first opened.
for module in cyclar-core.js cyclar-core.wasm cyclar-api.js cyclar-desk.js cyclar-desk.wasm cyclar-desk-api.js; do
  cp "build/wasm/web/$module" "$stage/"
done
QT_QPA_PLATFORM=offscreen build/release/artwork/cyclar-artwork-dump "$stage/art" >/dev/null
# The pages use the 32 px icon and, installed as an app, the icon drawn at 192 and 512 px; the
# desktop's sizes and the contact sheet stay out of the site.
rm -f "$stage/art/sheet.png" "$stage/art/icon-64-blank.png" "$stage/art/icon.svg" \
  "$stage/art/icon-64.png" "$stage/art/icon-128.png" "$stage/art/icon-256.png"
# Only the faces the pages use, cut down to the characters they can show.
mkdir "$stage/fonts"
subset() {
  /usr/bin/python3 -m fontTools.subset "res/fonts/$1" --output-file="$stage/fonts/$2" \
    --flavor=woff2 --layout-features='kern,liga' \
    --unicodes='U+0020-007E,U+00A0-00FF,U+2013,U+2014,U+2018-201D,U+2026' 2>/dev/null
}
subset LiberationSans-Regular.ttf cyclar-sans.woff2
subset LiberationSerif-Regular.ttf cyclar-serif.woff2
subset LiberationSerif-Bold.ttf cyclar-serif-bold.woff2
cp res/fonts/LICENSE-Liberation-OFL.txt "$stage/fonts/"

# The service worker keeps every file of this build in a cache named after a hash of them all:
# a new build is a new cache, and the old one goes.
files=$(cd "$stage" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
build=$(cd "$stage" && printf '%s\n' "$files" | while IFS= read -r f; do printf '%s\n' "$f"; cat "$f"; done \
  | sha256sum | cut -c1-16)
list=$(printf '%s\n' "$files" | sed 's/.*/"&"/' | paste -sd, - | sed 's/,/, /g')
sed -e "s|@CYCLAR_BUILD@|$build|" -e "s|/\* @CYCLAR_FILES@ \*/|$list|" web/sw.js >"$stage/sw.js"

# Precompressed copies of what compresses, which the server sends to browsers that take them.
while IFS= read -r f; do
  case $f in
    *.html | *.css | *.js | *.wasm | *.webmanifest | *.txt)
      gzip -9 -n -k "$stage/$f"
      if command -v brotli >/dev/null; then brotli -q 11 -k "$stage/$f"; fi ;;
  esac
done < <(cd "$stage" && find . -type f | sed 's|^\./||')

rm -rf "$site"
mv "$stage" "$site"
chmod 755 "$site"
trap - EXIT
# What the whole site costs a browser, as the service worker keeps it: each file once, compressed
# where a compressed copy exists. The pages alone take less (the tool panels and the desk's core
# come later); tests/web/performance.spec.mjs measures both against their budgets.
sent=$(cd "$site" && find . -type f ! -name '*.gz' ! -name '*.br' | while IFS= read -r f; do
  if [[ -f $f.br ]]; then stat -c %s "$f.br"; elif [[ -f $f.gz ]]; then stat -c %s "$f.gz"; else stat -c %s "$f"; fi
done | awk '{ s += $1 } END { print s + 0 }')
echo "cyclar for the browser is in $site ($(du -sh "$site" | cut -f1) on disk, $((sent / 1024)) kB to download in all, build $build)"

if [[ $serve == 1 ]]; then
  echo "Serving it on http://127.0.0.1:8080/ (Ctrl+C stops)"
  exec python3 scripts/web-serve.py "$site" 8080
fi
