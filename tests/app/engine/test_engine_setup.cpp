// The engine against COM doubles: audio set-up, release at exit, volume and tempo, transport, and the trace
// lines each injected failure writes.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "support/app/engine/engine_doubles.h"
#include "support/app/engine/fake_viewer.h"
#include "engine.h"
#include "error_descriptions.h"
#include "midi/instrument_tool.h"

namespace {

const GUID kSynthGuid = {0x58c2b4d0, 0x46e7, 0x11d1, {0x89, 0xac, 0x00, 0xa0, 0xc9, 0x05, 0x41, 0x29}};
const GUID kOtherGuid = {0x12345678, 0x1, 0x2, {3, 4, 5, 6, 7, 8, 9, 10}};
const DWORD kAudioPathSynth = DMUS_PC_DLS2 | DMUS_PC_AUDIOPATH;

// One engine made of doubles, wired as InitDirectMusic and InitAudioPath would leave it.
class EngineSetup : public ::testing::Test {
protected:
    void SetUp() override {
        ForgetEngineObjects();
        m_performance.m_pPath = &m_path;
        m_path.m_pBuffer = &m_buffer;
        m_path.m_pGraph = &m_graph;
        m_music.m_ports = {{L"Microsoft GS Wavetable Synth", DMUS_PC_OUTPUTCLASS, DMUS_PC_DLS, kOtherGuid},
                           {L"Microsoft Synthesizer", DMUS_PC_OUTPUTCLASS, kAudioPathSynth, kSynthGuid}};
        pDirectMusic = &m_music;
        pPerformance = &m_performance;
    }
    void TearDown() override { ForgetEngineObjects(); }

    // Runs InitAudioPath, expecting hrExpected, and returns the trace it wrote.
    static std::string InitAudioPathTrace(HRESULT hrExpected) {
        FakeViewer viewer;
        EXPECT_EQ(hrExpected, InitAudioPath());
        return viewer.Text();
    }
    // The two trace lines of a failed call.
    static std::string TwoLines(const char *pszLine, HRESULT hr) {
        return std::string(pszLine) + "\r\n" + GetErrorDescription(hr);
    }

