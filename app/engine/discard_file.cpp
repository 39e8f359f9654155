// DiscardFailedFile: deletes a half-written file on disk, and nothing else.
#include "discard_file.h"

#include <windows.h>

void DiscardFailedFile(const char *pszPath) {
    HANDLE hFile = CreateFileA(pszPath, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, 0, nullptr);
    if (hFile == INVALID_HANDLE_VALUE) {
        return;
    }
    // Wine gives a character device a file type of its own, and no attributes at all.
    bool bDiskFile = GetFileType(hFile) == FILE_TYPE_DISK;
    CloseHandle(hFile);
    DWORD dwAttributes = GetFileAttributesA(pszPath);
    if (bDiskFile && dwAttributes != INVALID_FILE_ATTRIBUTES &&
        (dwAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) == 0) {
        DeleteFileA(pszPath);
    }
}
