// Registering the capture effect when the engine does not find it: regsvr32 on the copy beside the program, never
// on one in a folder that Windows empties.
#pragma once

#include <windows.h>

#include <stddef.h>

// Runs "regsvr32 /s <pszProgramDir>\OrvaDMOFilter.dll" hidden and waits for it. TRUE when regsvr32 reports
// success; FALSE with the reason, naming the file or folder, in pszWhy (cchWhy bytes). A program folder inside
// the temporary folder or the browser's download cache is refused without running regsvr32: a registration
// there would point at nothing after the next clean-up.
BOOL RegisterCaptureEffect(const char *pszProgramDir, char *pszWhy, size_t cchWhy);

// The reason to give when regsvr32 succeeded and the effect is still not found (pszWhy, cchWhy bytes).
void FormatEffectNotListed(const char *pszProgramDir, char *pszWhy, size_t cchWhy);

// TRUE when pszFolder lies inside the temporary folder or the browser's download cache (or is one of them).
BOOL IsTemporaryFolder(const char *pszFolder);