    TestDirectMusic m_music;
    TestPerformance m_performance;
    TestAudioPath m_path;
    TestSoundBuffer m_buffer;
    TestGraph m_graph;
};

TEST_F(EngineSetup, InitAudioPathSetsUpTheSynthesizerPathAndToolAndFreeReleasesEverything) {
    CoInitializeEx(nullptr, COINIT_MULTITHREADED); // FreeDirectMusic ends with CoUninitialize
    FakeViewer viewer;
    ASSERT_EQ(S_OK, InitAudioPath());
    EXPECT_EQ("", viewer.Text());

    EXPECT_EQ(reinterpret_cast<IDirectMusic **>(&pDirectMusic), m_performance.m_ppInitDirectMusic);
    EXPECT_FALSE(m_performance.m_bInitDirectSound);
    EXPECT_EQ(nullptr, m_performance.m_hInitWnd);
    EXPECT_EQ(static_cast<DWORD>(DMUS_APATH_DYNAMIC_MONO), m_performance.m_dwDefaultPathType);
    EXPECT_EQ(64u, m_performance.m_dwPChannelCount);
    EXPECT_EQ(static_cast<DWORD>(DMUS_AUDIOF_ALL), m_performance.m_dwInitFlags);
    const DMUS_AUDIOPARAMS &params = m_performance.m_params;
    EXPECT_EQ(sizeof(DMUS_AUDIOPARAMS), params.dwSize);
    EXPECT_FALSE(params.fInitNow);
    EXPECT_EQ(9u, params.dwValidData);
    EXPECT_EQ(0x3Fu, params.dwFeatures);
    EXPECT_EQ(0u, params.dwVoices);
    EXPECT_EQ(0u, params.dwSampleRate);
    EXPECT_TRUE(IsEqualGUID(kSynthGuid, params.clsidDefaultSynth)) << "the second, qualifying port";

    EXPECT_EQ(static_cast<DWORD>(DMUS_APATH_DYNAMIC_STEREO), m_performance.m_dwPathType);
    EXPECT_EQ(64u, m_performance.m_dwPathChannels);
    EXPECT_TRUE(m_performance.m_bPathActive);
    EXPECT_EQ(static_cast<IDirectMusicAudioPath *>(&m_path), pAudioPath);
    EXPECT_EQ(static_cast<IDirectSoundBuffer8 *>(&m_buffer), pDirectSoundBufferInPath);
    EXPECT_EQ(static_cast<IDirectMusicGraph *>(&m_graph), pGraph);
    ASSERT_NE(nullptr, pInstrumentTool);
    EXPECT_EQ(static_cast<IDirectMusicTool *>(pInstrumentTool), m_graph.m_pTool);
    ASSERT_EQ(1u, m_performance.m_paramGuids.size());
    EXPECT_TRUE(IsEqualGUID(GUID_PerfAutoDownload, m_performance.m_paramGuids[0]));
    EXPECT_EQ(1u, m_performance.m_paramValues[0]);

    EXPECT_EQ(0, FreeDirectMusic());
    EXPECT_EQ("Stop CloseDown ", m_performance.m_calls);
    EXPECT_EQ(1, m_graph.m_nRemoved);
    EXPECT_EQ(std::vector<BOOL>{FALSE}, m_path.m_activations);
    EXPECT_EQ(std::vector<BOOL>{FALSE}, m_music.m_activations);
    // Every reference the engine took is given back, its own included.
    EXPECT_EQ(0, m_music.m_cRef);
    EXPECT_EQ(0, m_performance.m_cRef);
    EXPECT_EQ(1, m_path.m_cRef);
    EXPECT_EQ(1, m_buffer.m_cRef);
    EXPECT_EQ(1, m_graph.m_cRef);
    EXPECT_EQ(nullptr, pPerformance);
    EXPECT_EQ(nullptr, pInstrumentTool);
    EXPECT_EQ(nullptr, pAudioPath);
}

// Every play sets up afresh: the previous path, buffer, graph and tool are given back, not leaked.
TEST_F(EngineSetup, SecondSetUpReplacesTheFirst) {
    ASSERT_EQ(S_OK, InitAudioPath());
    ASSERT_EQ(S_OK, InitAudioPath());
    EXPECT_EQ(1, m_graph.m_nRemoved);
    EXPECT_NE(nullptr, m_graph.m_pTool);
    EXPECT_EQ(static_cast<IDirectMusicTool *>(pInstrumentTool), m_graph.m_pTool);
    EXPECT_EQ(2, m_path.m_cRef);
    EXPECT_EQ(2, m_buffer.m_cRef);
    EXPECT_EQ(2, m_graph.m_cRef);
    pGraph->RemoveTool(pInstrumentTool);
    pInstrumentTool->Release();
    pInstrumentTool = nullptr;
}

TEST_F(EngineSetup, FreeDirectMusicWithNothingCreatedReleasesNothing) {
    ForgetEngineObjects();
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    EXPECT_EQ(0, FreeDirectMusic());
    EXPECT_EQ(1, m_performance.m_cRef);
}

TEST_F(EngineSetup, PortListWithoutTheSynthesizerFailsWithoutTrace) {
    m_music.m_ports = {{L"Microsoft GS Wavetable Synth", DMUS_PC_OUTPUTCLASS, DMUS_PC_DLS, kOtherGuid},
                       {L"Microsoft Synthesizer", DMUS_PC_OUTPUTCLASS, DMUS_PC_DLS, kSynthGuid}, // no audio path
                       {L"Microsoft Synthesizer", DMUS_PC_INPUTCLASS, kAudioPathSynth, kSynthGuid},
                       {L"microsoft synthesizer", DMUS_PC_OUTPUTCLASS, kAudioPathSynth, kSynthGuid},
                       {L"Microsoft Synthesizer (emulated)", DMUS_PC_OUTPUTCLASS, kAudioPathSynth, kSynthGuid}};
    FakeViewer viewer;
    EXPECT_EQ(E_FAIL, InitAudioPath());
    EXPECT_EQ("", viewer.Text());
    EXPECT_EQ(nullptr, m_performance.m_ppInitDirectMusic) << "InitAudio must not be tried";
}

// A port enumeration that fails instead of ending must not loop for ever.
TEST_F(EngineSetup, FailingPortEnumerationEndsTheSearch) {
    m_music.m_ports.clear();
    m_music.m_hrEnd = E_FAIL;
    EXPECT_EQ(E_FAIL, InitAudioPath());
    EXPECT_EQ(1, m_music.m_nEnumCalls);
}

// Each failing step of the start-up, with class objects of the test in place of DirectMusic's classes.
TEST_F(EngineSetup, EachFailingStartUpStepIsTracedAndEndsTheStartUp) {
    ForgetEngineObjects();
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    FakeLoader loader;
    {
        TestClassFactory music(CLSID_DirectMusic, IID_IDirectMusic8, &m_music);
        TestClassFactory performance(CLSID_DirectMusicPerformance, IID_IDirectMusicPerformance8, &m_performance);
        TestClassFactory loaders(CLSID_DirectMusicLoader, IID_IDirectMusicLoader8, &loader);
        HWND hWnd = GetDesktopWindow();
        auto InitTrace = [hWnd](HRESULT hrExpected) {
            FakeViewer viewer;
            EXPECT_EQ(hrExpected, InitDirectMusic(hWnd));
            return viewer.Text();
        };
        music.m_hr = REGDB_E_CLASSNOTREG;
        EXPECT_EQ(TwoLines("IDirectMusic8 - FAILED", REGDB_E_CLASSNOTREG), InitTrace(REGDB_E_CLASSNOTREG));
        music.m_hr = S_OK;

        m_music.m_hrSetDirectSound = DSERR_NODRIVER;
        EXPECT_EQ(TwoLines("pDirectMusic->SetDirectSound - FAILED", DSERR_NODRIVER), InitTrace(DSERR_NODRIVER));
        EXPECT_EQ(nullptr, pPerformance) << "no step after the failure runs";
        m_music.m_hrSetDirectSound = S_OK;

        performance.m_hr = E_OUTOFMEMORY;
        EXPECT_EQ(TwoLines("IID_IDirectMusicPerformance8 - FAILED", E_OUTOFMEMORY), InitTrace(E_OUTOFMEMORY));
        performance.m_hr = S_OK;

        loaders.m_hr = CLASS_E_CLASSNOTAVAILABLE;
        EXPECT_EQ(TwoLines("IID_IDirectMusicLoader8 - FAILED", CLASS_E_CLASSNOTAVAILABLE),
                  InitTrace(CLASS_E_CLASSNOTAVAILABLE));
        loaders.m_hr = S_OK;

        EXPECT_EQ("", InitTrace(S_OK));
        EXPECT_EQ(static_cast<IDirectMusic8 *>(&m_music), pDirectMusic);
        EXPECT_EQ(static_cast<IDirectMusicPerformance8 *>(&m_performance), pPerformance);
        EXPECT_EQ(static_cast<IDirectMusicLoader8 *>(&loader), pLoader);
        EXPECT_FALSE(m_music.m_bOwnDirectSound);
        EXPECT_EQ(hWnd, m_music.m_hSoundWnd);
    }
    CoUninitialize();
}

// Each failing step of the set-up: InitAudioPath's result and the trace it writes.
TEST_F(EngineSetup, EachFailingSetUpStepIsTracedAndEndsTheSetUp) {
    m_performance.m_hrInitAudio = DSERR_NODRIVER;
    EXPECT_EQ(TwoLines("pPerformance->InitAudio - FAILED", DSERR_NODRIVER), InitAudioPathTrace(E_FAIL));
    m_performance.m_hrInitAudio = S_OK;

    m_performance.m_hrCreatePath = E_OUTOFMEMORY;
    EXPECT_EQ(TwoLines("pPerformance->CreateStandardAudioPath - FAILED", E_OUTOFMEMORY), InitAudioPathTrace(E_FAIL));
    m_performance.m_hrCreatePath = S_OK;

    m_path.m_pBuffer = nullptr;
    EXPECT_EQ(TwoLines("pAudioPath->GetObjectInPath - FAILED", DMUS_E_NOT_FOUND), InitAudioPathTrace(DMUS_E_NOT_FOUND));
    m_path.m_pBuffer = &m_buffer;

    m_performance.m_hrSetGlobalParam = E_NOTIMPL;
    EXPECT_EQ(TwoLines("pPerformance->SetGlobalParam(GUID_PerfAutoDownload) - FAILED", E_NOTIMPL),
              InitAudioPathTrace(E_FAIL));
}

// Without the tool graph the tool cannot be inserted: the set-up fails instead of playing without it.
TEST_F(EngineSetup, MissingToolGraphFailsTheSetUp) {
    m_path.m_pGraph = nullptr;
    EXPECT_EQ(TwoLines("pAudioPath->GetObjectInPath(DMUS_PATH_PERFORMANCE_GRAPH) - FAILED", DMUS_E_NOT_FOUND),
              InitAudioPathTrace(DMUS_E_NOT_FOUND));
    EXPECT_EQ(nullptr, pInstrumentTool);
    EXPECT_TRUE(m_performance.m_paramGuids.empty()) << "no step after the failure runs";
}

TEST_F(EngineSetup, AToolTheGraphRefusesFailsTheSetUpWithItsTrace) {
    m_graph.m_hrInsert = E_INVALIDARG;
    EXPECT_EQ(TwoLines("pGraph->InsertTool - FAILED", E_INVALIDARG), InitAudioPathTrace(E_INVALIDARG));
    EXPECT_TRUE(m_performance.m_paramGuids.empty()) << "no step after the failure runs";
}

TEST_F(EngineSetup, VolumeAndTempoReachTheGlobalParameters) {
    for (int nInput : {0, 50, 100}) {
        EXPECT_EQ(S_OK, SetMasterVolume(nInput));
        EXPECT_EQ(S_OK, SetMasterTempo(nInput));
    }
    ASSERT_EQ(6u, m_performance.m_paramGuids.size());
    const LONG lVolumes[] = {-2000, 0, 2000};
    const float fTempos[] = {0.5f, 1.0f, 1.5f};
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(IsEqualGUID(GUID_PerfMasterVolume, m_performance.m_paramGuids[2 * i]));
        EXPECT_EQ(lVolumes[i], static_cast<LONG>(m_performance.m_paramValues[2 * i]));
        EXPECT_TRUE(IsEqualGUID(GUID_PerfMasterTempo, m_performance.m_paramGuids[2 * i + 1]));
        float fTempo;
        memcpy(&fTempo, &m_performance.m_paramValues[2 * i + 1], sizeof(fTempo));
        EXPECT_EQ(fTempos[i], fTempo);
    }
    m_performance.m_hrSetGlobalParam = E_INVALIDARG;
    FakeViewer viewer;
    EXPECT_EQ(E_INVALIDARG, SetMasterVolume(100));
    EXPECT_EQ(E_INVALIDARG, SetMasterTempo(50));
    EXPECT_EQ(TwoLines("pPerformance->SetGlobalParam - FAILED", E_INVALIDARG) + "\r\n" +
                  TwoLines("pPerformance->SetGlobalParam(GUID_PerfMasterTempo) - FAILED", E_INVALIDARG),
              viewer.Text());
    pPerformance = nullptr;
    EXPECT_EQ(0, SetMasterVolume(10));
    EXPECT_EQ(0, SetMasterTempo(10));
}

