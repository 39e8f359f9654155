// CCaptureDmo: stream types and processing of the capture effect; every byte processed joins the recording.
#include "capture_dmo.h"

#include <cstring>
#include <new>

#include "capture_recording.h"
#include "pcm_media_type.h"

volatile LONG g_cCaptureObjects = 0;

namespace {

// Stream flags of the DMO interface that MinGW's mediaobj.h leaves out (values from the DirectX SDK).
const DWORD kInputWholeSamples = 0x1;     // DMO_INPUT_STREAMF_WHOLE_SAMPLES
const DWORD kInputFixedSampleSize = 0x4;  // DMO_INPUT_STREAMF_FIXED_SAMPLE_SIZE
const DWORD kOutputWholeSamples = 0x1;    // DMO_OUTPUT_STREAMF_WHOLE_SAMPLES
const DWORD kOutputFixedSampleSize = 0x4; // DMO_OUTPUT_STREAMF_FIXED_SAMPLE_SIZE

bool SameFormat(const WAVEFORMATEX &a, const WAVEFORMATEX &b) {
    return a.wFormatTag == b.wFormatTag && a.nChannels == b.nChannels && a.nSamplesPerSec == b.nSamplesPerSec &&
           a.wBitsPerSample == b.wBitsPerSample;
}

} // namespace

CCaptureDmo::CCaptureDmo()
    : m_bInputSet(false), m_bOutputSet(false), m_wfx(), m_pHeldInput(nullptr), m_cbHeldDone(0), m_pBlock(nullptr) {
    InterlockedIncrement(&g_cCaptureObjects);
}

CCaptureDmo::~CCaptureDmo() {
    ReleaseHeldInput();
    InterlockedDecrement(&g_cCaptureObjects);
}

void *CCaptureDmo::InterfaceFor(REFIID riid) {
    if (IsEqualIID(riid, IID_IMediaObject))
        return static_cast<IMediaObject *>(this);
    if (IsEqualIID(riid, IID_IMediaObjectInPlace))
        return static_cast<IMediaObjectInPlace *>(this);
    if (IsEqualIID(riid, IID_ICaptureControl))
        return static_cast<ICaptureControl *>(this);
    return nullptr;
}

STDMETHODIMP CCaptureDmo::GetStreamCount(DWORD *pcInputStreams, DWORD *pcOutputStreams) {
    if (pcInputStreams == nullptr || pcOutputStreams == nullptr) {
        return E_POINTER;
    }
    *pcInputStreams = 1;
    *pcOutputStreams = 1;
    return S_OK;
}

STDMETHODIMP CCaptureDmo::GetInputStreamInfo(DWORD dwInputStreamIndex, DWORD *pdwFlags) {
    if (dwInputStreamIndex != 0) {
        return DMO_E_INVALIDSTREAMINDEX;
    }
    if (pdwFlags == nullptr) {
        return E_POINTER;
    }
    *pdwFlags = kInputWholeSamples | kInputFixedSampleSize;
    return S_OK;
}

STDMETHODIMP CCaptureDmo::GetOutputStreamInfo(DWORD dwOutputStreamIndex, DWORD *pdwFlags) {
    if (dwOutputStreamIndex != 0) {
        return DMO_E_INVALIDSTREAMINDEX;
    }
    if (pdwFlags == nullptr) {
        return E_POINTER;
    }
    *pdwFlags = kOutputWholeSamples | kOutputFixedSampleSize;
    return S_OK;
}

// Any PCM input of the accepted widths will do, so no input type is proposed.
STDMETHODIMP CCaptureDmo::GetInputType(DWORD dwInputStreamIndex, DWORD, DMO_MEDIA_TYPE *) {
    return dwInputStreamIndex != 0 ? DMO_E_INVALIDSTREAMINDEX : DMO_E_NO_MORE_ITEMS;
}

