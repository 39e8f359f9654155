// Configurable COM doubles of the engine's DirectMusic objects: each records its calls and answers a set status.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "support/app/engine/fake_dmusic.h"
#include "engine_state.h"

// A port list: each entry's description, class and flags; EnumPort answers hrEnd past the end.
class TestDirectMusic : public FakeDirectMusic {
public:
    struct Port {
        const wchar_t *pwszName;
        DWORD dwClass;
        DWORD dwFlags;
        GUID guid;
    };
    STDMETHOD(EnumPort)(DWORD dwIndex, LPDMUS_PORTCAPS pPortCaps) override {
        ++m_nEnumCalls;
        if (dwIndex >= m_ports.size() || m_nEnumCalls > 1000) {
            return m_hrEnd;
        }
        EXPECT_EQ(sizeof(DMUS_PORTCAPS), pPortCaps->dwSize);
        lstrcpynW(pPortCaps->wszDescription, m_ports[dwIndex].pwszName, DMUS_MAX_DESCRIPTION);
        pPortCaps->dwClass = m_ports[dwIndex].dwClass;
        pPortCaps->dwFlags = m_ports[dwIndex].dwFlags;
        pPortCaps->guidPort = m_ports[dwIndex].guid;
        return S_OK;
    }
    STDMETHOD(Activate)(WINBOOL fEnable) override {
        m_activations.push_back(fEnable);
        return S_OK;
    }
    STDMETHOD(SetDirectSound)(LPDIRECTSOUND pDirectSound, HWND hWnd) override {
        m_bOwnDirectSound = pDirectSound != nullptr;
        m_hSoundWnd = hWnd;
        return m_hrSetDirectSound;
    }
    std::vector<Port> m_ports;
    HRESULT m_hrSetDirectSound = S_OK;
    bool m_bOwnDirectSound = true;
    HWND m_hSoundWnd = nullptr;
    HRESULT m_hrEnd = S_FALSE;
    int m_nEnumCalls = 0;
    std::vector<BOOL> m_activations;
};

// A graph that keeps what is inserted, with the reference a real graph takes.
class TestGraph : public FakeGraph {
public:
    STDMETHOD(InsertTool)(IDirectMusicTool *pTool, DWORD *, DWORD cPChannels, LONG lIndex) override {
        EXPECT_EQ(0u, cPChannels);
        EXPECT_EQ(0, lIndex);
        if (FAILED(m_hrInsert))
            return m_hrInsert;
        pTool->AddRef();
        m_pTool = pTool;
        return S_OK;
    }
    STDMETHOD(RemoveTool)(IDirectMusicTool *pTool) override {
        if (pTool != m_pTool) {
            return E_INVALIDARG;
        }
        m_pTool->Release();
        m_pTool = nullptr;
        ++m_nRemoved;
        return S_OK;
    }
    IDirectMusicTool *m_pTool = nullptr;
    HRESULT m_hrInsert = S_OK;
    int m_nRemoved = 0;
};

class TestSoundBuffer : public FakeSoundBuffer {
public:
    STDMETHOD(SetFX)(DWORD dwEffectsCount, LPDSEFFECTDESC pDSFXDesc, LPDWORD pdwResultCodes) override {
        m_effectCounts.push_back(dwEffectsCount);
        if (dwEffectsCount == 1 && pDSFXDesc != nullptr) {
            m_desc = *pDSFXDesc;
        }
        m_bResultSlot = pdwResultCodes != nullptr;
        return m_hrSetFX;
    }
    HRESULT m_hrSetFX = S_OK;
    std::vector<DWORD> m_effectCounts;
    DSEFFECTDESC m_desc = {};
    bool m_bResultSlot = false;
};

