// OrvaDMOFilter.dll through COM as DirectSound and the engine use it: registration, enumeration, recording.
#include <windows.h>

#include <gtest/gtest.h>
#include <uuids.h>

#include <string>
#include <vector>

#include "capture_control.h"
#include "capture_dmo.h"
#include "support/platform/capturefx/pcm_test_types.h"
#include "support/platform/capturefx/register_capture.h"

namespace {

// Bytes that differ from position to position, so a lost or repeated block shows.
std::vector<BYTE> Pattern(size_t cb, unsigned nSeed) {
    std::vector<BYTE> data(cb);
    for (size_t i = 0; i < cb; ++i) {
        data[i] = static_cast<BYTE>((i * 7 + nSeed + i / 251) & 0xFF);
    }
    return data;
}

class CaptureDmo : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        ASSERT_TRUE(RunRegsvr32(true)) << "regsvr32 OrvaDMOFilter.dll failed";
    }
    static void TearDownTestSuite() { CoUninitialize(); }

    // An instance created through the registry, as DirectSound's SetFX and FindFilter create it.
    static IMediaObject *Create() {
        IMediaObject *pDmo = nullptr;
        HRESULT hr = CoCreateInstance(CLSID_OrvaDMOFilter, nullptr, CLSCTX_INPROC_SERVER, IID_IMediaObject,
                                      reinterpret_cast<void **>(&pDmo));
        EXPECT_EQ(S_OK, hr);
        return pDmo;
    }
    // Attaches an instance to a "buffer" of format wfx, the way DirectSound does.
    static void Attach(IMediaObject *pDmo, WAVEFORMATEX wfx) {
        DMO_MEDIA_TYPE mt = MediaTypeOf(wfx);
        ASSERT_EQ(S_OK, pDmo->SetInputType(0, &mt, 0));
        ASSERT_EQ(S_OK, pDmo->SetOutputType(0, &mt, 0));
    }
    static void ProcessInPlace(IMediaObject *pDmo, std::vector<BYTE> block) {
        IMediaObjectInPlace *pInPlace = nullptr;
        ASSERT_EQ(S_OK, pDmo->QueryInterface(IID_IMediaObjectInPlace, reinterpret_cast<void **>(&pInPlace)));
        std::vector<BYTE> original = block;
        EXPECT_EQ(S_OK, pInPlace->Process(static_cast<ULONG>(block.size()), block.data(), 0, DMO_INPLACE_NORMAL));
        EXPECT_EQ(original, block) << "the effect must pass the sound on unchanged";
        pInPlace->Release();
    }
    static ICaptureControl *Control(IMediaObject *pDmo) {
        ICaptureControl *pControl = nullptr;
        EXPECT_EQ(S_OK, pDmo->QueryInterface(IID_ICaptureControl, reinterpret_cast<void **>(&pControl)));
        return pControl;
    }
    static DWORD CapturedSize(ICaptureControl *pControl) {
        DWORD cb = 0xDEAD;
        pControl->GetCapturedSize(&cb);
        return cb;
    }
    static std::vector<BYTE> Captured(ICaptureControl *pControl) {
        DWORD cb = 0xDEAD;
        EXPECT_EQ(S_OK, pControl->GetCapturedSize(&cb));
        std::vector<BYTE> data(cb);
        pControl->CopyCaptured(data.data(), cb);
        return data;
    }
};

// The class DMOEnum lists under the friendly name "OrvaDMOFilter" among the audio effects, or GUID_NULL.
CLSID EnumeratedClass() {
    IEnumDMO *pEnum = nullptr;
    EXPECT_EQ(S_OK, DMOEnum(DMOCATEGORY_AUDIO_EFFECT, DMO_ENUMF_INCLUDE_KEYED, 0, nullptr, 0, nullptr, &pEnum));
    if (pEnum == nullptr) {
        return GUID_NULL;
    }
    CLSID clsid, found = GUID_NULL;
    WCHAR *pszName = nullptr;
    while (IsEqualCLSID(found, GUID_NULL) && pEnum->Next(1, &clsid, &pszName, nullptr) == S_OK) {
        if (pszName != nullptr && lstrcmpW(pszName, L"OrvaDMOFilter") == 0) {
            found = clsid;
        }
        CoTaskMemFree(pszName);
    }
    pEnum->Release();
    return found;
}

TEST_F(CaptureDmo, RegisteredClassIsEnumeratedAsAudioEffectByItsFriendlyName) {
    EXPECT_TRUE(IsEqualCLSID(CLSID_OrvaDMOFilter, EnumeratedClass()));

    char szModel[16] = {};
    LONG cbModel = sizeof(szModel);
    HKEY hKey = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExA(HKEY_CLASSES_ROOT, "CLSID\\{50E5BCDA-5158-402A-A5E6-B20C0FFF5FCD}\\InprocServer32", 0,
                            KEY_READ, &hKey));
    DWORD dwType = 0;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(hKey, "ThreadingModel", nullptr, &dwType,
                                              reinterpret_cast<BYTE *>(szModel), reinterpret_cast<DWORD *>(&cbModel)));
    RegCloseKey(hKey);
    EXPECT_STREQ("Both", szModel);
}