// A loader whose GetObject fails with a set status, or hands out m_pSegment.
class TestLoader : public FakeLoader {
public:
    STDMETHOD(GetObject)(LPDMUS_OBJECTDESC pDesc, REFIID riid, LPVOID *ppv) override {
        m_desc = *pDesc;
        m_bSegmentAsked = IsEqualIID(riid, IID_IDirectMusicSegment8);
        *ppv = SUCCEEDED(m_hr) ? m_pSegment : nullptr;
        return m_hr;
    }
    HRESULT m_hr = DMUS_E_UNSUPPORTED_STREAM;
    DMUS_OBJECTDESC m_desc = {};
    bool m_bSegmentAsked = false;
    IDirectMusicSegment8 *m_pSegment = nullptr;
};

class TestSegment : public FakeSegment {
public:
    STDMETHOD(SetParam)(REFGUID rguidType, DWORD dwGroupBits, DWORD dwIndex, MUSIC_TIME mtTime, void *pParam) override {
        m_bMidiParam = IsEqualGUID(rguidType, GUID_StandardMIDIFile) && dwGroupBits == 0xFFFFFFFF && dwIndex == 0 &&
                       mtTime == 0 && pParam == nullptr;
        return m_hrSetParam;
    }
    STDMETHOD(SetRepeats)(DWORD dwRepeats) override {
        m_dwRepeats = dwRepeats;
        return S_OK;
    }
    STDMETHOD(GetLength)(MUSIC_TIME *pmtLength) override {
        *pmtLength = 95000;
        return S_OK;
    }
    HRESULT m_hrSetParam = S_OK;
    bool m_bMidiParam = false;
    DWORD m_dwRepeats = 99;
};