// The output is the input unchanged: its one proposal is the input type.
STDMETHODIMP CCaptureDmo::GetOutputType(DWORD dwOutputStreamIndex, DWORD dwTypeIndex, DMO_MEDIA_TYPE *pmt) {
    if (dwOutputStreamIndex != 0) {
        return DMO_E_INVALIDSTREAMINDEX;
    }
    if (!m_bInputSet) {
        return DMO_E_TYPE_NOT_SET;
    }
    if (dwTypeIndex != 0) {
        return DMO_E_NO_MORE_ITEMS;
    }
    return pmt != nullptr ? capturefx::WritePcmMediaType(m_wfx, pmt) : S_OK;
}

// Both streams carry the one type: whichever is set second must equal the first.
HRESULT CCaptureDmo::SetStreamType(DWORD dwStreamIndex, const DMO_MEDIA_TYPE *pmt, DWORD dwFlags, bool *pbSet,
                                   bool bOtherSet) {
    if (dwStreamIndex != 0) {
        return DMO_E_INVALIDSTREAMINDEX;
    }
    if (dwFlags & DMO_SET_TYPEF_CLEAR) {
        *pbSet = false;
        return S_OK;
    }
    WAVEFORMATEX wfx;
    if (!capturefx::ReadPcmMediaType(pmt, &wfx) || (bOtherSet && !SameFormat(wfx, m_wfx))) {
        return DMO_E_TYPE_NOT_ACCEPTED;
    }
    if ((dwFlags & DMO_SET_TYPEF_TEST_ONLY) == 0) {
        m_wfx = wfx;
        *pbSet = true;
    }
    return S_OK;
}

STDMETHODIMP CCaptureDmo::SetInputType(DWORD dwInputStreamIndex, const DMO_MEDIA_TYPE *pmt, DWORD dwFlags) {
    HRESULT hr = SetStreamType(dwInputStreamIndex, pmt, dwFlags, &m_bInputSet, m_bOutputSet);
    if (hr == S_OK && (dwFlags & (DMO_SET_TYPEF_TEST_ONLY | DMO_SET_TYPEF_CLEAR)) == 0) {
        // An instance attached to a buffer: what it processes from now on is the recording.
        capturefx::RestartRecording(m_wfx);
    }
    return hr;
}

STDMETHODIMP CCaptureDmo::SetOutputType(DWORD dwOutputStreamIndex, const DMO_MEDIA_TYPE *pmt, DWORD dwFlags) {
    return SetStreamType(dwOutputStreamIndex, pmt, dwFlags, &m_bOutputSet, m_bInputSet);
}

STDMETHODIMP CCaptureDmo::GetInputCurrentType(DWORD dwInputStreamIndex, DMO_MEDIA_TYPE *pmt) {
    if (dwInputStreamIndex != 0) {
        return DMO_E_INVALIDSTREAMINDEX;
    }
    return m_bInputSet ? capturefx::WritePcmMediaType(m_wfx, pmt) : DMO_E_TYPE_NOT_SET;
}

STDMETHODIMP CCaptureDmo::GetOutputCurrentType(DWORD dwOutputStreamIndex, DMO_MEDIA_TYPE *pmt) {
    if (dwOutputStreamIndex != 0) {
        return DMO_E_INVALIDSTREAMINDEX;
    }
    return m_bOutputSet ? capturefx::WritePcmMediaType(m_wfx, pmt) : DMO_E_TYPE_NOT_SET;
}

STDMETHODIMP CCaptureDmo::GetInputSizeInfo(DWORD dwInputStreamIndex, DWORD *pcbSize, DWORD *pcbMaxLookahead,
                                           DWORD *pcbAlignment) {
    if (dwInputStreamIndex != 0) {
        return DMO_E_INVALIDSTREAMINDEX;
    }
    if (!m_bInputSet) {
        return DMO_E_TYPE_NOT_SET;
    }
    if (pcbSize == nullptr || pcbMaxLookahead == nullptr || pcbAlignment == nullptr) {
        return E_POINTER;
    }
    *pcbSize = m_wfx.nBlockAlign;
    *pcbMaxLookahead = 0;
    *pcbAlignment = 1;
    return S_OK;
}

