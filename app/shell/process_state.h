// Process-wide text buffers, the program folder and the settings kept in settings.ini between runs.
#pragma once

#include <windows.h>

// Size in bytes of each process-wide text buffer.
const DWORD kProcessBufferSize = 0x10000;

// Bytes read for a text setting (1,023 characters and the terminating NUL).
const DWORD kSettingTextSize = 1024;

// Process-wide ANSI text buffers (kProcessBufferSize bytes each, zero-filled; null before AllocProcessBuffers
// and after FreeProcessBuffers). Main thread; the conversion worker reads the MIDI path and title and writes the
// output folder while a conversion runs (the dialog keeps the controls that change them disabled meanwhile).
extern char *g_szProgramDir;   // the program's folder, without a trailing backslash
extern char *g_szMidiPath;     // full path of the open MIDI file; empty until one is opened
extern char *g_szMidiTitle;    // file-name part (with extension) of the open MIDI file
extern char *g_szOutputDir;    // the output folder, persisted as "Output"
extern char *g_szScratch;      // scratch text of the main thread
extern char *g_szSettingsPath; // full path of settings.ini in the program folder

// The SoundFont chosen in the system menu (kSettingTextSize bytes), persisted as "SoundFont"; empty for the
// default. Main thread.
extern char g_szSoundFont[];

extern int g_bSameDirectory; // 1: converted files go beside the MIDI file; 0: into g_szOutputDir
extern int g_nVolume;        // volume slider position 0..100, 0 = loudest (master volume is 100 minus this)

// Allocates the six buffers from the process heap, zero-filled. Returns FALSE, with every buffer null, when the
// heap cannot supply all of them; the caller must then end the program without touching them.
BOOL AllocProcessBuffers();

// Frees the six buffers in allocation order and sets each pointer to null. Safe to call twice.
void FreeProcessBuffers();

// Puts the executable's folder into g_szProgramDir and makes it the current directory.
void InitProgramDir();

// Forms g_szSettingsPath as "<g_szProgramDir>\settings.ini".
void InitSettingsPath();

// Reads bSameDirectory, Volume, Output and SoundFont from settings.ini; a missing file or key gives 0, 0, empty
// and empty.
void LoadSettings();

// Writes bSameDirectory, Volume, Output and SoundFont, in that order, to settings.ini (integers as "%d" text).
void SaveSettings();

// The settings file wrappers: section "Settings" of g_szSettingsPath.
int ReadSettingInt(const char *pszKey);                   // default 0
void ReadSettingText(const char *pszKey, char *pszValue); // default empty; pszValue holds kSettingTextSize bytes
void WriteSettingInt(const char *pszKey, int nValue);     // written as "%d"
void WriteSettingText(const char *pszKey, const char *pszValue);