// The engine's own instance never enters a buffer: it must see what the buffer's instance processed, across
// more than one chunk of the recording, with the format written into the CaptureBlock.
TEST_F(CaptureDmo, SecondInstanceReadsWhatTheAttachedInstanceProcessed) {
    IMediaObject *pControlDmo = Create();
    ICaptureControl *pControl = Control(pControlDmo);
    CaptureBlock block = {};
    block.hHeap = GetProcessHeap();
    ASSERT_EQ(S_OK, pControl->AttachBlock(&block));

    IMediaObject *pInBuffer = Create();
    Attach(pInBuffer, PcmFormat(2, 44100, 16));
    std::vector<BYTE> expected;
    for (unsigned i = 0; i < 300; ++i) { // 300 blocks of 10 ms: about 2.6 MB
        std::vector<BYTE> block10ms = Pattern(441 * 4 * 2, i);
        ProcessInPlace(pInBuffer, block10ms);
        expected.insert(expected.end(), block10ms.begin(), block10ms.end());
    }
    // A copy asked for fewer bytes gets exactly those, and leaves the recording in place.
    std::vector<BYTE> head(10, 0xAA);
    pControl->CopyCaptured(head.data(), 6);
    EXPECT_EQ(std::vector<BYTE>(expected.begin(), expected.begin() + 6),
              std::vector<BYTE>(head.begin(), head.begin() + 6));
    EXPECT_EQ(0xAA, head[6]);

    // A copy of all of it hands the recording over: the effect no longer holds it twice.
    EXPECT_EQ(expected, Captured(pControl));
    pControl->UpdateBlock(&block);
    EXPECT_EQ(GetProcessHeap(), block.hHeap);
    EXPECT_EQ(WAVE_FORMAT_PCM, block.wfx.wFormatTag);
    EXPECT_EQ(2, block.wfx.nChannels);
    EXPECT_EQ(44100u, block.wfx.nSamplesPerSec);
    EXPECT_EQ(16, block.wfx.wBitsPerSample);
    EXPECT_EQ(4, block.wfx.nBlockAlign);
    EXPECT_TRUE(Captured(pControl).empty());
    pInBuffer->Release();
    pControl->Release();
    pControlDmo->Release();
}

TEST_F(CaptureDmo, NewAttachmentStartsTheRecordingAfresh) {
    IMediaObject *pFirst = Create();
    Attach(pFirst, PcmFormat(2, 22050, 16));
    ProcessInPlace(pFirst, Pattern(4000, 1));
    IMediaObject *pControlDmo = Create();
    ICaptureControl *pControl = Control(pControlDmo);
    EXPECT_EQ(4000u, CapturedSize(pControl));

    // A type only tested, or a second instance without types, does not restart it.
    WAVEFORMATEX wfx24 = PcmFormat(1, 48000, 24);
    DMO_MEDIA_TYPE mt = MediaTypeOf(wfx24);
    IMediaObject *pSecond = Create();
    EXPECT_EQ(S_OK, pSecond->SetInputType(0, &mt, DMO_SET_TYPEF_TEST_ONLY));
    EXPECT_EQ(4000u, CapturedSize(pControl));

    Attach(pSecond, wfx24);
    EXPECT_EQ(0u, CapturedSize(pControl));
    std::vector<BYTE> data = Pattern(3 * 480, 2);
    ProcessInPlace(pSecond, data);
    EXPECT_EQ(data, Captured(pControl));
    CaptureBlock block = {};
    pControl->UpdateBlock(&block);
    EXPECT_EQ(1, block.wfx.nChannels);
    EXPECT_EQ(48000u, block.wfx.nSamplesPerSec);
    EXPECT_EQ(24, block.wfx.wBitsPerSample);
    pFirst->Release();
    pSecond->Release();
    pControl->Release();
    pControlDmo->Release();
}

