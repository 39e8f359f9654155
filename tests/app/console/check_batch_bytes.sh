#!/usr/bin/env bash
# A batch converts to the same bytes as files converted one at a time: MP3 files encoded while the next piece
# plays equal those encoded alone, and a crowded piece (its voices shared with a helper thread) converts to the
# same WAV twice, at the default polyphony and at 1,024 voices.
# usage: check_batch_bytes.sh BIN_DIR OPENMSX_DIR OUT_DIR
set -uo pipefail
BIN=$1 SONGS=$2 OUT=$3
here=$(cd "$(dirname "$0")/../../.." && pwd)
rm -rf "$OUT" && mkdir -p "$OUT"/{batch,alone,dense1,dense2,dense3}
"$here/scripts/lib/copy-program-folder" "$BIN" "$OUT/program" || exit 1
songs=(keep_on_rolling.mid tttheme2.mid busy_schedule.mid)
"$here/scripts/lib/make-dense-midi" 20000 10 "$OUT/dense.mid" || exit 1
cd "$OUT/program"
run() { timeout 300 "$here/scripts/lib/wine-run" TunewrightConvert.exe --no-progress "$@" >>"$OUT/log.txt" 2>&1 ||
  { echo "TunewrightConvert $* failed:"; tail -n 20 "$OUT/log.txt"; exit 1; }; }
args=()
for s in "${songs[@]}"; do args+=("Z:$SONGS/$s"); done
run --mp3 44100 --out "Z:$OUT/batch" "${args[@]}"
for s in "${songs[@]}"; do run --mp3 44100 --out "Z:$OUT/alone" "Z:$SONGS/$s"; done
failed=0
for s in "${songs[@]}"; do
  mp3=${s%.mid}.mp3
  if ! cmp -s "$OUT/batch/$mp3" "$OUT/alone/$mp3"; then echo "differs from its file encoded alone: $mp3"; failed=1; fi
  [ -s "$OUT/batch/$mp3" ] || { echo "missing or empty: $mp3"; failed=1; }
done
run --wav 44100 --out "Z:$OUT/dense1" "Z:$OUT/dense.mid"
run --wav 44100 --out "Z:$OUT/dense2" "Z:$OUT/dense.mid"
run --wav 44100 --polyphony 1024 --out "Z:$OUT/dense3" "Z:$OUT/dense.mid"
run --wav 44100 --polyphony 1024 --out "Z:$OUT/dense3" "Z:$OUT/dense.mid"
cmp -s "$OUT/dense1/dense.wav" "$OUT/dense2/dense.wav" || { echo "the crowded piece differs between two runs"; failed=1; }
cmp -s "$OUT/dense3/dense.wav" "$OUT/dense3/dense(1).wav" ||
  { echo "the crowded piece at 1,024 voices differs between two runs"; failed=1; }
cmp -s "$OUT/dense1/dense.wav" "$OUT/dense3/dense.wav" && { echo "1,024 voices sound as 256 do"; failed=1; }
[ "$failed" -eq 0 ] && echo "batch bytes: ${#songs[@]} MP3 files as encoded alone; the crowded piece the same twice"
rm -rf "$OUT"/{batch,alone,dense1,dense2,dense3}
exit "$failed"
