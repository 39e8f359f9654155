// EncodeWavToMp3: encodes a WAV file written by WaveFile to an MP3 file through LAME (lame_enc.dll).
#pragma once

// Results of EncodeWavToMp3: 0 for success, negative for failure.
const int MP3_OK = 0;
const int MP3_E_INPUT = -1;   // the WAV file cannot be opened or lacks the 56-byte WaveFile header
const int MP3_E_ENCODER = -2; // the encoder context cannot be created or refuses the settings
const int MP3_E_OUTPUT = -3;  // the MP3 file cannot be created
const int MP3_E_ENCODE = -4;  // the encoder returned an error code instead of a byte count
const int MP3_E_READ = -5;    // reading the WAV file failed part way; the MP3 holds what was read
const int MP3_E_WRITE = -6;   // the MP3 bytes did not all reach the disk (disk full)

// Encodes the 16-bit mono 44,100 Hz samples of wavPath (which starts with WaveFile's 56-byte header) to an MP3
// stream at rate Hz (11,025, 22,050, 44,100 or 48,000) in mp3Path, which is created or emptied. The encoder is
// told 22,050 Hz mono and given the samples as two-value frames, so it takes every second sample.
// mp3Path is touched only once the input is readable and the encoder is ready.
int EncodeWavToMp3(const char *wavPath, const char *mp3Path, int rate);
