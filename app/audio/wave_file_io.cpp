// WaveFileIoProc: reads, writes and seeks a Win32 file for mmio and records failures the service would drop.
#include "wave_file_io.h"

#include <new>

namespace {

// What the I/O procedure keeps per open file. MMIOINFO.adwInfo[0] points to it: the pointer stays valid in
// every copy of the MMIOINFO (mmioGetInfo / mmioSetInfo pass whole copies back and forth), so a failure recorded
// here cannot be overwritten by a stale copy.
struct IoFile {
    HANDLE hFile;
    BOOL bFailed; // a write or seek has failed since the file was opened
};

const int INFO_IO_FILE = 0;

IoFile *IoFileOf(const MMIOINFO *pInfo) {
    return reinterpret_cast<IoFile *>(static_cast<ULONG_PTR>(pInfo->adwInfo[INFO_IO_FILE]));
}

HANDLE FileOf(const MMIOINFO *pInfo) {
    return IoFileOf(pInfo)->hFile;
}

void MarkFailed(MMIOINFO *pInfo) {
    IoFileOf(pInfo)->bFailed = TRUE;
}

LRESULT OpenFileForMmio(MMIOINFO *pInfo, LPCSTR pszPath) {
    if (pszPath == NULL) {
        return MMIOERR_CANNOTOPEN;
    }
    const DWORD dwAccessFlags = pInfo->dwFlags & (MMIO_READ | MMIO_WRITE | MMIO_READWRITE);
    DWORD dwAccess = GENERIC_READ;
    if (dwAccessFlags == MMIO_WRITE) {
        dwAccess = GENERIC_WRITE;
    } else if (dwAccessFlags == MMIO_READWRITE) {
        dwAccess = GENERIC_READ | GENERIC_WRITE;
    }
    const DWORD dwDisposition = (pInfo->dwFlags & MMIO_CREATE) ? CREATE_ALWAYS : OPEN_EXISTING;
    const HANDLE hFile =
        CreateFileA(pszPath, dwAccess, FILE_SHARE_READ, NULL, dwDisposition, FILE_ATTRIBUTE_NORMAL, NULL);
    if (hFile == INVALID_HANDLE_VALUE) {
        return MMIOERR_CANNOTOPEN;
    }
    IoFile *pIoFile = new (std::nothrow) IoFile();
    if (pIoFile == NULL) {
        CloseHandle(hFile);
        return MMIOERR_OUTOFMEMORY;
    }
    pIoFile->hFile = hFile;
    pIoFile->bFailed = FALSE;
    pInfo->adwInfo[INFO_IO_FILE] = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(pIoFile));
    pInfo->lDiskOffset = 0;
    return MMSYSERR_NOERROR;
}

LRESULT ReadForMmio(MMIOINFO *pInfo, char *pchBuffer, LONG cbRead) {
    DWORD cbDone = 0;
    if (cbRead < 0 || !ReadFile(FileOf(pInfo), pchBuffer, static_cast<DWORD>(cbRead), &cbDone, NULL)) {
        return -1;
    }
    pInfo->lDiskOffset += static_cast<LONG>(cbDone);
    return static_cast<LRESULT>(cbDone);
}

LRESULT WriteForMmio(MMIOINFO *pInfo, const char *pchBuffer, LONG cbWrite) {
    DWORD cbDone = 0;
    const BOOL bOk = cbWrite >= 0 && WriteFile(FileOf(pInfo), pchBuffer, static_cast<DWORD>(cbWrite), &cbDone, NULL);
    pInfo->lDiskOffset += static_cast<LONG>(cbDone);
    if (!bOk || cbDone != static_cast<DWORD>(cbWrite)) {
        MarkFailed(pInfo);
        return -1;
    }
    return static_cast<LRESULT>(cbDone);
}

LRESULT SeekForMmio(MMIOINFO *pInfo, LONG lOffset, int nOrigin) {
    DWORD dwMethod = FILE_BEGIN;
    if (nOrigin == SEEK_CUR) {
        dwMethod = FILE_CURRENT;
    } else if (nOrigin == SEEK_END) {
        dwMethod = FILE_END;
    }
    const DWORD dwPos = SetFilePointer(FileOf(pInfo), lOffset, NULL, dwMethod);
    if (dwPos == INVALID_SET_FILE_POINTER) {
        MarkFailed(pInfo);
        return -1;
    }
    pInfo->lDiskOffset = static_cast<LONG>(dwPos);
    return static_cast<LRESULT>(dwPos);
}

LRESULT CloseForMmio(MMIOINFO *pInfo) {
    IoFile *pIoFile = IoFileOf(pInfo);
    const BOOL bClosed = CloseHandle(pIoFile->hFile);
    delete pIoFile;
    pInfo->adwInfo[INFO_IO_FILE] = 0;
    return bClosed ? MMSYSERR_NOERROR : MMIOERR_CANNOTCLOSE;
}

} // namespace

LRESULT CALLBACK WaveFileIoProc(LPSTR pszMmioInfo, UINT uMessage, LPARAM lParam1, LPARAM lParam2) {
    MMIOINFO *pInfo = reinterpret_cast<MMIOINFO *>(pszMmioInfo);
    switch (uMessage) {
    case MMIOM_OPEN:
        return OpenFileForMmio(pInfo, reinterpret_cast<LPCSTR>(lParam1));
    case MMIOM_CLOSE:
        return CloseForMmio(pInfo);
    case MMIOM_READ:
        return ReadForMmio(pInfo, reinterpret_cast<char *>(lParam1), static_cast<LONG>(lParam2));
    case MMIOM_WRITE:
    case MMIOM_WRITEFLUSH:
        return WriteForMmio(pInfo, reinterpret_cast<const char *>(lParam1), static_cast<LONG>(lParam2));
    case MMIOM_SEEK:
        return SeekForMmio(pInfo, static_cast<LONG>(lParam1), static_cast<int>(lParam2));
    default:
        // Renaming and other requests are not used on these files.
        return 0;
    }
}

BOOL WaveFileIoFailed(HMMIO hmmio) {
    MMIOINFO info = {};
    if (mmioGetInfo(hmmio, &info, 0) != MMSYSERR_NOERROR || IoFileOf(&info) == NULL) {
        return TRUE;
    }
    return IoFileOf(&info)->bFailed;
}
