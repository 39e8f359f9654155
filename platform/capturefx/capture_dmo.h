// CCaptureDmo: the OrvaDMOFilter audio effect, a DMO that records what passes through it and passes it on.
#pragma once

#include <windows.h>

#include "com_object.h"

#include "dmo_headers.h"

#include "capture_control.h"

// {50E5BCDA-5158-402A-A5E6-B20C0FFF5FCD}: the effect's class.
constexpr CLSID CLSID_OrvaDMOFilter = {0x50e5bcda, 0x5158, 0x402a, {0xa5, 0xe6, 0xb2, 0x0c, 0x0f, 0xff, 0x5f, 0xcd}};

// Number of live objects and server locks, for DllCanUnloadNow.
extern volatile LONG g_cCaptureObjects;

// One instance of the effect. The instance DirectSound creates inside a buffer gets an input type and records;
// the program's own instance gets none and reads the shared recording through ICaptureControl.
class CCaptureDmo final : public tw::com::ComObject<CCaptureDmo, IMediaObject, IMediaObjectInPlace, ICaptureControl> {
public:
    CCaptureDmo();

    // The interface pointer for riid, or null: one identity for all three interfaces.
    void *InterfaceFor(REFIID riid);

    // IMediaObject: one input and one output stream of the same PCM type.
    STDMETHODIMP GetStreamCount(DWORD *pcInputStreams, DWORD *pcOutputStreams) override;
    STDMETHODIMP GetInputStreamInfo(DWORD dwInputStreamIndex, DWORD *pdwFlags) override;
    STDMETHODIMP GetOutputStreamInfo(DWORD dwOutputStreamIndex, DWORD *pdwFlags) override;
    STDMETHODIMP GetInputType(DWORD dwInputStreamIndex, DWORD dwTypeIndex, DMO_MEDIA_TYPE *pmt) override;
    STDMETHODIMP GetOutputType(DWORD dwOutputStreamIndex, DWORD dwTypeIndex, DMO_MEDIA_TYPE *pmt) override;
    STDMETHODIMP SetInputType(DWORD dwInputStreamIndex, const DMO_MEDIA_TYPE *pmt, DWORD dwFlags) override;
    STDMETHODIMP SetOutputType(DWORD dwOutputStreamIndex, const DMO_MEDIA_TYPE *pmt, DWORD dwFlags) override;
    STDMETHODIMP GetInputCurrentType(DWORD dwInputStreamIndex, DMO_MEDIA_TYPE *pmt) override;
    STDMETHODIMP GetOutputCurrentType(DWORD dwOutputStreamIndex, DMO_MEDIA_TYPE *pmt) override;
    STDMETHODIMP GetInputSizeInfo(DWORD dwInputStreamIndex, DWORD *pcbSize, DWORD *pcbMaxLookahead,
                                  DWORD *pcbAlignment) override;
    STDMETHODIMP GetOutputSizeInfo(DWORD dwOutputStreamIndex, DWORD *pcbSize, DWORD *pcbAlignment) override;
    STDMETHODIMP GetInputMaxLatency(DWORD dwInputStreamIndex, REFERENCE_TIME *prtMaxLatency) override;
    STDMETHODIMP SetInputMaxLatency(DWORD dwInputStreamIndex, REFERENCE_TIME rtMaxLatency) override;
    STDMETHODIMP Flush() override;
    STDMETHODIMP Discontinuity(DWORD dwInputStreamIndex) override;
    STDMETHODIMP AllocateStreamingResources() override;
    STDMETHODIMP FreeStreamingResources() override;
    STDMETHODIMP GetInputStatus(DWORD dwInputStreamIndex, DWORD *pdwFlags) override;
    STDMETHODIMP ProcessInput(DWORD dwInputStreamIndex, IMediaBuffer *pBuffer, DWORD dwFlags,
                              REFERENCE_TIME rtTimestamp, REFERENCE_TIME rtTimelength) override;
    STDMETHODIMP ProcessOutput(DWORD dwFlags, DWORD cOutputBufferCount, DMO_OUTPUT_DATA_BUFFER *pOutputBuffers,
                               DWORD *pdwStatus) override;
    STDMETHODIMP Lock(LONG bLock) override;

    // IMediaObjectInPlace: records the block and leaves it unchanged.
    STDMETHODIMP Process(ULONG ulSize, BYTE *pData, REFERENCE_TIME refTimeStart, DWORD dwFlags) override;
    STDMETHODIMP Clone(IMediaObjectInPlace **ppMediaObject) override;
    STDMETHODIMP GetLatency(REFERENCE_TIME *pLatencyTime) override;

    // ICaptureControl.
    STDMETHODIMP AttachBlock(CaptureBlock *pBlock) override;
    STDMETHODIMP UpdateBlock(CaptureBlock *pBlock) override;
    STDMETHODIMP GetCapturedSize(DWORD *pcbCaptured) override;
    STDMETHODIMP CopyCaptured(BYTE *pbDest, DWORD cbCopy) override;

private:
    ~CCaptureDmo();
    CCaptureDmo(const CCaptureDmo &) = delete;
    CCaptureDmo &operator=(const CCaptureDmo &) = delete;

    bool TypesSet() const { return m_bInputSet && m_bOutputSet; }
    HRESULT SetStreamType(DWORD dwStreamIndex, const DMO_MEDIA_TYPE *pmt, DWORD dwFlags, bool *pbSet, bool bOtherSet);
    void ReleaseHeldInput();

    bool m_bInputSet;           // an input type was given (this instance is attached and records)
    bool m_bOutputSet;          // an output type, equal to the input type, was given
    WAVEFORMATEX m_wfx;         // the stream type while set
    IMediaBuffer *m_pHeldInput; // ProcessInput's buffer until ProcessOutput has passed all of it on
    DWORD m_cbHeldDone;         // bytes of m_pHeldInput already passed on
    CaptureBlock *m_pBlock;     // the program's block given to AttachBlock, or null
};
