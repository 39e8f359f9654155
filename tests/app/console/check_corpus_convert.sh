#!/usr/bin/env bash
# Every file of the third-party MIDI corpus either converts or is refused with a message naming it: no crash,
# no hang. Runs TunewrightConvert once over the whole corpus (two files at a time, each in its own process).
# The converter runs from a copy of the program folder (OUT_DIR/program), as it registers its capture effect there.
# usage: check_corpus_convert.sh BIN_DIR CORPUS_DIR OUT_DIR
set -uo pipefail
BIN=$1 CORPUS=$2 OUT=$3
here=$(cd "$(dirname "$0")/../../.." && pwd)
rm -rf "$OUT" && mkdir -p "$OUT"
"$here/scripts/lib/copy-program-folder" "$BIN" "$OUT/program" || exit 1
mapfile -t files < <(ls "$CORPUS" | grep -i -E '\.(mid|midi|kar|rmi)$')
args=()
for f in "${files[@]}"; do args+=("Z:$CORPUS/$f"); done
cd "$OUT/program"
timeout 540 "$here/scripts/lib/wine-run" TunewrightConvert.exe --wav 11025 --jobs 2 --out "Z:$OUT" "${args[@]}" \
  >"$OUT/log.txt" 2>&1
status=$?
if [ "$status" -ne 0 ] && [ "$status" -ne 1 ]; then
  echo "TunewrightConvert ended with status $status (crash or time-out)"; tail -n 20 "$OUT/log.txt"; exit 1
fi
missing=0 converted=0 refused=0
for f in "${files[@]}"; do
  base=${f%.*}
  if compgen -G "$OUT/$base.wav" >/dev/null || compgen -G "$OUT/$base([0-9]*).wav" >/dev/null; then
    converted=$((converted + 1))
  elif grep -F -q "error: Z:$CORPUS/$f:" "$OUT/log.txt"; then
    refused=$((refused + 1))
  else
    echo "neither converted nor refused with a message: $f"; missing=$((missing + 1))
  fi
done
echo "corpus: ${#files[@]} files, $converted converted, $refused refused with a message"
grep '^error:' "$OUT/log.txt" | sed 's|Z:[^:]*/||' | head -n 40
rm -f "$OUT"/*.wav
[ "$missing" -eq 0 ]
