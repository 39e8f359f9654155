// Developer trace of failed platform calls: lines go to a running debug viewer or to the debug output.
#pragma once

// Appends one line (NUL-terminated ANSI text without a line break) to the developer trace. Never fails and never
// starts a program: without a viewer window the line goes to OutputDebugStringA. Callable from any thread.
void TraceLine(const char *pszLine);
