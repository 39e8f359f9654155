#!/usr/bin/env bash
# Decodes the MP3s written by test_mp3_encoder with sox (libmad) and checks rate, duration, level and pitch.
# Usage: check_mp3_decode.sh <folder with the MP3s>
set -u
DIR=$1
FAILS=0

fail() { echo "FAIL: $*"; FAILS=$((FAILS + 1)); }

# The input: 2 s of a 440 Hz sine at half of full scale (RMS 0.354), as 44,100 Hz samples of which the encoder
# takes every second one. Tolerances: the decoded length is at least the 2 s put in and at most 2 s plus LAME's
# encoder delay (576 samples) and two frames of padding (1,152 samples per frame at 32 kHz and above, 576 below),
# as sox does not trim delay or padding without a LAME tag; RMS within 10 % of 0.354 (the added silence and the
# coding); zero-crossing frequency within 2 % of 440 Hz.
check_sine() {
  local file=$1 rate=$2
  local path="$DIR/$file"
  [ -s "$path" ] || { fail "$file missing"; return; }
  local got_rate; got_rate=$(soxi -r "$path" 2>/dev/null)
  [ "$got_rate" = "$rate" ] || fail "$file: rate $got_rate, expected $rate"
  local bytes; bytes=$(sox "$path" -t s16 -c 1 - 2>/dev/null | wc -c)
  local samples=$((bytes / 2))
  local frame=1152; [ "$rate" -lt 32000 ] && frame=576
  local min=$((2 * rate)) max=$((2 * rate + 576 + 2 * frame))
  if [ "$samples" -lt "$min" ] || [ "$samples" -gt "$max" ]; then
    fail "$file: $samples decoded samples, expected $min..$max"
  fi
  local stat; stat=$(sox "$path" -n stat 2>&1)
  local rms; rms=$(awk '/RMS +amplitude/ {print $3}' <<<"$stat")
  local freq; freq=$(awk '/Rough +frequency/ {print $3}' <<<"$stat")
  awk -v r="$rms" 'BEGIN { exit !(r >= 0.318 && r <= 0.389) }' || fail "$file: RMS $rms, expected 0.354 +-10 %"
  awk -v f="$freq" 'BEGIN { exit !(f >= 431 && f <= 449) }' || fail "$file: frequency $freq Hz, expected 440 +-2 %"
  echo "$file: rate $got_rate, $samples samples ($(awk -v s="$samples" -v r="$rate" 'BEGIN{printf "%.4f", s/r}') s), RMS $rms, $freq Hz"
}

for rate in 11025 22050 44100 48000; do
  check_sine "sine_$rate.mp3" "$rate"
done
# Pairs of opposite values: only taking the first of each pair keeps the sine at full level.
check_sine alternating_22050.mp3 22050

# A WAV without samples: the flushed end of the stream decodes to a little silence.
path="$DIR/header_only.mp3"
if [ -s "$path" ]; then
  rms=$(sox "$path" -n stat 2>&1 | awk '/RMS +amplitude/ {print $3}')
  awk -v r="$rms" 'BEGIN { exit !(r != "" && r < 0.001) }' || fail "header_only.mp3: RMS '$rms', expected silence"
  [ "$(soxi -r "$path" 2>/dev/null)" = 44100 ] || fail "header_only.mp3: not a 44,100 Hz stream"
else
  fail "header_only.mp3 missing"
fi

[ "$FAILS" -eq 0 ] && echo "all MP3 checks passed"
exit $((FAILS > 0))
