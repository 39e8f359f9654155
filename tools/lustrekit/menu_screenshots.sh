#!/usr/bin/env bash
# Photographs the demo's menus in every look: build/<arch>/menu-shots/<look>-<menu>.png (run under xvfb-run).
# Usage: tools/lustrekit/menu_screenshots.sh [build/win64]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build/win64}" && pwd)
out="$build/menu-shots"
mkdir -p "$out"
shoot() { # look name args...
  local look=$1 name=$2
  shift 2
  (cd "$out" && "$root/scripts/lib/wine-run" "$build/bin/lustrekit_menu_demo.exe" --look "$look" "$@" \
     --shot "$look-$name.bmp")
  convert "$out/$look-$name.bmp" -crop 520x360+30+20 +repage "$out/$look-$name.png"
  rm -f "$out/$look-$name.bmp"
}
for look in classic flat gradient system; do
  shoot "$look" file --open file --down 3 --right
  shoot "$look" view --open view --down 2
  shoot "$look" help --open help --down 1
  shoot "$look" context --open context --down 3
  shoot "$look" system --open system --down 1
done
echo "menu screenshots in $out"