TEST_F(CaptureDmo, AcceptsPcm16To32BitsOnlyAndProcessesNothingWithoutTypes) {
    IMediaObject *pDmo = Create();
    for (WORD wBits : {16, 24, 32}) {
        WAVEFORMATEX wfx = PcmFormat(2, 44100, wBits);
        DMO_MEDIA_TYPE mt = MediaTypeOf(wfx);
        EXPECT_EQ(S_OK, pDmo->SetInputType(0, &mt, DMO_SET_TYPEF_TEST_ONLY)) << wBits;
    }
    WAVEFORMATEX wfx8 = PcmFormat(2, 44100, 8);
    DMO_MEDIA_TYPE mt8 = MediaTypeOf(wfx8);
    EXPECT_EQ(DMO_E_TYPE_NOT_ACCEPTED, pDmo->SetInputType(0, &mt8, 0));
    WAVEFORMATEX wfxFloat = PcmFormat(2, 44100, 32);
    wfxFloat.wFormatTag = WAVE_FORMAT_IEEE_FLOAT;
    DMO_MEDIA_TYPE mtFloat = MediaTypeOf(wfxFloat);
    EXPECT_EQ(DMO_E_TYPE_NOT_ACCEPTED, pDmo->SetInputType(0, &mtFloat, 0));

    IMediaObjectInPlace *pInPlace = nullptr;
    ASSERT_EQ(S_OK, pDmo->QueryInterface(IID_IMediaObjectInPlace, reinterpret_cast<void **>(&pInPlace)));
    BYTE ab[8] = {};
    EXPECT_EQ(DMO_E_TYPE_NOT_SET, pInPlace->Process(sizeof(ab), ab, 0, 0));
    pInPlace->Release();
    pDmo->Release();
}

// A plain IMediaBuffer over a vector, for the streaming form of the DMO.
class VectorBuffer final : public IMediaBuffer {
public:
    explicit VectorBuffer(size_t cbMax) : m_data(cbMax) {}
    STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override {
        *ppv = IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IMediaBuffer) ? this : nullptr;
        return *ppv != nullptr ? (AddRef(), S_OK) : E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++m_cRef; }
    STDMETHODIMP_(ULONG) Release() override { return --m_cRef; }
    STDMETHODIMP SetLength(DWORD cb) override { return cb <= m_data.size() ? (m_cb = cb, S_OK) : E_INVALIDARG; }
    STDMETHODIMP GetMaxLength(DWORD *pcb) override { return *pcb = static_cast<DWORD>(m_data.size()), S_OK; }
    STDMETHODIMP GetBufferAndLength(BYTE **ppb, DWORD *pcb) override {
        *ppb = m_data.data();
        *pcb = m_cb;
        return S_OK;
    }
    std::vector<BYTE> m_data;
    DWORD m_cb = 0;
    ULONG m_cRef = 1;
};

TEST_F(CaptureDmo, StreamingInputAndOutputPassTheBytesOnAndRecordThem) {
    IMediaObject *pDmo = Create();
    Attach(pDmo, PcmFormat(2, 44100, 16));
    VectorBuffer input(1000);
    std::vector<BYTE> data = Pattern(1000, 3);
    input.m_data = data;
    input.m_cb = 1000;
    ASSERT_EQ(S_OK, pDmo->ProcessInput(0, &input, 0, 0, 0));
    EXPECT_EQ(2u, input.m_cRef) << "the input is held until it has been passed on";
    EXPECT_EQ(DMO_E_NOTACCEPTING, pDmo->ProcessInput(0, &input, 0, 0, 0));

    std::vector<BYTE> passed;
    for (int i = 0; i < 3; ++i) { // 400-byte outputs: 400, 400, 200
        VectorBuffer output(400);
        DMO_OUTPUT_DATA_BUFFER out = {};
        out.pBuffer = &output;
        DWORD dwStatus = 0;
        ASSERT_EQ(S_OK, pDmo->ProcessOutput(0, 1, &out, &dwStatus));
        passed.insert(passed.end(), output.m_data.begin(), output.m_data.begin() + output.m_cb);
        EXPECT_EQ(i < 2, (out.dwStatus & DMO_OUTPUT_DATA_BUFFERF_INCOMPLETE) != 0) << i;
    }
    EXPECT_EQ(data, passed);
    EXPECT_EQ(1u, input.m_cRef);
    ICaptureControl *pControl = Control(pDmo);
    EXPECT_EQ(data, Captured(pControl));
    pControl->Release();
    pDmo->Release();
}

// Runs last: unregistering removes the class from the category, registering again restores it.
TEST_F(CaptureDmo, UnregisterRemovesTheEffectAndRegisterRestoresIt) {
    ASSERT_TRUE(RunRegsvr32(false));
    EXPECT_TRUE(IsEqualCLSID(GUID_NULL, EnumeratedClass()));
    IMediaObject *pDmo = nullptr;
    EXPECT_NE(S_OK, CoCreateInstance(CLSID_OrvaDMOFilter, nullptr, CLSCTX_INPROC_SERVER, IID_IMediaObject,
                                     reinterpret_cast<void **>(&pDmo)));
    ASSERT_TRUE(RunRegsvr32(true));
    EXPECT_TRUE(IsEqualCLSID(CLSID_OrvaDMOFilter, EnumeratedClass()));
    pDmo = Create();
    ASSERT_NE(nullptr, pDmo);
    pDmo->Release();
}

} // namespace
