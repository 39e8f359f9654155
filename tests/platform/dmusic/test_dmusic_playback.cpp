// Playing through the stand-in: the tool contract, conversion through an effect, tempo, volume, notifications,
// and the tool's muting and tone heard in the spectrum.
#include "support/platform/dmusic/dmusic_harness.h"
#include "instrument_plan.h"
#include "instrument_tool.h"

namespace dmtest {
namespace {

const int kRate = 44100;

// Channel 1 never gets a program change; channel 2 gets 40 and later 73; channel 10 plays a drum.
std::string ToolContractMidi() {
    smftest::Bytes e;
    AddEvent(e, 0, {0x90, 60, 100});
    AddEvent(e, 0, {0xC1, 40});
    AddEvent(e, 0, {0x91, 64, 100});
    AddEvent(e, 0, {0x99, 36, 100});
    AddEvent(e, 48, {0x89, 36, 0});
    AddEvent(e, 48, {0x80, 60, 0});
    AddEvent(e, 0, {0x81, 64, 0});
    AddEvent(e, 96, {0xC1, 73});
    AddEvent(e, 0, {0x91, 67, 100});
    AddEvent(e, 96, {0x81, 67, 0});
    return WriteMidi("dmusic_tools.mid", e);
}

// A quiet note at 0 and another at 4 s whose note-off is the end of the piece (4.5 s at 120 bpm).
std::string TwoNoteMidi() {
    smftest::Bytes e;
    AddEvent(e, 0, {0xC0, 0});
    AddEvent(e, 0, {0x90, 60, 40});
    AddEvent(e, 96, {0x80, 60, 0});
    AddEvent(e, 672, {0x90, 62, 40});
    AddEvent(e, 96, {0x80, 62, 0});
    return WriteMidi("dmusic_two_notes.mid", e);
}

void PlanAllProgramsBut(int nMuted) {
    for (int p = 0; p < kProgramTableSize; ++p) {
        g_programMap[p] = p < 128 && p != nMuted ? p : kNoProgram;
    }
    ResetChannelPrograms();
}

// Two sustained notes from 0 to 2 s: ocarina (79) on A3 on channel 1, recorder (74) on C5 on channel 2. Both
// are nearly sine-like, and neither pitch lies on a harmonic of the other, before or after a transposition.
const int kLowNote = 57;
const int kHighNote = 72;
std::string TwoInstrumentMidi() {
    smftest::Bytes e;
    AddEvent(e, 0, {0xC0, 79});
    AddEvent(e, 0, {0xC1, 74});
    AddEvent(e, 0, {0x90, kLowNote, 100});
    AddEvent(e, 0, {0x91, kHighNote, 100});
    AddEvent(e, 384, {0x80, kLowNote, 0});
    AddEvent(e, 0, {0x81, kHighNote, 0});
    return WriteMidi("dmusic_two_instruments.mid", e);
}

double NoteHz(double dNote) {
    return 440.0 * std::pow(2.0, (dNote - 69) / 12.0);
}

// Level at dHz of the left channel over the steady part (0.5 s to 1.5 s), Hann-windowed Goertzel, in dB.
double LevelAtDb(const std::vector<int16_t> &samples, double dHz) {
    const size_t first = kRate / 2, count = kRate;
    if (samples.size() / 2 < first + count) {
        return -400.0;
    }
    const double dPi = 3.14159265358979323846;
    double dCoeff = 2 * std::cos(2 * dPi * dHz / kRate), s1 = 0, s2 = 0;
    for (size_t i = 0; i < count; ++i) {
        double dWindow = 0.5 - 0.5 * std::cos(2 * dPi * i / (count - 1));
        double s = samples[2 * (first + i)] / 32768.0 * dWindow + dCoeff * s1 - s2;
        s2 = s1;
        s1 = s;
    }
    double dPower = s1 * s1 + s2 * s2 - dCoeff * s1 * s2;
    return 10 * std::log10(dPower / (count * count / 16.0) + 1e-30); // 0 dB: a full-scale sine
}

struct Conversion {
    std::vector<DWORD> notifications;
    size_t framesAtAlmostEnd = 0;
    REFERENCE_TIME rtEnd = 0;   // the segment's length through MusicToReferenceTime
    REFERENCE_TIME rtClock = 0; // GetTime once the segment has ended
};

typedef std::function<void(IDirectMusicPerformance8 *pPerformance, size_t frames)> BlockHook;

// One conversion as the worker runs it, with the tools given in the graph; onBlock sees every captured block.
Conversion Convert(const std::string &path, long lVolume, float fTempo, std::initializer_list<IDirectMusicTool *> tools,
                   BlockHook onBlock = BlockHook()) {
    Conversion result;
    Engine engine;
    EXPECT_EQ(engine.Create(), S_OK);
    EXPECT_EQ(engine.InitAudioPath(tools), S_OK);
    EXPECT_EQ(engine.SetVolumeAndTempo(lVolume, fTempo), S_OK);
    EXPECT_EQ(engine.Load(path), S_OK);
    EXPECT_EQ(engine.SetEffect(), S_OK);
    if (onBlock) {
        IDirectMusicPerformance8 *pPerformance = engine.pPerformance;
        g_capture.onBlock = [pPerformance, onBlock](size_t frames) { onBlock(pPerformance, frames); };
    }
    EXPECT_EQ(engine.Play(true), S_OK);
    result.notifications = engine.WaitForEnd(60000, &result.framesAtAlmostEnd);
    MUSIC_TIME mtLength = 0;
    engine.pSegment->GetLength(&mtLength);
    engine.pPerformance->MusicToReferenceTime(mtLength, &result.rtEnd);
    engine.pPerformance->GetTime(&result.rtClock, nullptr);
    engine.StopMidi();
    return result;
}

TEST(DmusicPlayback, InstrumentToolSeesEveryPatchBeforeItsNotesAndItsChoicesAreHeard) {
    std::string path = ToolContractMidi();
    PlanAllProgramsBut(73);
    g_transpose = 2;
    CInstrumentTool *pInstrumentTool = new CInstrumentTool();
    CRecordingTool *pRecorder = new CRecordingTool();
    Conversion c = Convert(path, 2000, 1.0f, {pInstrumentTool, pRecorder});
    g_transpose = 0;

    // Every channel's default patch first, once each, as a band would send it.
    const std::vector<Seen> &seen = pRecorder->seen;
    ASSERT_GE(seen.size(), 16u);
    for (DWORD ch = 0; ch < 16; ++ch) {
        EXPECT_EQ(seen[ch].dwType, static_cast<DWORD>(DMUS_PMSGT_PATCH));
        EXPECT_EQ(seen[ch].dwPChannel, ch);
        EXPECT_EQ(seen[ch].value, 0);
    }
    // Then, in time order: program 40 before its note; the muted program 73 and its note never arrive.
    std::vector<Seen> rest(seen.begin() + 16, seen.end());
    ASSERT_EQ(rest.size(), 4u);
    EXPECT_EQ(rest[0].dwType, static_cast<DWORD>(DMUS_PMSGT_NOTE));
    EXPECT_EQ(rest[0].value, 62); // channel 1 without a program change still sounds, transposed
    EXPECT_EQ(rest[1].dwType, static_cast<DWORD>(DMUS_PMSGT_PATCH));
    EXPECT_EQ(rest[1].value, 40);
    EXPECT_EQ(rest[1].dwPChannel, 1u);
    EXPECT_EQ(rest[2].value, 66);
    EXPECT_EQ(rest[2].dwPChannel, 1u);
    EXPECT_EQ(rest[3].value, 38);
    EXPECT_EQ(rest[3].dwPChannel, 9u);
    EXPECT_GT(RmsDb(g_capture.samples), -60.0);

    ASSERT_EQ(c.notifications.size(), 3u);
    EXPECT_EQ(c.notifications[0], static_cast<DWORD>(DMUS_NOTIFICATION_SEGSTART));
    EXPECT_EQ(c.notifications[1], static_cast<DWORD>(DMUS_NOTIFICATION_SEGALMOSTEND));
    EXPECT_EQ(c.notifications[2], static_cast<DWORD>(DMUS_NOTIFICATION_SEGEND));
    // Everything was recorded before the almost-end notice: the worker stops right after it.
    EXPECT_EQ(c.framesAtAlmostEnd, g_capture.Frames());
    EXPECT_GE(c.rtClock, c.rtEnd);
    EXPECT_EQ(g_capture.inputFormat.nChannels, 2);
    EXPECT_EQ(g_capture.inputFormat.wBitsPerSample, 16);
    EXPECT_EQ(g_capture.inputFormat.nSamplesPerSec, static_cast<DWORD>(kRate));
    EXPECT_EQ(g_capture.outputFormat.nSamplesPerSec, static_cast<DWORD>(kRate));
    pInstrumentTool->Release();
    pRecorder->Release();
}

TEST(DmusicPlayback, ToolFreeingEveryNoteSilencesTheOutputAndToolsSeeOnlyTheirMediaTypes) {
    std::string path = ToolContractMidi();
    CRecordingTool *pPatches = new CRecordingTool(false, {DMUS_PMSGT_PATCH});
    CRecordingTool *pDropper = new CRecordingTool(true);
    Convert(path, 2000, 1.0f, {pPatches, pDropper});
    EXPECT_GT(g_capture.Frames(), static_cast<size_t>(kRate)); // the piece still ran its length
    EXPECT_EQ(Peak(g_capture.samples), 0);
    // 16 default patches and the file's two; no note reaches a tool that asked for patches only.
    EXPECT_EQ(pPatches->seen.size(), 18u);
    for (const Seen &s : pPatches->seen) {
        EXPECT_EQ(s.dwType, static_cast<DWORD>(DMUS_PMSGT_PATCH));
    }
    EXPECT_EQ(pDropper->seen.size(), 18u + 4u);
    pPatches->Release();
    pDropper->Release();
}

TEST(DmusicPlayback, ConversionFollowsMasterTempoAndVolume) {
    std::string path = TwoNoteMidi();
    Conversion normal = Convert(path, 2000, 1.0f, {});
    std::vector<int16_t> full = g_capture.samples;
    Conversion fast = Convert(path, 2000, 1.5f, {});
    size_t fastFrames = g_capture.Frames();
    Convert(path, 0, 1.0f, {});
    std::vector<int16_t> quiet = g_capture.samples;
    // Turned down while playing, between the two notes.
    Convert(path, 2000, 1.0f, {}, [](IDirectMusicPerformance8 *pPerformance, size_t frames) {
        long lVolume = 0;
        if (frames >= 2 * kRate && frames < 2 * kRate + 4096) {
            pPerformance->SetGlobalParam(GUID_PerfMasterVolume, &lVolume, sizeof(lVolume));
        }
    });
    std::vector<int16_t> turned = g_capture.samples;

    EXPECT_NEAR(normal.rtEnd, 45000000, 10000);
    EXPECT_NEAR(fast.rtEnd, 30000000, 10000);
    // Same tail after the last note-off, so the difference is the piece's own: 4.5 s x (1 - 1 / 1.5).
    double dShorter = (static_cast<double>(full.size() / 2) - fastFrames) / kRate;
    EXPECT_NEAR(dShorter, 1.5, 0.1);
    // 20 dB between +2000 and 0, measured over the first note (well under the limiter).
    EXPECT_NEAR(RmsDb(full, 0, kRate / 2) - RmsDb(quiet, 0, kRate / 2), 20.0, 0.3);
    EXPECT_NEAR(RmsDb(full, 0, kRate / 2) - RmsDb(turned, 0, kRate / 2), 0.0, 0.05);
    EXPECT_NEAR(RmsDb(full, 4 * kRate, 9 * kRate / 2) - RmsDb(turned, 4 * kRate, 9 * kRate / 2), 20.0, 0.3);
}

// Through the engine's own tool: both pitches sound; muting the recorder's program silences only its note; a
// tone change moves both pitches by the semitones' ratio and leaves nothing at the old ones.
TEST(DmusicPlayback, MutedProgramAndToneAreHeardInTheSpectrum) {
    std::string path = TwoInstrumentMidi();
    auto ConvertWith = [&path](int nMuted, int nTranspose) {
        PlanAllProgramsBut(nMuted);
        g_transpose = nTranspose;
        CInstrumentTool *pInstrumentTool = new CInstrumentTool();
        Convert(path, 2000, 1.0f, {pInstrumentTool});
        pInstrumentTool->Release();
        g_transpose = 0;
        return g_capture.samples;
    };
    const double dLow = NoteHz(kLowNote), dHigh = NoteHz(kHighNote);
    std::vector<int16_t> plain = ConvertWith(kNoProgram, 0);
    const double dLowDb = LevelAtDb(plain, dLow), dHighDb = LevelAtDb(plain, dHigh);
    EXPECT_GT(dLowDb, -40.0);
    EXPECT_GT(dHighDb, -40.0);

    std::vector<int16_t> muted = ConvertWith(74, 0);
    EXPECT_NEAR(LevelAtDb(muted, dLow), dLowDb, 1.0);
    EXPECT_LT(LevelAtDb(muted, dHigh), dHighDb - 30.0);

    for (int nTranspose : {2, -3}) {
        std::vector<int16_t> moved = ConvertWith(kNoProgram, nTranspose);
        EXPECT_NEAR(LevelAtDb(moved, NoteHz(kLowNote + nTranspose)), dLowDb, 6.0) << nTranspose;
        EXPECT_NEAR(LevelAtDb(moved, NoteHz(kHighNote + nTranspose)), dHighDb, 6.0) << nTranspose;
        EXPECT_LT(LevelAtDb(moved, dLow), dLowDb - 30.0) << nTranspose;
        EXPECT_LT(LevelAtDb(moved, dHigh), dHighDb - 30.0) << nTranspose;
    }
}

TEST(DmusicPlayback, TypicalGeneralMidiFileAtPlusTwentyDecibelsIsFullWithoutClipping) {
    Convert(std::string(TEST_OPENMSX_DIR) + "/chemistry_lab.mid", 2000, 1.0f, {});
    ASSERT_GT(g_capture.Frames(), static_cast<size_t>(10 * kRate));
    int nPeak = Peak(g_capture.samples);
    // This one peaks at -5 dBFS and averages -21 dBFS; the limiter's ceiling is -0.1 dBFS.
    EXPECT_LE(nPeak, 32767 * 0.99);
    EXPECT_GE(nPeak, 32767 / 3); // within 10 dB of full scale
    EXPECT_GT(RmsDb(g_capture.samples), -26.0);
}

} // namespace
} // namespace dmtest
