// Where settings.ini and the default output folder live: beside the program when its folder can be written (a
// portable folder), else in the user's own folders (a program installed under Program Files).
#pragma once

#include <windows.h>

#include <stddef.h>

// After InitSettingsPath: keeps g_szSettingsPath in the program folder when that folder can be written. Else it
// moves it to "%APPDATA%\Tunewright\settings.ini" (creating the folder; a settings.ini beside the program is
// taken over when there is none there yet) and makes "Tunewright" under the user's Music folder the default
// output folder.
void InitSettingsLocation();

// The folder an empty "Output" setting stands for: "<program folder>\wav", or "<Music>\Tunewright".
const char *DefaultOutputDir();

// Makes sure converted files can go into pszFolder: the default output folder is created when first needed.
// TRUE when the folder is there; FALSE with the reason, naming the folder, in pszWhy (cchWhy bytes). Another
// folder that is missing is left to the writer to report.
BOOL PrepareOutputFolder(const char *pszFolder, char *pszWhy, size_t cchWhy);
