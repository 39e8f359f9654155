// The synthesis engine: one DirectMusic performance per process, its audio path, playback, master volume and
// tempo, the capture effect and the captured recording written as a WAV file. Every operation returns a COM
// status (negative is failure), never raises, and traces failed platform calls.
#pragma once

#include <windows.h>

// Lifecycle. InitDirectMusic runs once on the dialog thread (COM initialised); InitAudioPath before every play
// and conversion, after StopMidi; FreeDirectMusic once at exit (returns 0).
HRESULT InitDirectMusic(HWND hWnd);
HRESULT InitAudioPath();
int FreeDirectMusic();

// Playback transport. PlayMidiFile(TRUE) asks for segment notifications (the worker); GetSegmentNotification
// returns the option of one waiting segment notification (DMUS_NOTIFICATION_SEGALMOSTEND is 2) or -1.
HRESULT LoadMidiFile(const char *pszPath);
HRESULT PlayMidiFile(BOOL bNotify);
int GetSegmentNotification();
HRESULT RemoveSegmentNotification();
HRESULT StopMidi();
int GetPlayTimeSeconds();   // performance clock now, in whole seconds
int GetSegmentEndSeconds(); // clock time of the loaded segment's end, in whole seconds
// Clock time at which the playing segment started, in whole seconds (the clock now when that is unknown).
int GetSegmentStartSeconds();

// The synthesizer's polyphony asked for at the next InitAudioPath (0, the default: the synthesizer's own setting).
void SetEngineVoices(int nVoices);
int EngineVoices();

// Master volume from an input 0..100 (40 × input − 2000 hundredths of a dB) and tempo from a slider position
// 0..100 (factor position / 100 + 0.5). Both return 0 while there is no performance.
HRESULT SetMasterVolume(int nVolume);
HRESULT SetMasterTempo(int nTempo);
// The tempo position that plays at 100 %; a position reads as position + 50 per cent (50..150).
const int kTempoPositionNormal = 50;
inline int TempoPercentOfPosition(int nPosition) {
    return nPosition + kTempoPositionNormal;
}
inline int TempoPositionOfPercent(int nPercent) {
    return nPercent - kTempoPositionNormal;
}

// The capture effect "OrvaDMOFilter": found once at start-up (S_OK found, S_FALSE not registered), attached to
// the audio path's buffer for a conversion and removed before listening.
HRESULT FindFilter();
HRESULT SetFilter();
HRESULT RemoveFilter();

// Writes the recording as a 16-bit mono WAV file at nRate Hz. S_OK or E_FAIL; a failed write leaves no file.
HRESULT SaveCapturedWave(const char *pszPath, UINT nRate);

// The SoundFont that plays from the next InitAudioPath on, loaded now (seconds for a large file); null or "" for
// the default. On failure the SoundFont in use stays and pszReason (cchReason bytes) says why, in English.
HRESULT SetEngineSoundFont(const char *pszPath, char *pszReason, DWORD cchReason);
