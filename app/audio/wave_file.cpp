// WaveFile: the RIFF WAVE writer. Sizes are written as placeholders and patched by mmioAscend at Close.
#include "wave_file.h"

#include "wave_file_io.h"

#include <string.h>

#include <type_traits>

// mmio calls the I/O procedure through an LPMMIOPROC: same calling convention (only i686 tells them apart).
static_assert(std::is_same<decltype(&WaveFileIoProc), LPMMIOPROC>::value, "WaveFileIoProc has mmio's type");

namespace {

const FOURCC FOURCC_WAVE = mmioFOURCC('W', 'A', 'V', 'E');
const FOURCC FOURCC_FMT = mmioFOURCC('f', 'm', 't', ' ');
const FOURCC FOURCC_FACT = mmioFOURCC('f', 'a', 'c', 't');
const FOURCC FOURCC_DATA = mmioFOURCC('d', 'a', 't', 'a');

// The "fact" value (sample count) stays -1 while the file is incomplete and becomes 0 at Close.
const DWORD FACT_VALUE_WRITING = 0xFFFFFFFF;
const DWORD FACT_VALUE_CLOSED = 0;

// Bytes of the format description written to the "fmt " chunk: 16 for PCM, else the whole WAVEFORMATEX.
LONG FormatBytes(const WAVEFORMATEX *pwfx) {
    if (pwfx->wFormatTag == WAVE_FORMAT_PCM) {
        return sizeof(PCMWAVEFORMAT);
    }
    return static_cast<LONG>(sizeof(WAVEFORMATEX) + pwfx->cbSize);
}

// mmioWrite of exactly cb bytes; a short write counts as a failure.
bool WriteExactly(HMMIO hmmio, const void *pv, LONG cb) {
    return mmioWrite(hmmio, static_cast<const char *>(pv), cb) == cb;
}

} // namespace

WaveFile::WaveFile() : m_hmmio(NULL), m_dwMode(0) {
    memset(&m_ckRiff, 0, sizeof(m_ckRiff));
    memset(&m_ck, 0, sizeof(m_ck));
    memset(&m_mmioinfoOut, 0, sizeof(m_mmioinfoOut));
}

WaveFile::~WaveFile() {
    Close();
    // A Close that failed part way keeps the handle so that it can be retried; nobody retries after this.
    if (m_hmmio != NULL) {
        mmioClose(m_hmmio, 0);
        m_hmmio = NULL;
    }
}

HRESULT WaveFile::Open(LPCSTR pszPath, const WAVEFORMATEX *pwfx, DWORD dwMode) {
    if (pszPath == NULL || pwfx == NULL) {
        return E_INVALIDARG;
    }
    // A second Open would lose the file being written; it is refused and that file stays as it is.
    if (m_hmmio != NULL) {
        return E_FAIL;
    }
    m_dwMode = dwMode;

    // The file calls go through WaveFileIoProc, which reports a full disk; mmioOpen does not write to the name
    // unless asked to parse it (MMIO_PARSE).
    MMIOINFO info = {};
    info.pIOProc = WaveFileIoProc;
    m_hmmio = mmioOpenA(const_cast<LPSTR>(pszPath), &info, MMIO_ALLOCBUF | MMIO_READWRITE | MMIO_CREATE);
    if (m_hmmio == NULL) {
        return E_FAIL;
    }

    HRESULT hr = WriteHeader(pwfx);
    if (SUCCEEDED(hr)) {
        hr = BeginData();
    }
    if (FAILED(hr)) {
        // Without a started data chunk there is no buffer state that Write or Close could use.
        mmioClose(m_hmmio, 0);
        m_hmmio = NULL;
    }
    return hr;
}

HRESULT WaveFile::WriteHeader(const WAVEFORMATEX *pwfx) {
    m_ckRiff.fccType = FOURCC_WAVE;
    m_ckRiff.cksize = 0;
    if (mmioCreateChunk(m_hmmio, &m_ckRiff, MMIO_CREATERIFF) != MMSYSERR_NOERROR) {
        return E_FAIL;
    }

    m_ck.ckid = FOURCC_FMT;
    m_ck.cksize = sizeof(PCMWAVEFORMAT);
    if (mmioCreateChunk(m_hmmio, &m_ck, 0) != MMSYSERR_NOERROR) {
        return E_FAIL;
    }
    if (!WriteExactly(m_hmmio, pwfx, FormatBytes(pwfx))) {
        return E_FAIL;
    }
    if (mmioAscend(m_hmmio, &m_ck, 0) != MMSYSERR_NOERROR) {
        return E_FAIL;
    }

    m_ck.ckid = FOURCC_FACT;
    m_ck.cksize = 0;
    if (mmioCreateChunk(m_hmmio, &m_ck, 0) != MMSYSERR_NOERROR) {
        return E_FAIL;
    }
    const DWORD dwFact = FACT_VALUE_WRITING;
    if (!WriteExactly(m_hmmio, &dwFact, sizeof(dwFact))) {
        return E_FAIL;
    }
    // The chunk was created with size 0; ascending writes its real size, 4.
    if (mmioAscend(m_hmmio, &m_ck, 0) != MMSYSERR_NOERROR) {
        return E_FAIL;
    }
    return S_OK;
}

