// Instrument tool and plan: patch, note, transposition and mute rules against a fake performance and graph.
#include <windows.h>

#include <dmusici.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/app/engine/fake_viewer.h"
#include "instrument_plan.h"
#include "instrument_tool.h"

namespace {

// Counts StampPMsg calls and can be told to fail them.
class FakeGraph : public IDirectMusicGraph {
public:
    STDMETHODIMP QueryInterface(REFIID, void **ppv) override {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP StampPMsg(DMUS_PMSG *) override {
        ++nStamped;
        return hrStamp;
    }
    STDMETHODIMP InsertTool(IDirectMusicTool *, DWORD *, DWORD, LONG) override { return E_NOTIMPL; }
    STDMETHODIMP GetTool(DWORD, IDirectMusicTool **) override { return E_NOTIMPL; }
    STDMETHODIMP RemoveTool(IDirectMusicTool *) override { return E_NOTIMPL; }
    int nStamped = 0;
    HRESULT hrStamp = S_OK;
};

// Records the messages the tool sends on; every other method is unused by the tool.
class FakePerformance : public IDirectMusicPerformance {
public:
    STDMETHODIMP QueryInterface(REFIID, void **ppv) override {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP SendPMsg(DMUS_PMSG *pPMSG) override {
        sent.push_back(pPMSG);
        return hrSend;
    }
    STDMETHODIMP Init(IDirectMusic **, LPDIRECTSOUND, HWND) override { return E_NOTIMPL; }
    STDMETHODIMP PlaySegment(IDirectMusicSegment *, DWORD, __int64, IDirectMusicSegmentState **) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP Stop(IDirectMusicSegment *, IDirectMusicSegmentState *, MUSIC_TIME, DWORD) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP GetSegmentState(IDirectMusicSegmentState **, MUSIC_TIME) override { return E_NOTIMPL; }
    STDMETHODIMP SetPrepareTime(DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetPrepareTime(DWORD *) override { return E_NOTIMPL; }
    STDMETHODIMP SetBumperLength(DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetBumperLength(DWORD *) override { return E_NOTIMPL; }
    STDMETHODIMP MusicToReferenceTime(MUSIC_TIME, REFERENCE_TIME *) override { return E_NOTIMPL; }
    STDMETHODIMP ReferenceToMusicTime(REFERENCE_TIME, MUSIC_TIME *) override { return E_NOTIMPL; }
    STDMETHODIMP IsPlaying(IDirectMusicSegment *, IDirectMusicSegmentState *) override { return E_NOTIMPL; }
    STDMETHODIMP GetTime(REFERENCE_TIME *, MUSIC_TIME *) override { return E_NOTIMPL; }
    STDMETHODIMP AllocPMsg(ULONG, DMUS_PMSG **) override { return E_NOTIMPL; }
    STDMETHODIMP FreePMsg(DMUS_PMSG *) override { return E_NOTIMPL; }
    STDMETHODIMP GetGraph(IDirectMusicGraph **) override { return E_NOTIMPL; }
    STDMETHODIMP SetGraph(IDirectMusicGraph *) override { return E_NOTIMPL; }
    STDMETHODIMP SetNotificationHandle(HANDLE, REFERENCE_TIME) override { return E_NOTIMPL; }
    STDMETHODIMP GetNotificationPMsg(DMUS_NOTIFICATION_PMSG **) override { return E_NOTIMPL; }
    STDMETHODIMP AddNotificationType(REFGUID) override { return E_NOTIMPL; }
    STDMETHODIMP RemoveNotificationType(REFGUID) override { return E_NOTIMPL; }
    STDMETHODIMP AddPort(IDirectMusicPort *) override { return E_NOTIMPL; }
    STDMETHODIMP RemovePort(IDirectMusicPort *) override { return E_NOTIMPL; }
    STDMETHODIMP AssignPChannelBlock(DWORD, IDirectMusicPort *, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP AssignPChannel(DWORD, IDirectMusicPort *, DWORD, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP PChannelInfo(DWORD, IDirectMusicPort **, DWORD *, DWORD *) override { return E_NOTIMPL; }
    STDMETHODIMP DownloadInstrument(IDirectMusicInstrument *, DWORD, IDirectMusicDownloadedInstrument **,
                                    DMUS_NOTERANGE *, DWORD, IDirectMusicPort **, DWORD *, DWORD *) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP Invalidate(MUSIC_TIME, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetParam(REFGUID, DWORD, DWORD, MUSIC_TIME, MUSIC_TIME *, void *) override { return E_NOTIMPL; }
    STDMETHODIMP SetParam(REFGUID, DWORD, DWORD, MUSIC_TIME, void *) override { return E_NOTIMPL; }
    STDMETHODIMP GetGlobalParam(REFGUID, void *, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP SetGlobalParam(REFGUID, void *, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetLatencyTime(REFERENCE_TIME *) override { return E_NOTIMPL; }
    STDMETHODIMP GetQueueTime(REFERENCE_TIME *) override { return E_NOTIMPL; }
    STDMETHODIMP AdjustTime(REFERENCE_TIME) override { return E_NOTIMPL; }
    STDMETHODIMP CloseDown() override { return E_NOTIMPL; }
    STDMETHODIMP GetResolvedTime(REFERENCE_TIME, REFERENCE_TIME *, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP MIDIToMusic(BYTE, DMUS_CHORD_KEY *, BYTE, BYTE, WORD *) override { return E_NOTIMPL; }
    STDMETHODIMP MusicToMIDI(WORD, DMUS_CHORD_KEY *, BYTE, BYTE, BYTE *) override { return E_NOTIMPL; }
    STDMETHODIMP TimeToRhythm(MUSIC_TIME, DMUS_TIMESIGNATURE *, WORD *, BYTE *, BYTE *, short *) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP RhythmToTime(WORD, BYTE, BYTE, short, DMUS_TIMESIGNATURE *, MUSIC_TIME *) override {
        return E_NOTIMPL;
    }
    std::vector<DMUS_PMSG *> sent;
    HRESULT hrSend = S_OK;
};

// A fresh tool, an all-used plan (every program plays itself), no transposition, channels reset.
class InstrumentToolTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (int p = 0; p < kProgramTableSize; ++p) {
            m_used[p] = p < 128 ? p : kNoProgram;
        }
        ResetProgramMap(m_used);
        ResetChannelPrograms();
        g_transpose = 0;
        m_pTool = new CInstrumentTool();
    }
    void TearDown() override {
        m_pTool->Release();
        g_transpose = 0;
    }
    DMUS_NOTE_PMSG Note(DWORD dwPChannel, BYTE bMidiValue) {
        DMUS_NOTE_PMSG note = {};
        note.dwSize = sizeof(note);
        note.dwType = DMUS_PMSGT_NOTE;
        note.dwPChannel = dwPChannel;
        note.pGraph = &m_graph;
        note.bMidiValue = bMidiValue;
        note.wMusicValue = bMidiValue;
        note.bVelocity = 100;
        return note;
    }
    DMUS_PATCH_PMSG Patch(DWORD dwPChannel, BYTE byInstrument) {
        DMUS_PATCH_PMSG patch = {};
        patch.dwSize = sizeof(patch);
        patch.dwType = DMUS_PMSGT_PATCH;
        patch.dwPChannel = dwPChannel;
        patch.pGraph = &m_graph;
        patch.byInstrument = byInstrument;
        patch.byMSB = 0x12;
        patch.byLSB = 0x34;
        return patch;
    }
    HRESULT Process(void *pMsg) { return m_pTool->ProcessPMsg(&m_perf, static_cast<DMUS_PMSG *>(pMsg)); }

    int m_used[kProgramTableSize];
    CInstrumentTool *m_pTool = nullptr;
    FakeGraph m_graph;
    FakePerformance m_perf;
};

TEST_F(InstrumentToolTest, NoteBeforeAnyPatchIsDropped) {
    DMUS_NOTE_PMSG note = Note(0, 60);
    EXPECT_EQ(DMUS_S_FREE, Process(&note));
    EXPECT_TRUE(m_perf.sent.empty());
    EXPECT_EQ(1, m_graph.nStamped);
}

TEST_F(InstrumentToolTest, KeptPatchIsSentOnceAndRequeuedThenNotesPass) {
    DMUS_PATCH_PMSG patch = Patch(3, 40);
    EXPECT_EQ(DMUS_S_REQUEUE, Process(&patch));
    ASSERT_EQ(1u, m_perf.sent.size());
    EXPECT_EQ(reinterpret_cast<DMUS_PMSG *>(&patch), m_perf.sent[0]);
    EXPECT_EQ(40, g_pchannelPrograms[3]);
    EXPECT_EQ(0x12, patch.byMSB); // bank select untouched
    EXPECT_EQ(0x34, patch.byLSB);
    DMUS_NOTE_PMSG note = Note(3, 60);
    EXPECT_EQ(S_OK, Process(&note));
    ASSERT_EQ(2u, m_perf.sent.size());
    EXPECT_EQ(60, note.bMidiValue);
    // Another channel has still seen no patch.
    DMUS_NOTE_PMSG other = Note(4, 60);
    EXPECT_EQ(DMUS_S_FREE, Process(&other));
}

TEST_F(InstrumentToolTest, MutedProgramDropsItsPatchAndLaterNotesUntilAKeptPatch) {
    bool rowChecked[128];
    int rowPrograms[128];
    for (int j = 0; j < 128; ++j) {
        rowChecked[j] = j != 0; // the row of program 0 is cleared
        rowPrograms[j] = j;
    }
    FillProgramMap(m_used, rowChecked, rowPrograms, 128);
    DMUS_PATCH_PMSG muted = Patch(1, 0);
    EXPECT_EQ(DMUS_S_FREE, Process(&muted));
    EXPECT_EQ(kNoProgram, g_pchannelPrograms[1]);
    DMUS_NOTE_PMSG note = Note(1, 60);
    EXPECT_EQ(DMUS_S_FREE, Process(&note));
    EXPECT_TRUE(m_perf.sent.empty());
    // A kept program on the same channel brings its notes back.
    DMUS_PATCH_PMSG kept = Patch(1, 25);
    EXPECT_EQ(DMUS_S_REQUEUE, Process(&kept));
    DMUS_NOTE_PMSG again = Note(1, 60);
    EXPECT_EQ(S_OK, Process(&again));
    // Muting by a later patch silences a channel that was playing.
    DMUS_PATCH_PMSG mute = Patch(1, 0);
    EXPECT_EQ(DMUS_S_FREE, Process(&mute));
    DMUS_NOTE_PMSG silenced = Note(1, 60);
    EXPECT_EQ(DMUS_S_FREE, Process(&silenced));
}

TEST_F(InstrumentToolTest, EveryNoteIsTransposedIncludingPercussion) {
    DMUS_PATCH_PMSG patch = Patch(9, 0);
    Process(&patch);
    g_transpose = 5;
    DMUS_NOTE_PMSG note = Note(9, 36);
    EXPECT_EQ(S_OK, Process(&note));
    EXPECT_EQ(41, note.bMidiValue);
    EXPECT_EQ(41, note.wMusicValue);
    g_transpose = -3;
    DMUS_NOTE_PMSG lower = Note(9, 36);
    EXPECT_EQ(S_OK, Process(&lower));
    EXPECT_EQ(33, lower.bMidiValue);
    EXPECT_EQ(33, lower.wMusicValue);
}

TEST_F(InstrumentToolTest, TransposeEdgesKeepNotesInsideTheMidiRange) {
    DMUS_PATCH_PMSG patch = Patch(0, 0);
    Process(&patch);
    g_transpose = kTransposeMin;
    DMUS_NOTE_PMSG lowest = Note(0, 14);
    EXPECT_EQ(S_OK, Process(&lowest));
    EXPECT_EQ(0, lowest.bMidiValue);
    g_transpose = kTransposeMax;
    DMUS_NOTE_PMSG highest = Note(0, 113);
    EXPECT_EQ(S_OK, Process(&highest));
    EXPECT_EQ(127, highest.bMidiValue);
}

// -14 on note 13 used to wrap the 8-bit value to 255, and +14 on 114 to 128: both must be dropped, never sent.
TEST_F(InstrumentToolTest, NotesPushedOutsideTheMidiRangeAreDroppedNotWrapped) {
    DMUS_PATCH_PMSG patch = Patch(0, 0);
    Process(&patch);
    m_perf.sent.clear();
    g_transpose = kTransposeMin;
    DMUS_NOTE_PMSG below = Note(0, 13);
    EXPECT_EQ(DMUS_S_FREE, Process(&below));
    DMUS_NOTE_PMSG zero = Note(0, 0);
    EXPECT_EQ(DMUS_S_FREE, Process(&zero));
    g_transpose = kTransposeMax;
    DMUS_NOTE_PMSG above = Note(0, 114);
    EXPECT_EQ(DMUS_S_FREE, Process(&above));
    DMUS_NOTE_PMSG top = Note(0, 127);
    EXPECT_EQ(DMUS_S_FREE, Process(&top));
    EXPECT_TRUE(m_perf.sent.empty());
}

TEST_F(InstrumentToolTest, FailedStampOrMissingGraphDropsTheMessage) {
    DMUS_PATCH_PMSG patch = Patch(2, 10);
    m_graph.hrStamp = E_FAIL;
    EXPECT_EQ(DMUS_S_FREE, Process(&patch));
    EXPECT_EQ(kNoProgram, g_pchannelPrograms[2]); // not applied either
    m_graph.hrStamp = S_OK;
    patch.pGraph = nullptr;
    EXPECT_EQ(DMUS_S_FREE, Process(&patch));
    EXPECT_TRUE(m_perf.sent.empty());
}

TEST_F(InstrumentToolTest, OtherMessageTypesAreRequeuedUnchanged) {
    DMUS_MIDI_PMSG midi = {};
    midi.dwSize = sizeof(midi);
    midi.dwType = DMUS_PMSGT_MIDI;
    midi.pGraph = &m_graph;
    midi.bStatus = 0xB0;
    midi.bByte1 = 7;
    midi.bByte2 = 100;
    EXPECT_EQ(DMUS_S_REQUEUE, Process(&midi));
    EXPECT_EQ(0xB0, midi.bStatus);
    EXPECT_EQ(7, midi.bByte1);
    EXPECT_EQ(100, midi.bByte2);
    EXPECT_TRUE(m_perf.sent.empty());
}

// Broadcast channels lie beyond the 65,536-entry table: they must neither be read nor written out of bounds.
TEST_F(InstrumentToolTest, ChannelsBeyondTheTableAreSafe) {
    DMUS_PATCH_PMSG patch = Patch(0xFFFFFFFF, 10);
    EXPECT_EQ(DMUS_S_REQUEUE, Process(&patch));
    DMUS_NOTE_PMSG note = Note(0xFFFFFFFF, 60);
    EXPECT_EQ(DMUS_S_FREE, Process(&note));
}

TEST_F(InstrumentToolTest, NoteTheSendRefusesIsFreed) {
    DMUS_PATCH_PMSG patch = Patch(0, 0);
    Process(&patch);
    m_perf.hrSend = E_FAIL;
    DMUS_NOTE_PMSG note = Note(0, 60);
    EXPECT_EQ(DMUS_S_FREE, Process(&note));
}

TEST_F(InstrumentToolTest, MediaTypesForTwoAndThreeElementsAndFailureOtherwise) {
    DWORD dwCount = 0;
    EXPECT_EQ(S_OK, m_pTool->GetMediaTypeArraySize(&dwCount));
    EXPECT_EQ(2u, dwCount);
    DWORD types[3] = {99, 99, 99};
    EXPECT_EQ(S_OK, m_pTool->GetMediaTypes(reinterpret_cast<DWORD **>(types), 2));
    EXPECT_EQ(static_cast<DWORD>(DMUS_PMSGT_NOTE), types[0]);
    EXPECT_EQ(static_cast<DWORD>(DMUS_PMSGT_PATCH), types[1]);
    EXPECT_EQ(99u, types[2]);
    EXPECT_EQ(S_OK, m_pTool->GetMediaTypes(reinterpret_cast<DWORD **>(types), 3));
    EXPECT_EQ(1u, types[0]);
    EXPECT_EQ(7u, types[1]);
    EXPECT_EQ(0u, types[2]);
    DWORD one[1] = {99};
    EXPECT_EQ(E_FAIL, m_pTool->GetMediaTypes(reinterpret_cast<DWORD **>(one), 1));
    EXPECT_EQ(99u, one[0]);
    DWORD delivery = 0;
    EXPECT_EQ(S_OK, m_pTool->GetMsgDeliveryType(&delivery));
    EXPECT_EQ(4u, delivery);
    EXPECT_EQ(E_NOTIMPL, m_pTool->Init(nullptr));
    EXPECT_EQ(E_NOTIMPL, m_pTool->Flush(&m_perf, nullptr, 0));
}

// The one report the tool makes: an unexpected media-type count leaves a trace line (needs a display: Xvfb).
TEST(InstrumentToolTrace, UnexpectedMediaTypeCountIsTraced) {
    FakeViewer viewer;
    ASSERT_NE(nullptr, viewer.m_hEdit) << "no window could be created (run under Xvfb)";
    CInstrumentTool *pTool = new CInstrumentTool();
    DWORD types[4] = {};
    EXPECT_EQ(S_OK, pTool->GetMediaTypes(reinterpret_cast<DWORD **>(types), 2));
    // Other processes sharing the Wine session may trace too, so only this line is looked for.
    EXPECT_EQ(std::string::npos, viewer.Text().find("This should never happen"));
    EXPECT_EQ(E_FAIL, pTool->GetMediaTypes(reinterpret_cast<DWORD **>(types), 4));
    EXPECT_NE(std::string::npos, viewer.Text().find("This should never happen"));
    pTool->Release();
}

TEST(InstrumentToolLifetime, QueryInterfaceAndReferenceCounting) {
    CInstrumentTool *pTool = new CInstrumentTool();
    void *pv = nullptr;
    EXPECT_EQ(S_OK, pTool->QueryInterface(IID_IUnknown, &pv));
    EXPECT_EQ(static_cast<IDirectMusicTool *>(pTool), pv);
    EXPECT_EQ(S_OK, pTool->QueryInterface(IID_IDirectMusicTool, &pv));
    EXPECT_EQ(static_cast<IDirectMusicTool *>(pTool), pv);
    pv = reinterpret_cast<void *>(0x1);
    EXPECT_EQ(E_NOINTERFACE, pTool->QueryInterface(IID_IDirectMusicGraph, &pv));
    EXPECT_EQ(nullptr, pv);
    // 1 at construction, +2 from the successful queries.
    EXPECT_EQ(4u, pTool->AddRef());
    EXPECT_EQ(3u, pTool->Release());
    EXPECT_EQ(2u, pTool->Release());
    EXPECT_EQ(1u, pTool->Release());
    EXPECT_EQ(0u, pTool->Release());
}

TEST(InstrumentToolLifetime, InterfaceIdsHaveTheirPlatformValues) {
    const GUID kToolId = {0xD2AC28BA, 0xB39B, 0x11D1, {0x87, 0x04, 0x00, 0x60, 0x08, 0x93, 0xB1, 0xBD}};
    const GUID kUnknownId = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
    EXPECT_TRUE(IsEqualGUID(kToolId, IID_IDirectMusicTool));
    EXPECT_TRUE(IsEqualGUID(kUnknownId, IID_IUnknown));
}

TEST(InstrumentPlan, RowsFollowUsedProgramsInAscendingOrder) {
    int used[kProgramTableSize];
    for (int p = 0; p < kProgramTableSize; ++p) {
        used[p] = kNoProgram;
    }
    used[0] = 0;
    used[25] = 25;
    used[40] = 40;
    const bool rowChecked[] = {true, false, true};
    const int rowPrograms[] = {0, 25, 40};
    g_pchannelPrograms[77] = 12;
    FillProgramMap(used, rowChecked, rowPrograms, 3);
    EXPECT_EQ(0, g_programMap[0]);
    EXPECT_EQ(kNoProgram, g_programMap[25]);
    EXPECT_EQ(40, g_programMap[40]);
    EXPECT_EQ(kNoProgram, g_programMap[1]);
    EXPECT_EQ(kNoProgram, g_programMap[255]);
    for (int c : {0, 77, kPChannelCount - 1}) {
        EXPECT_EQ(kNoProgram, g_pchannelPrograms[c]) << c;
    }
}

TEST(InstrumentPlan, ShortRowListIsNotReadPastItsEnd) {
    int used[kProgramTableSize];
    for (int p = 0; p < kProgramTableSize; ++p) {
        used[p] = p < 4 ? p : kNoProgram;
    }
    const bool rowChecked[] = {false, false};
    const int rowPrograms[] = {0, 1};
    FillProgramMap(used, rowChecked, rowPrograms, 2);
    EXPECT_EQ(kNoProgram, g_programMap[0]);
    EXPECT_EQ(kNoProgram, g_programMap[1]);
    EXPECT_EQ(2, g_programMap[2]);
    EXPECT_EQ(3, g_programMap[3]);
}

TEST(InstrumentPlan, OpeningAFileCopiesTheUsedPrograms) {
    int used[kProgramTableSize];
    for (int p = 0; p < kProgramTableSize; ++p) {
        used[p] = (p % 3 == 0 && p < 128) ? p : kNoProgram;
    }
    ResetProgramMap(used);
    for (int p = 0; p < kProgramTableSize; ++p) {
        EXPECT_EQ(used[p], g_programMap[p]) << p;
    }
}

} // namespace
