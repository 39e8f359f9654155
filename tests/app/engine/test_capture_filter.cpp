// FindFilter, SetFilter and RemoveFilter: the exact friendly name, the enumerator released on every path, the
// effect placed on an inactive buffer, and their trace lines.
#include <windows.h>

#include <gtest/gtest.h>
#include <uuids.h>

#include <string>
#include <vector>

#include "support/app/engine/capture_feed.h"
#include "support/app/engine/engine_doubles.h"
#include "support/app/engine/fake_viewer.h"
#include "capture_dmo.h"
#include "engine.h"
#include "error_descriptions.h"
#include "support/platform/capturefx/register_capture.h"

namespace {

const CLSID kOtherClass = {0x00000000, 0x0000, 0x0000, {0, 0, 0, 0, 0, 0, 0, 0xA1}};

// An enumeration of fixed names that counts its references; Next fails with m_hrFail after the names.
class ListEnum final : public IEnumDMO {
public:
    STDMETHODIMP QueryInterface(REFIID, void **ppv) override {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++m_cRef); }
    STDMETHODIMP_(ULONG) Release() override { return static_cast<ULONG>(--m_cRef); }
    STDMETHODIMP Next(DWORD cItems, CLSID *pclsid, WCHAR **ppwszNames, DWORD *) override {
        EXPECT_EQ(1u, cItems);
        if (m_nNext >= m_names.size()) {
            return m_hrEnd;
        }
        const std::wstring &name = m_names[m_nNext];
        *ppwszNames = static_cast<WCHAR *>(CoTaskMemAlloc((name.size() + 1) * sizeof(WCHAR)));
        lstrcpyW(*ppwszNames, name.c_str());
        *pclsid = kOtherClass;
        ++m_nNext;
        return S_OK;
    }
    STDMETHODIMP Skip(DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP Reset() override { return E_NOTIMPL; }
    STDMETHODIMP Clone(IEnumDMO **) override { return E_NOTIMPL; }

    std::vector<std::wstring> m_names;
    size_t m_nNext = 0;
    HRESULT m_hrEnd = S_FALSE;
    long m_cRef = 1;
};

ListEnum *g_pListEnum = nullptr;
HRESULT g_hrDMOEnum = S_OK;

HRESULT WINAPI ListDMOEnum(REFGUID guidCategory, DWORD dwFlags, DWORD cInTypes, const DMO_PARTIAL_MEDIATYPE *,
                           DWORD cOutTypes, const DMO_PARTIAL_MEDIATYPE *, IEnumDMO **ppEnum) {
    EXPECT_TRUE(IsEqualGUID(DMOCATEGORY_AUDIO_EFFECT, guidCategory));
    EXPECT_EQ(static_cast<DWORD>(DMO_ENUMF_INCLUDE_KEYED), dwFlags);
    EXPECT_EQ(0u, cInTypes + cOutTypes);
    *ppEnum = SUCCEEDED(g_hrDMOEnum) ? g_pListEnum : nullptr;
    return g_hrDMOEnum;
}
static_assert(std::is_same<decltype(&ListDMOEnum), DMOENUMPROC>::value, "ListDMOEnum fits g_pfnDMOEnum");

std::string TwoLines(const char *pszLine, HRESULT hr) {
    return std::string(pszLine) + "\r\n" + GetErrorDescription(hr);
}

class CaptureFilter : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        ASSERT_TRUE(RunRegsvr32(true));
    }
    static void TearDownTestSuite() { CoUninitialize(); }
    void SetUp() override { ForgetEngineObjects(); }
    void TearDown() override {
        g_pfnDMOEnum = DMOEnum;
        ReleaseCaptureInterfaces();
        ForgetEngineObjects();
    }
    // FindFilter over the given names; returns its result, the enumerator's references checked after it.
    HRESULT FindIn(ListEnum &list) {
        g_pListEnum = &list;
        g_pfnDMOEnum = ListDMOEnum;
        HRESULT hr = FindFilter();
        EXPECT_EQ(0, list.m_cRef) << "the enumerator must be released exactly once";
        return hr;
    }
};