HRESULT WaveFile::BeginData() {
    m_ck.ckid = FOURCC_DATA;
    m_ck.cksize = 0;
    if (mmioCreateChunk(m_hmmio, &m_ck, 0) != MMSYSERR_NOERROR) {
        return E_FAIL;
    }
    // From here on the samples go straight into the service's buffer, without a call per byte.
    if (mmioGetInfo(m_hmmio, &m_mmioinfoOut, 0) != MMSYSERR_NOERROR) {
        return E_FAIL;
    }
    return S_OK;
}

HRESULT WaveFile::Write(UINT cbWrite, const BYTE *pbData, UINT *pcbWritten) {
    if (m_hmmio == NULL) {
        return CO_E_NOTINITIALIZED;
    }
    if (pbData == NULL || pcbWritten == NULL) {
        return E_INVALIDARG;
    }

    *pcbWritten = 0;
    while (*pcbWritten < cbWrite) {
        if (m_mmioinfoOut.pchNext >= m_mmioinfoOut.pchEndWrite) {
            // The buffer is full: hand it to the service, which writes it out and gives it back empty.
            m_mmioinfoOut.dwFlags |= MMIO_DIRTY;
            if (mmioAdvance(m_hmmio, &m_mmioinfoOut, MMIO_WRITE) != MMSYSERR_NOERROR || WaveFileIoFailed(m_hmmio)) {
                return E_FAIL;
            }
            if (m_mmioinfoOut.pchNext >= m_mmioinfoOut.pchEndWrite) {
                return E_FAIL;
            }
        }
        const UINT cbSpace = static_cast<UINT>(m_mmioinfoOut.pchEndWrite - m_mmioinfoOut.pchNext);
        const UINT cbLeft = cbWrite - *pcbWritten;
        const UINT cbRun = cbLeft < cbSpace ? cbLeft : cbSpace;
        memcpy(m_mmioinfoOut.pchNext, pbData + *pcbWritten, cbRun);
        m_mmioinfoOut.pchNext += cbRun;
        *pcbWritten += cbRun;
    }
    return S_OK;
}

HRESULT WaveFile::Close() {
    m_mmioinfoOut.dwFlags |= MMIO_DIRTY;
    if (m_hmmio == NULL) {
        return CO_E_NOTINITIALIZED;
    }
    if (mmioSetInfo(m_hmmio, &m_mmioinfoOut, 0) != MMSYSERR_NOERROR) {
        return E_FAIL;
    }
    // Ascending writes the real sizes over the zeros of Open, and a pad byte after an odd data size.
    if (mmioAscend(m_hmmio, &m_ck, 0) != MMSYSERR_NOERROR) {
        return E_FAIL;
    }
    if (mmioAscend(m_hmmio, &m_ckRiff, 0) != MMSYSERR_NOERROR) {
        return E_FAIL;
    }
    // A failed seek flushes nothing more and would leave the descent reading the wrong bytes.
    if (mmioSeek(m_hmmio, 0, SEEK_SET) == -1) {
        return E_FAIL;
    }
    if (mmioDescend(m_hmmio, &m_ckRiff, NULL, 0) != MMSYSERR_NOERROR) {
        return E_FAIL;
    }
    const HRESULT hr = PatchFactValue();
    if (FAILED(hr)) {
        return hr;
    }
    if (mmioAscend(m_hmmio, &m_ckRiff, 0) != MMSYSERR_NOERROR) {
        return E_FAIL;
    }
    return CloseFile();
}

HRESULT WaveFile::PatchFactValue() {
    m_ck.ckid = FOURCC_FACT;
    const MMRESULT mr = mmioDescend(m_hmmio, &m_ck, &m_ckRiff, MMIO_FINDCHUNK);
    if (mr == MMIOERR_CHUNKNOTFOUND) {
        return S_OK;
    }
    if (mr != MMSYSERR_NOERROR) {
        return E_FAIL;
    }
    const DWORD dwFact = FACT_VALUE_CLOSED;
    if (!WriteExactly(m_hmmio, &dwFact, sizeof(dwFact))) {
        return E_FAIL;
    }
    // The descended chunk is not marked dirty, so its size 4 stays as it is.
    if (mmioAscend(m_hmmio, &m_ck, 0) != MMSYSERR_NOERROR) {
        return E_FAIL;
    }
    return S_OK;
}

HRESULT WaveFile::CloseFile() {
    // The last buffer reaches the disk here: a full disk shows up in these two results.
    const MMRESULT mrFlush = mmioFlush(m_hmmio, 0);
    const BOOL bIoFailed = WaveFileIoFailed(m_hmmio);
    const MMRESULT mrClose = mmioClose(m_hmmio, 0);
    m_hmmio = NULL;
    return (mrFlush == MMSYSERR_NOERROR && !bIoFailed && mrClose == MMSYSERR_NOERROR) ? S_OK : E_FAIL;
}