// Hands out the buffer and the graph; a null graph makes that request fail with m_hrGraph.
class TestAudioPath : public FakeAudioPath {
public:
    STDMETHOD(GetObjectInPath)
    (DWORD dwPChannel, DWORD dwStage, DWORD dwBuffer, REFGUID guidObject, WORD dwIndex, REFGUID iidInterface,
     void **ppObject) override {
        EXPECT_EQ(0u, dwBuffer);
        EXPECT_TRUE(IsEqualGUID(GUID_NULL, guidObject));
        EXPECT_EQ(0, dwIndex);
        IUnknown *pObject = nullptr;
        if (dwStage == DMUS_PATH_BUFFER && dwPChannel == DMUS_PCHANNEL_ALL &&
            IsEqualIID(iidInterface, IID_IDirectSoundBuffer8)) {
            pObject = m_pBuffer;
        } else if (dwStage == DMUS_PATH_PERFORMANCE_GRAPH && dwPChannel == 0 &&
                   IsEqualIID(iidInterface, IID_IDirectMusicGraph)) {
            pObject = m_pGraph;
        }
        *ppObject = pObject;
        if (pObject == nullptr) {
            return m_hrGraph;
        }
        pObject->AddRef();
        return S_OK;
    }
    STDMETHOD(Activate)(WINBOOL fActivate) override {
        m_activations.push_back(fActivate);
        return S_OK;
    }
    TestSoundBuffer *m_pBuffer = nullptr;
    TestGraph *m_pGraph = nullptr;
    HRESULT m_hrGraph = DMUS_E_NOT_FOUND;
    std::vector<BOOL> m_activations;
};

// The performance: every call the engine makes is recorded; m_hrX makes call X fail.
class TestPerformance : public FakePerformance {
public:
    STDMETHOD(InitAudio)
    (IDirectMusic **ppDirectMusic, IDirectSound **ppDirectSound, HWND hWnd, DWORD dwDefaultPathType,
     DWORD dwPChannelCount, DWORD dwFlags, DMUS_AUDIOPARAMS *pParams) override {
        m_ppInitDirectMusic = ppDirectMusic;
        m_bInitDirectSound = ppDirectSound != nullptr;
        m_hInitWnd = hWnd;
        m_dwDefaultPathType = dwDefaultPathType;
        m_dwPChannelCount = dwPChannelCount;
        m_dwInitFlags = dwFlags;
        m_params = *pParams;
        return m_hrInitAudio;
    }
    STDMETHOD(CreateStandardAudioPath)
    (DWORD dwType, DWORD dwPChannelCount, WINBOOL fActivate, IDirectMusicAudioPath **ppNewPath) override {
        m_dwPathType = dwType;
        m_dwPathChannels = dwPChannelCount;
        m_bPathActive = fActivate;
        *ppNewPath = SUCCEEDED(m_hrCreatePath) ? m_pPath : nullptr;
        if (*ppNewPath != nullptr) {
            m_pPath->AddRef();
        }
        return m_hrCreatePath;
    }
    STDMETHOD(SetGlobalParam)(REFGUID rguidType, void *pParam, DWORD dwSize) override {
        EXPECT_EQ(4u, dwSize);
        m_paramGuids.push_back(rguidType);
        m_paramValues.push_back(*static_cast<DWORD *>(pParam));
        return m_hrSetGlobalParam;
    }
    STDMETHOD(Stop)
    (IDirectMusicSegment *pSegment, IDirectMusicSegmentState *pSegmentState, MUSIC_TIME mtTime,
     DWORD dwFlags) override {
        EXPECT_TRUE(pSegment == nullptr && pSegmentState == nullptr && mtTime == 0 && dwFlags == 0);
        m_calls += "Stop ";
        return m_hrStop;
    }
    STDMETHOD(CloseDown)() override {
        m_calls += "CloseDown ";
        return m_hrCloseDown;
    }
    STDMETHOD(GetNotificationPMsg)(DMUS_NOTIFICATION_PMSG **ppNotificationPMsg) override {
        *ppNotificationPMsg = m_pWaiting;
        m_pWaiting = nullptr;
        return FAILED(m_hrNotification) ? m_hrNotification : (*ppNotificationPMsg != nullptr ? S_OK : S_FALSE);
    }
    STDMETHOD(FreePMsg)(DMUS_PMSG *pPMSG) override {
        m_freed.push_back(pPMSG);
        return S_OK;
    }
    STDMETHOD(AddNotificationType)(REFGUID rguid) override {
        m_bNotifyGuidRight = IsEqualGUID(rguid, GUID_NOTIFICATION_SEGMENT);
        m_calls += "AddNotificationType ";
        return m_hrAddNotification;
    }
    STDMETHOD(RemoveNotificationType)(REFGUID rguid) override {
        m_bNotifyGuidRight = IsEqualGUID(rguid, GUID_NOTIFICATION_SEGMENT);
        m_calls += "RemoveNotificationType ";
        return m_hrRemoveNotification;
    }
    STDMETHOD(PlaySegmentEx)
    (IUnknown *pSource, WCHAR *, IUnknown *, DWORD dwFlags, __int64 i64StartTime, IDirectMusicSegmentState **,
     IUnknown *, IUnknown *pPath) override {
        m_pPlayed = pSource;
        m_pPlayedPath = pPath;
        m_dwPlayFlags = dwFlags;
        EXPECT_EQ(0, i64StartTime);
        m_calls += "PlaySegmentEx ";
        return m_hrPlay;
    }
    STDMETHOD(GetTime)(REFERENCE_TIME *prtNow, MUSIC_TIME *) override {
        *prtNow = m_rtNow;
        return S_OK;
    }
    STDMETHOD(MusicToReferenceTime)(MUSIC_TIME mtTime, REFERENCE_TIME *prtTime) override {
        *prtTime = static_cast<REFERENCE_TIME>(mtTime) * 10000; // 1 ms per music tick, for the test
        return S_OK;
    }