TEST_F(EngineSetup, LoadMidiFileDescribesTheFileAndTracesTheLoadersFailure) {
    TestLoader loader;
    pLoader = &loader;
    FakeViewer viewer;
    EXPECT_EQ(DMUS_E_UNSUPPORTED_STREAM, LoadMidiFile("C:\\music\\not a midi.txt"));
    EXPECT_EQ(TwoLines("pLoader->GetObject - FAILED", DMUS_E_UNSUPPORTED_STREAM), viewer.Text());
    EXPECT_EQ(sizeof(DMUS_OBJECTDESC), loader.m_desc.dwSize);
    EXPECT_EQ(0x12u, loader.m_desc.dwValidData);
    EXPECT_TRUE(IsEqualGUID(CLSID_DirectMusicSegment, loader.m_desc.guidClass));
    EXPECT_STREQ(L"C:\\music\\not a midi.txt", loader.m_desc.wszFileName);
    EXPECT_TRUE(loader.m_bSegmentAsked);
    EXPECT_EQ(nullptr, pSegment);

    TestSegment segment;
    loader.m_pSegment = &segment;
    loader.m_hr = S_OK;
    segment.m_hrSetParam = E_INVALIDARG;
    FakeViewer viewer2;
    EXPECT_EQ(E_INVALIDARG, LoadMidiFile("song.mid"));
    EXPECT_TRUE(segment.m_bMidiParam);
    EXPECT_EQ(TwoLines("pSegment->SetParam - FAILED", E_INVALIDARG), viewer2.Text());
    pSegment = nullptr;

    // A path longer than the description's name is refused before the loader sees it.
    loader.m_desc = {};
    FakeViewer viewer3;
    const HRESULT hrTooLong = HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(hrTooLong, LoadMidiFile(("C:\\" + std::string(DMUS_MAX_FILENAME, 'a') + ".mid").c_str()));
    EXPECT_EQ(TwoLines("MultiByteToWideChar - FAILED", hrTooLong), viewer3.Text());
    EXPECT_EQ(0u, loader.m_desc.dwSize);
}

