// Output file names: the base name of a MIDI title, and reserving song.wav, song(1).wav, ... without ever
// overwriting a file.
#pragma once

#include <windows.h>

// Tries of the numbered names before a job gives up: a folder with that many songs of one name is not a
// folder to keep filling.
const int kMaxOutputNameTries = 10000;

// Cuts pszText at its last occurrence of ch, looking from the end down to the second character (a text whose
// only such character is its first keeps it).
void CutAtLast(char *pszText, char ch);

// Reserves "<folder>\<base>.<ext>" or, while that exists, "<folder>\<base>(n).<ext>" for n = 1, 2, ...: creates the
// empty file (CREATE_NEW) and closes it, leaving the name for the writer. Returns ERROR_SUCCESS with the path in
// pszPath (cchPath characters), or the Win32 error that stopped it: anything but "the file exists", or
// ERROR_FILE_EXISTS after kMaxOutputNameTries names.
DWORD ReserveOutputName(const char *pszFolder, const char *pszBase, const char *pszExt, char *pszPath, size_t cchPath);