STDMETHODIMP CCaptureDmo::GetOutputSizeInfo(DWORD dwOutputStreamIndex, DWORD *pcbSize, DWORD *pcbAlignment) {
    if (dwOutputStreamIndex != 0) {
        return DMO_E_INVALIDSTREAMINDEX;
    }
    if (!m_bOutputSet) {
        return DMO_E_TYPE_NOT_SET;
    }
    if (pcbSize == nullptr || pcbAlignment == nullptr) {
        return E_POINTER;
    }
    *pcbSize = m_wfx.nBlockAlign;
    *pcbAlignment = 1;
    return S_OK;
}

STDMETHODIMP CCaptureDmo::GetInputMaxLatency(DWORD, REFERENCE_TIME *) {
    return E_NOTIMPL;
}

STDMETHODIMP CCaptureDmo::SetInputMaxLatency(DWORD, REFERENCE_TIME) {
    return E_NOTIMPL;
}

STDMETHODIMP CCaptureDmo::Flush() {
    ReleaseHeldInput();
    return S_OK;
}

STDMETHODIMP CCaptureDmo::Discontinuity(DWORD dwInputStreamIndex) {
    return dwInputStreamIndex != 0 ? DMO_E_INVALIDSTREAMINDEX : S_OK;
}

STDMETHODIMP CCaptureDmo::AllocateStreamingResources() {
    return S_OK;
}

STDMETHODIMP CCaptureDmo::FreeStreamingResources() {
    ReleaseHeldInput();
    return S_OK;
}

STDMETHODIMP CCaptureDmo::GetInputStatus(DWORD dwInputStreamIndex, DWORD *pdwFlags) {
    if (dwInputStreamIndex != 0) {
        return DMO_E_INVALIDSTREAMINDEX;
    }
    if (pdwFlags == nullptr) {
        return E_POINTER;
    }
    *pdwFlags = m_pHeldInput == nullptr ? DMO_INPUT_STATUSF_ACCEPT_DATA : 0;
    return S_OK;
}

STDMETHODIMP CCaptureDmo::ProcessInput(DWORD dwInputStreamIndex, IMediaBuffer *pBuffer, DWORD, REFERENCE_TIME,
                                       REFERENCE_TIME) {
    if (dwInputStreamIndex != 0) {
        return DMO_E_INVALIDSTREAMINDEX;
    }
    if (pBuffer == nullptr) {
        return E_POINTER;
    }
    if (!TypesSet()) {
        return DMO_E_TYPE_NOT_SET;
    }
    if (m_pHeldInput != nullptr) {
        return DMO_E_NOTACCEPTING;
    }
    BYTE *pbData = nullptr;
    DWORD cbData = 0;
    HRESULT hr = pBuffer->GetBufferAndLength(&pbData, &cbData);
    if (FAILED(hr)) {
        return hr;
    }
    capturefx::AppendRecording(pbData, cbData);
    pBuffer->AddRef();
    m_pHeldInput = pBuffer;
    m_cbHeldDone = 0;
    return S_OK;
}

