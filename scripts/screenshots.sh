#!/usr/bin/env bash
# Regenerates the README's pictures of the program's windows (docs/*.png) from the pictures that
# the end-to-end tests save through the program's own picture writer (build/artifacts/e2e).
# Runs those tests first; with --no-run it takes the pictures of the last run. Each picture is
# scaled to two thirds and reduced to a 64-colour palette to stay a few tens of KB.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${BUILD:-$here/build}

if [ "${1:-}" != "--no-run" ]; then
  bash "$here/scripts/test.sh" -R '^e2e_(install|uninstall|webinstall)_tests$'
fi
# ImageMagick's own convert (a /usr/local/bin/convert may be a stand-in that only prints PNGs).
if [ ! -x /usr/bin/convert ] || ! command -v pngquant >/dev/null; then
  apt-get install -y --no-install-recommends imagemagick pngquant >/dev/null
fi
convert=/usr/bin/convert

# docs name <- the end-to-end test's picture
pictures=(
  "install-before.png:install-1-before.png"
  "install-during.png:install-2-during.png"
  "install-after.png:install-3-after.png"
  "uninstall-feedback.png:uninstall-2-form-filled.png"
  "webinstall-download.png:webinstall-1-download.png"
)
for entry in "${pictures[@]}"; do
  target=$here/docs/${entry%%:*}
  source=$BUILD/artifacts/e2e/${entry#*:}
  [ -f "$source" ] || { echo "screenshots: $source is missing (run the end-to-end tests)" >&2; exit 1; }
  "$convert" "$source" -resize 66.667% -strip "$target.tmp.png"
  pngquant --force --strip --speed 1 64 --output "$target" "$target.tmp.png"
  rm -f "$target.tmp.png"
  echo "screenshots: $target $(stat -c %s "$target") bytes"
done
