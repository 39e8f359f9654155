#!/usr/bin/env bash
# The skinned menus on a screen of 8 bits per pixel, where every look falls back to plain system colours: the
# menu drawing test's 8-bit case on an X server of that depth of its own. Wine's server binds to one display,
# so this runs in a Wine prefix of its own (build/wineprefix64-tests-8bit); the case must run, not skip.
# usage: check_8bit_menus.sh BIN_DIR RUN_DIR
set -uo pipefail
root=$(cd "$(dirname "$0")/../../.." && pwd)
bin=$1 run=$2
program=$bin/test_lk_dll_menu_draw.exe
export TUNEWRIGHT_WINE_USE=tests-8bit
"$root/scripts/lib/wine-prefix" "$("$root/scripts/lib/pe-arch" "$program")" || exit 1
log=$(mktemp)
xvfb-run -a -s '-screen 0 1024x768x8' "$root/scripts/lib/run-windows-test" "$bin" "$run" test_lk_dll_menu_draw.exe \
  --gtest_filter='MenuDrawTest.EightBitLooksUsePlainColours' 2>&1 | tee "$log"
status=${PIPESTATUS[0]}
. "$root/scripts/lib/wine-env.sh" "$("$root/scripts/lib/pe-arch" "$program")"
wineserver -k 2>/dev/null
if [ "$status" -eq 0 ] && ! grep -q '^\[  PASSED  \] 1 test' "$log"; then
  echo "check_8bit_menus: the 8-bit case did not run (skipped?)"
  status=1
fi
rm -f "$log"
exit "$status"