TEST_F(EngineSetup, PlayOnceOnTheAudioPathAndTellTheTimes) {
    TestSegment segment;
    pSegment = &segment;
    pAudioPath = &m_path;
    EXPECT_EQ(S_OK, PlayMidiFile(FALSE));
    EXPECT_EQ(0u, segment.m_dwRepeats);
    EXPECT_EQ("PlaySegmentEx ", m_performance.m_calls);
    EXPECT_EQ(static_cast<IUnknown *>(&segment), m_performance.m_pPlayed);
    EXPECT_EQ(static_cast<IUnknown *>(&m_path), m_performance.m_pPlayedPath);
    EXPECT_EQ(0x280u, m_performance.m_dwPlayFlags);

    m_performance.m_calls.clear();
    EXPECT_EQ(S_OK, PlayMidiFile(TRUE));
    EXPECT_EQ("AddNotificationType PlaySegmentEx ", m_performance.m_calls);
    EXPECT_TRUE(m_performance.m_bNotifyGuidRight);

    m_performance.m_rtNow = 129999999; // 12.9999999 s
    EXPECT_EQ(12, GetPlayTimeSeconds());
    EXPECT_EQ(95, GetSegmentEndSeconds()); // 95,000 ticks of 1 ms

    m_performance.m_hrAddNotification = E_OUTOFMEMORY;
    m_performance.m_calls.clear();
    FakeViewer viewer;
    EXPECT_EQ(E_OUTOFMEMORY, PlayMidiFile(TRUE));
    EXPECT_EQ("AddNotificationType ", m_performance.m_calls);
    EXPECT_EQ(TwoLines("pPerformance->AddNotificationType - FAILED", E_OUTOFMEMORY), viewer.Text());
    m_performance.m_hrAddNotification = S_OK;
    m_performance.m_hrPlay = DMUS_E_AUDIOPATH_INACTIVE;
    FakeViewer viewer2;
    EXPECT_EQ(DMUS_E_AUDIOPATH_INACTIVE, PlayMidiFile(FALSE));
    EXPECT_EQ(TwoLines("pPerformance->PlaySegment - FAILED", DMUS_E_AUDIOPATH_INACTIVE), viewer2.Text());
}