// Copies as much of the held input as the output buffer takes; the rest waits for the next call.
STDMETHODIMP CCaptureDmo::ProcessOutput(DWORD, DWORD cOutputBufferCount, DMO_OUTPUT_DATA_BUFFER *pOutputBuffers,
                                        DWORD *pdwStatus) {
    if (cOutputBufferCount != 1 || pOutputBuffers == nullptr || pOutputBuffers[0].pBuffer == nullptr) {
        return E_INVALIDARG;
    }
    if (pdwStatus != nullptr) {
        *pdwStatus = 0;
    }
    pOutputBuffers[0].dwStatus = 0;
    if (m_pHeldInput == nullptr) {
        return S_FALSE;
    }
    BYTE *pbIn = nullptr, *pbOut = nullptr;
    DWORD cbIn = 0, cbOut = 0, cbMax = 0;
    IMediaBuffer *pOut = pOutputBuffers[0].pBuffer;
    HRESULT hr = m_pHeldInput->GetBufferAndLength(&pbIn, &cbIn);
    if (SUCCEEDED(hr)) {
        hr = pOut->GetBufferAndLength(&pbOut, &cbOut);
    }
    if (SUCCEEDED(hr)) {
        hr = pOut->GetMaxLength(&cbMax);
    }
    if (FAILED(hr)) {
        return hr;
    }
    DWORD cbCopy = cbIn - m_cbHeldDone;
    DWORD cbRoom = cbMax > cbOut ? cbMax - cbOut : 0;
    if (cbCopy > cbRoom) {
        cbCopy = cbRoom - cbRoom % (m_wfx.nBlockAlign != 0 ? m_wfx.nBlockAlign : 1);
    }
    memcpy(pbOut + cbOut, pbIn + m_cbHeldDone, cbCopy);
    pOut->SetLength(cbOut + cbCopy);
    m_cbHeldDone += cbCopy;
    if (m_cbHeldDone < cbIn) {
        pOutputBuffers[0].dwStatus = DMO_OUTPUT_DATA_BUFFERF_INCOMPLETE;
    } else {
        ReleaseHeldInput();
    }
    return S_OK;
}

STDMETHODIMP CCaptureDmo::Lock(LONG) {
    return S_OK;
}

STDMETHODIMP CCaptureDmo::Process(ULONG ulSize, BYTE *pData, REFERENCE_TIME, DWORD) {
    if (!TypesSet()) {
        return DMO_E_TYPE_NOT_SET;
    }
    if (pData == nullptr && ulSize != 0) {
        return E_POINTER;
    }
    capturefx::AppendRecording(pData, ulSize);
    return S_OK;
}

// A clone has the same types but is not a new attachment: the recording goes on.
STDMETHODIMP CCaptureDmo::Clone(IMediaObjectInPlace **ppMediaObject) {
    if (ppMediaObject == nullptr) {
        return E_POINTER;
    }
    CCaptureDmo *pClone = new (std::nothrow) CCaptureDmo();
    if (pClone == nullptr) {
        *ppMediaObject = nullptr;
        return E_OUTOFMEMORY;
    }
    pClone->m_bInputSet = m_bInputSet;
    pClone->m_bOutputSet = m_bOutputSet;
    pClone->m_wfx = m_wfx;
    *ppMediaObject = static_cast<IMediaObjectInPlace *>(pClone);
    return S_OK;
}

STDMETHODIMP CCaptureDmo::GetLatency(REFERENCE_TIME *pLatencyTime) {
    if (pLatencyTime == nullptr) {
        return E_POINTER;
    }
    *pLatencyTime = 0;
    return S_OK;
}

STDMETHODIMP CCaptureDmo::AttachBlock(CaptureBlock *pBlock) {
    if (pBlock == nullptr) {
        return E_POINTER;
    }
    m_pBlock = pBlock;
    return UpdateBlock(pBlock);
}

STDMETHODIMP CCaptureDmo::UpdateBlock(CaptureBlock *pBlock) {
    if (pBlock == nullptr) {
        pBlock = m_pBlock;
    }
    if (pBlock == nullptr) {
        return E_POINTER;
    }
    pBlock->wfx = capturefx::RecordedFormat();
    return S_OK;
}

STDMETHODIMP CCaptureDmo::GetCapturedSize(DWORD *pcbCaptured) {
    if (pcbCaptured == nullptr) {
        return E_POINTER;
    }
    *pcbCaptured = capturefx::RecordedSize();
    return S_OK;
}

STDMETHODIMP CCaptureDmo::CopyCaptured(BYTE *pbDest, DWORD cbCopy) {
    if (pbDest == nullptr && cbCopy != 0) {
        return E_POINTER;
    }
    return capturefx::CopyRecording(pbDest, cbCopy) == cbCopy ? S_OK : S_FALSE;
}

void CCaptureDmo::ReleaseHeldInput() {
    if (m_pHeldInput != nullptr) {
        m_pHeldInput->Release();
        m_pHeldInput = nullptr;
    }
    m_cbHeldDone = 0;
}