    HRESULT m_hrInitAudio = S_OK, m_hrCreatePath = S_OK, m_hrSetGlobalParam = S_OK, m_hrStop = S_OK,
            m_hrCloseDown = S_OK, m_hrNotification = S_OK, m_hrAddNotification = S_OK, m_hrPlay = S_OK,
            m_hrRemoveNotification = S_OK;
    TestAudioPath *m_pPath = nullptr;
    IDirectMusic **m_ppInitDirectMusic = nullptr;
    bool m_bInitDirectSound = true;
    HWND m_hInitWnd = reinterpret_cast<HWND>(1);
    DWORD m_dwDefaultPathType = 0, m_dwPChannelCount = 0, m_dwInitFlags = 0;
    DMUS_AUDIOPARAMS m_params = {};
    DWORD m_dwPathType = 0, m_dwPathChannels = 0;
    BOOL m_bPathActive = FALSE;
    std::vector<GUID> m_paramGuids;
    std::vector<DWORD> m_paramValues;
    std::string m_calls;
    DMUS_NOTIFICATION_PMSG *m_pWaiting = nullptr;
    std::vector<DMUS_PMSG *> m_freed;
    bool m_bNotifyGuidRight = false;
    IUnknown *m_pPlayed = nullptr, *m_pPlayedPath = nullptr;
    DWORD m_dwPlayFlags = 0;
    REFERENCE_TIME m_rtNow = 0;
};

// A class object registered for this process in place of a DirectMusic class: CreateInstance hands out the
// double for the expected interface, or fails with m_hr.
class TestClassFactory : public FakeUnknown<IClassFactory> {
public:
    TestClassFactory(REFCLSID clsid, REFIID iid, IUnknown *pObject) : m_iid(iid), m_pObject(pObject) {
        CoRegisterClassObject(clsid, this, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &m_dwCookie);
    }
    ~TestClassFactory() { CoRevokeClassObject(m_dwCookie); }
    STDMETHOD(QueryInterface)(REFIID riid, void **ppv) override {
        if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IClassFactory)) {
            *ppv = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        *ppv = this;
        return S_OK;
    }
    STDMETHOD(CreateInstance)(IUnknown *, REFIID riid, void **ppv) override {
        *ppv = nullptr;
        if (FAILED(m_hr)) {
            return m_hr;
        }
        EXPECT_TRUE(IsEqualIID(m_iid, riid));
        m_pObject->AddRef();
        *ppv = m_pObject;
        return S_OK;
    }
    STDMETHOD(LockServer)(WINBOOL) override { return S_OK; }
    HRESULT m_hr = S_OK;

private:
    IID m_iid;
    IUnknown *m_pObject;
    DWORD m_dwCookie = 0;
};

// Clears every engine pointer without releasing (the doubles live on the test's stack).
inline void ForgetEngineObjects() {
    pDirectMusic = nullptr;
    pPerformance = nullptr;
    pLoader = nullptr;
    pSegment = nullptr;
    pSegmentState = nullptr;
    pAudioPath = nullptr;
    pDirectSoundBufferInPath = nullptr;
    pGraph = nullptr;
    pInstrumentTool = nullptr;
    pCaptureDMO = nullptr;
    pCaptureControl = nullptr;
}