// The notification message belongs to the performance: read its option, then free it.
TEST_F(EngineSetup, SegmentNotificationIsReadAndFreedAndItsRequestRemoved) {
    EXPECT_EQ(-1, GetSegmentNotification());
    DMUS_NOTIFICATION_PMSG msg = {};
    msg.dwNotificationOption = DMUS_NOTIFICATION_SEGALMOSTEND;
    m_performance.m_pWaiting = &msg;
    EXPECT_EQ(2, GetSegmentNotification());
    ASSERT_EQ(1u, m_performance.m_freed.size());
    EXPECT_EQ(reinterpret_cast<DMUS_PMSG *>(&msg), m_performance.m_freed[0]);
    EXPECT_EQ(-1, GetSegmentNotification());

    m_performance.m_hrNotification = E_POINTER;
    FakeViewer viewer;
    EXPECT_EQ(-1, GetSegmentNotification());
    EXPECT_EQ(TwoLines("pPerformance->GetNotificationPMsg - FAILED", E_POINTER), viewer.Text());

    EXPECT_EQ(S_OK, RemoveSegmentNotification());
    EXPECT_TRUE(m_performance.m_bNotifyGuidRight);
    m_performance.m_hrRemoveNotification = E_INVALIDARG;
    FakeViewer viewer2;
    EXPECT_EQ(E_INVALIDARG, RemoveSegmentNotification());
    EXPECT_EQ(TwoLines("pPerformance->RemoveNotificationType - FAILED", E_INVALIDARG), viewer2.Text());
}

TEST_F(EngineSetup, StopFailureSkipsCloseDown) {
    EXPECT_EQ(S_OK, StopMidi());
    EXPECT_EQ("Stop CloseDown ", m_performance.m_calls);
    m_performance.m_calls.clear();
    m_performance.m_hrStop = DMUS_E_NO_MASTER_CLOCK;
    FakeViewer viewer;
    EXPECT_EQ(DMUS_E_NO_MASTER_CLOCK, StopMidi());
    EXPECT_EQ("Stop ", m_performance.m_calls);
    EXPECT_EQ(TwoLines("pPerformance->Stop - FAILED", DMUS_E_NO_MASTER_CLOCK), viewer.Text());
    m_performance.m_hrStop = S_OK;
    m_performance.m_hrCloseDown = E_UNEXPECTED;
    FakeViewer viewer2;
    EXPECT_EQ(E_UNEXPECTED, StopMidi());
    EXPECT_EQ(TwoLines("pPerformance->CloseDown - FAILED", E_UNEXPECTED), viewer2.Text());
}

} // namespace
