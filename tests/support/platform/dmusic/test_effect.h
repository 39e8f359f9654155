// A tiny audio effect for the tests: records every block the buffer gives it, registered in the test process.
#pragma once

#include <windows.h>

#include <mediaobj.h>

#include <cstdint>
#include <functional>
#include <vector>

namespace dmtest {

// {5B1E0A5C-7C1D-4E55-8E0B-4A1D2C3E4F51}
const GUID kTestEffectClsid = {0x5b1e0a5c, 0x7c1d, 0x4e55, {0x8e, 0x0b, 0x4a, 0x1d, 0x2c, 0x3e, 0x4f, 0x51}};

// What every instance has seen, in order (written on the rendering thread, read after the play).
struct Capture {
    std::vector<int16_t> samples; // interleaved stereo
    WAVEFORMATEX inputFormat = {};
    WAVEFORMATEX outputFormat = {};
    int processCalls = 0;
    std::function<void(size_t frames)> onBlock; // called after each block, on the rendering thread
    size_t Frames() const { return samples.size() / 2; }
    void Clear() { *this = Capture(); }
};
inline Capture g_capture;

// The reference count of the test's COM objects; the last Release deletes the object.
struct RefCount {
    volatile LONG nCount = 1;
    ULONG Add() { return static_cast<ULONG>(InterlockedIncrement(&nCount)); }
    template <class T> ULONG Drop(T *pObject) {
        LONG n = InterlockedDecrement(&nCount);
        if (n == 0) {
            delete pObject;
        }
        return static_cast<ULONG>(n);
    }
};

class CTestEffect final : public IMediaObject, public IMediaObjectInPlace {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IMediaObject)) {
            *ppv = static_cast<IMediaObject *>(this);
        } else if (IsEqualIID(riid, IID_IMediaObjectInPlace)) {
            *ppv = static_cast<IMediaObjectInPlace *>(this);
        } else {
            *ppv = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return m_ref.Add(); }
    STDMETHODIMP_(ULONG) Release() override { return m_ref.Drop(this); }

    STDMETHODIMP SetInputType(DWORD, const DMO_MEDIA_TYPE *pmt, DWORD) override {
        return CopyFormat(pmt, g_capture.inputFormat);
    }
    STDMETHODIMP SetOutputType(DWORD, const DMO_MEDIA_TYPE *pmt, DWORD) override {
        return CopyFormat(pmt, g_capture.outputFormat);
    }
    STDMETHODIMP Process(ULONG ulSize, BYTE *pData, REFERENCE_TIME, DWORD) override {
        const int16_t *p = reinterpret_cast<const int16_t *>(pData);
        g_capture.samples.insert(g_capture.samples.end(), p, p + ulSize / 2);
        ++g_capture.processCalls;
        if (g_capture.onBlock) {
            g_capture.onBlock(g_capture.Frames());
        }
        return S_OK;
    }

    STDMETHODIMP GetStreamCount(DWORD *, DWORD *) override { return E_NOTIMPL; }
    STDMETHODIMP GetInputStreamInfo(DWORD, DWORD *) override { return E_NOTIMPL; }
    STDMETHODIMP GetOutputStreamInfo(DWORD, DWORD *) override { return E_NOTIMPL; }
    STDMETHODIMP GetInputType(DWORD, DWORD, DMO_MEDIA_TYPE *) override { return E_NOTIMPL; }
    STDMETHODIMP GetOutputType(DWORD, DWORD, DMO_MEDIA_TYPE *) override { return E_NOTIMPL; }
    STDMETHODIMP GetInputCurrentType(DWORD, DMO_MEDIA_TYPE *) override { return E_NOTIMPL; }
    STDMETHODIMP GetOutputCurrentType(DWORD, DMO_MEDIA_TYPE *) override { return E_NOTIMPL; }
    STDMETHODIMP GetInputSizeInfo(DWORD, DWORD *, DWORD *, DWORD *) override { return E_NOTIMPL; }
    STDMETHODIMP GetOutputSizeInfo(DWORD, DWORD *, DWORD *) override { return E_NOTIMPL; }
    STDMETHODIMP GetInputMaxLatency(DWORD, REFERENCE_TIME *) override { return E_NOTIMPL; }
    STDMETHODIMP SetInputMaxLatency(DWORD, REFERENCE_TIME) override { return E_NOTIMPL; }
    STDMETHODIMP Flush() override { return S_OK; }
    STDMETHODIMP Discontinuity(DWORD) override { return S_OK; }
    STDMETHODIMP AllocateStreamingResources() override { return S_OK; }
    STDMETHODIMP FreeStreamingResources() override { return S_OK; }
    STDMETHODIMP GetInputStatus(DWORD, DWORD *) override { return E_NOTIMPL; }
    STDMETHODIMP ProcessInput(DWORD, IMediaBuffer *, DWORD, REFERENCE_TIME, REFERENCE_TIME) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP ProcessOutput(DWORD, DWORD, DMO_OUTPUT_DATA_BUFFER *, DWORD *) override { return E_NOTIMPL; }
    STDMETHODIMP Lock(LONG) override { return S_OK; }
    STDMETHODIMP Clone(IMediaObjectInPlace **) override { return E_NOTIMPL; }
    STDMETHODIMP GetLatency(REFERENCE_TIME *p) override {
        *p = 0;
        return S_OK;
    }

private:
    static HRESULT CopyFormat(const DMO_MEDIA_TYPE *pmt, WAVEFORMATEX &out) {
        if (pmt == nullptr || pmt->pbFormat == nullptr || pmt->cbFormat < sizeof(WAVEFORMATEX)) {
            return E_INVALIDARG;
        }
        out = *reinterpret_cast<const WAVEFORMATEX *>(pmt->pbFormat);
        return S_OK;
    }
    RefCount m_ref;
};

class CTestEffectFactory final : public IClassFactory {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
            *ppv = this;
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP CreateInstance(IUnknown *pOuter, REFIID riid, void **ppv) override {
        if (pOuter != nullptr) {
            return CLASS_E_NOAGGREGATION;
        }
        CTestEffect *p = new CTestEffect();
        HRESULT hr = p->QueryInterface(riid, ppv);
        p->Release();
        return hr;
    }
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }
};

// Registers the effect's class for this process (once).
inline void RegisterTestEffect() {
    static CTestEffectFactory factory;
    static DWORD dwCookie = 0;
    if (dwCookie == 0) {
        CoRegisterClassObject(kTestEffectClsid, &factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &dwCookie);
    }
}

} // namespace dmtest