// Another effect registered under the name in other letter case comes first and must be passed over.
TEST_F(CaptureFilter, OnlyTheExactlyNamedRegisteredEffectIsFound) {
    DMO_PARTIAL_MEDIATYPE pcm = {MEDIATYPE_Audio, MEDIASUBTYPE_PCM};
    ASSERT_EQ(S_OK, DMORegister(L"orvadmofilter", kOtherClass, DMOCATEGORY_AUDIO_EFFECT, 0, 1, &pcm, 1, &pcm));
    FakeViewer viewer;
    HRESULT hr = FindFilter();
    DMOUnregister(kOtherClass, DMOCATEGORY_AUDIO_EFFECT);
    ASSERT_EQ(S_OK, hr);
    EXPECT_TRUE(IsEqualCLSID(CLSID_OrvaDMOFilter, g_captureEffectDesc.guidDSFXClass));
    EXPECT_NE(nullptr, pCaptureDMO);
    EXPECT_NE(nullptr, pCaptureControl);
    EXPECT_EQ("", viewer.Text());
}

TEST_F(CaptureFilter, EndOfListWithoutTheEffectAnswersSFalseWithoutTrace) {
    ListEnum list;
    list.m_names = {L"orvadmofilter", L"OrvaDMOFilter2", L"ORVADMOFILTER", L"Echo"};
    FakeViewer viewer;
    EXPECT_EQ(S_FALSE, FindIn(list));
    EXPECT_EQ(4u, list.m_nNext);
    EXPECT_EQ("", viewer.Text());
    EXPECT_EQ(nullptr, pCaptureDMO);
}

TEST_F(CaptureFilter, NextFailureReleasesTheEnumeratorAndTracesOneLine) {
    ListEnum list;
    list.m_names = {L"Echo"};
    list.m_hrEnd = E_OUTOFMEMORY;
    FakeViewer viewer;
    EXPECT_EQ(E_OUTOFMEMORY, FindIn(list));
    EXPECT_EQ("pDMOEnum->Next - FAILED", viewer.Text());
}

TEST_F(CaptureFilter, EnumerationAndCreationFailuresAreTraced) {
    ListEnum list;
    g_hrDMOEnum = E_ACCESSDENIED;
    FakeViewer viewer;
    g_pListEnum = &list;
    g_pfnDMOEnum = ListDMOEnum;
    EXPECT_EQ(E_ACCESSDENIED, FindFilter());
    EXPECT_EQ(TwoLines("DMOEnum - FAILED", E_ACCESSDENIED), viewer.Text());
    g_hrDMOEnum = S_OK;

    // Found by name, but the class behind it is not registered.
    ListEnum named;
    named.m_names = {L"OrvaDMOFilter"};
    FakeViewer viewer2;
    HRESULT hr = FindIn(named);
    EXPECT_TRUE(FAILED(hr));
    EXPECT_EQ(TwoLines("CoCreateInstance (DMO) - FAILED", hr), viewer2.Text());
    EXPECT_EQ(nullptr, pCaptureDMO);
}

TEST_F(CaptureFilter, SetFilterBeforeAnyAudioPathFailsWithoutTrace) {
    FakeViewer viewer;
    EXPECT_EQ(E_FAIL, SetFilter());
    EXPECT_EQ(E_FAIL, RemoveFilter());
    EXPECT_EQ("", viewer.Text());
}

TEST_F(CaptureFilter, EffectIsPlacedOnAnInactiveBufferAndRemovedAgain) {
    ASSERT_EQ(S_OK, FindFilter());
    TestAudioPath path;
    TestSoundBuffer buffer;
    pAudioPath = &path;
    pDirectSoundBufferInPath = &buffer;
    EXPECT_EQ(S_OK, RemoveFilter());
    EXPECT_EQ(S_OK, SetFilter());
    EXPECT_EQ((std::vector<DWORD>{0, 1}), buffer.m_effectCounts);
    EXPECT_EQ((std::vector<BOOL>{FALSE, TRUE, FALSE, TRUE}), path.m_activations);
    EXPECT_EQ(sizeof(DSEFFECTDESC), buffer.m_desc.dwSize);
    EXPECT_EQ(static_cast<DWORD>(DSFX_LOCSOFTWARE), buffer.m_desc.dwFlags);
    EXPECT_TRUE(IsEqualCLSID(CLSID_OrvaDMOFilter, buffer.m_desc.guidDSFXClass));
    EXPECT_TRUE(buffer.m_bResultSlot);

    buffer.m_hrSetFX = DSERR_INVALIDCALL;
    FakeViewer viewer;
    EXPECT_EQ(DSERR_INVALIDCALL, SetFilter());
    EXPECT_EQ(FALSE, path.m_activations.back()) << "the path stays inactive after a failed SetFX";
    EXPECT_EQ(TwoLines("pDirectSoundBufferInPath->SetFX - FAILED", DSERR_INVALIDCALL), viewer.Text());
}

} // namespace
