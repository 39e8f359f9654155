// Removing what a failed save left behind, without ever touching a device or a folder.
#pragma once

// Deletes pszPath when it is a file on disk; a device (such as Z:/dev/full), a folder or a missing path is left
// as it is.
void DiscardFailedFile(const char *pszPath);
