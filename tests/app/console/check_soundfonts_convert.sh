#!/usr/bin/env bash
# Every openmsx song converts with no error through TunewrightConvert --soundfont, with Debian's FluidR3_GM
# (SoundFont 2) and MuseScore General (SoundFont 3); a damaged SoundFont is refused naming the file, with a
# non-zero exit. Each SoundFont is loaded once (--jobs 1). The WAVs of one song stay in OUT_DIR/keep for a look.
# usage: check_soundfonts_convert.sh BIN_DIR SONGS_DIR OUT_DIR SOUNDFONT...
set -uo pipefail
BIN=$1 SONGS=$2 OUT=$3; shift 3
here=$(cd "$(dirname "$0")/../../.." && pwd)
rm -rf "$OUT" && mkdir -p "$OUT/keep"
"$here/scripts/lib/copy-program-folder" "$BIN" "$OUT/program" || exit 1
mapfile -t songs < <(ls "$SONGS" | grep -i '\.mid$')
args=()
for f in "${songs[@]}"; do args+=("Z:$SONGS/$f"); done
cd "$OUT/program"
failed=0
for font in "$@"; do
  name=$(basename "$font")
  mkdir -p "$OUT/$name"
  start=$(date +%s)
  timeout 800 "$here/scripts/lib/wine-run" TunewrightConvert.exe --wav 22050 --soundfont "Z:$font" \
    --out "Z:$OUT/$name" "${args[@]}" >"$OUT/$name.log" 2>&1
  status=$?
  made=$(ls "$OUT/$name" | grep -c '\.wav$')
  echo "$name: status $status, ${made}/${#songs[@]} songs converted in $(($(date +%s) - start)) s"
  if [ "$status" -ne 0 ] || [ "$made" -ne "${#songs[@]}" ]; then
    grep -v ' -> ' "$OUT/$name.log" | head -n 20
    failed=1
  fi
  cp "$OUT/$name/keep_on_rolling.wav" "$OUT/keep/keep_on_rolling.$name.wav" 2>/dev/null
  rm -f "$OUT/$name"/*.wav
done

printf 'RIFF\310\0\0\0sfbkLIST' >"$OUT/damaged.sf2"
"$here/scripts/lib/wine-run" TunewrightConvert.exe --soundfont "Z:$OUT/damaged.sf2" --out "Z:$OUT" \
  "Z:$SONGS/${songs[0]}" >"$OUT/damaged.log" 2>&1
status=$?
if [ "$status" -eq 0 ] || ! grep -q "Can't use the SoundFont \"Z:$OUT/damaged.sf2\": The SoundFont is damaged" \
     "$OUT/damaged.log"; then
  echo "a damaged SoundFont was not refused as it should be (status $status):"; cat "$OUT/damaged.log"
  failed=1
fi
exit $failed
