// Setting up through the stand-in: which DLL answers, the port, the loader's errors, the listening clock,
// effects on an active buffer, and a missing or damaged SoundFont.
#include "support/platform/dmusic/dmusic_harness.h"

#include "soundfont_control.h"

namespace dmtest {
namespace {

std::string ShortMidi() {
    smftest::Bytes e;
    AddEvent(e, 0, {0x90, 60, 100});
    AddEvent(e, 384, {0x80, 60, 0}); // 2 s
    return WriteMidi("dmusic_short.mid", e);
}

std::string StandInFolder() {
    char szPath[MAX_PATH] = "";
    GetModuleFileNameA(GetModuleHandleA("TwDirectMusic.dll"), szPath, MAX_PATH);
    std::string path = szPath;
    return path.substr(0, path.find_last_of("\\/") + 1);
}

// Points the stand-in's settings at another SoundFont while it lives; the default comes back after.
class SoundFontSetting {
public:
    explicit SoundFontSetting(const std::string &soundFont) : m_ini(StandInFolder() + "TwDirectMusic.ini") {
        WritePrivateProfileStringA("TwDirectMusic", "SoundFont", soundFont.c_str(), m_ini.c_str());
    }
    ~SoundFontSetting() { DeleteFileA(m_ini.c_str()); }

private:
    std::string m_ini;
};

TEST(DmusicSetup, ManifestBringsTheStandInWithItsOnePort) {
    Engine engine;
    ASSERT_EQ(engine.Create(), S_OK);
    EXPECT_NE(GetModuleHandleA("TwDirectMusic.dll"), nullptr);
    DMUS_PORTCAPS caps = {};
    caps.dwSize = sizeof(caps);
    ASSERT_EQ(engine.pDirectMusic->EnumPort(0, &caps), S_OK);
    EXPECT_STREQ(caps.wszDescription, L"Microsoft Synthesizer");
    EXPECT_EQ(caps.dwClass, static_cast<DWORD>(DMUS_PC_OUTPUTCLASS));
    EXPECT_EQ(caps.dwFlags & (DMUS_PC_DLS | DMUS_PC_DLS2 | DMUS_PC_AUDIOPATH),
              static_cast<DWORD>(DMUS_PC_DLS | DMUS_PC_DLS2 | DMUS_PC_AUDIOPATH));
    EXPECT_EQ(engine.pDirectMusic->EnumPort(1, &caps), S_FALSE);
    EXPECT_EQ(engine.pDirectMusic->EnumPort(7, &caps), S_FALSE);
}

TEST(DmusicSetup, LoaderRefusesNonMidiAndMissingFiles) {
    Engine engine;
    ASSERT_EQ(engine.Create(), S_OK);
    std::string text = smftest::WriteTempFile("dmusic_not_midi.mid", {'h', 'e', 'l', 'l', 'o', '\n'});
    EXPECT_EQ(engine.Load(text), DMUS_E_UNSUPPORTED_STREAM);
    EXPECT_EQ(engine.pSegment, nullptr);
    EXPECT_EQ(engine.Load(std::string(TEST_TEMP_DIR) + "/dmusic_no_such_file.mid"), DMUS_E_LOADER_FAILEDOPEN);
    EXPECT_EQ(engine.Load(ShortMidi()), S_OK);
    MUSIC_TIME mtLength = 0;
    EXPECT_EQ(engine.pSegment->GetLength(&mtLength), S_OK);
    EXPECT_EQ(mtLength, 4 * DMUS_PPQ);
}

// Stop at once after a play with notifications, then listen without: the set-up starts afresh.
TEST(DmusicSetup, ListeningClockAdvancesAndPassesTheEndWithoutNotifications) {
    Engine engine;
    ASSERT_EQ(engine.Create(), S_OK);
    ASSERT_EQ(engine.InitAudioPath({}), S_OK);
    ASSERT_EQ(engine.Load(ShortMidi()), S_OK);
    ASSERT_EQ(engine.Play(true), S_OK);
    engine.StopMidi();
    ASSERT_EQ(engine.InitAudioPath({}), S_OK);
    DWORD dwStart = GetTickCount();
    ASSERT_EQ(engine.Play(false), S_OK);
    MUSIC_TIME mtLength = 0;
    REFERENCE_TIME rtEnd = 0, rtNow = 0;
    engine.pSegment->GetLength(&mtLength);
    engine.pPerformance->MusicToReferenceTime(mtLength, &rtEnd);
    EXPECT_NEAR(rtEnd, 20000000, 10000);
    Sleep(500);
    engine.pPerformance->GetTime(&rtNow, nullptr);
    EXPECT_GT(rtNow, 2500000); // real time, give or take the start and the scheduler
    EXPECT_LT(rtNow, 10000000);
    while (rtNow <= rtEnd && GetTickCount() - dwStart < 10000) {
        Sleep(20);
        engine.pPerformance->GetTime(&rtNow, nullptr);
    }
    EXPECT_GT(rtNow, rtEnd) << "a position display waits for the clock to pass the end";
    EXPECT_GE(GetTickCount() - dwStart, 1900u) << "listening plays in real time";
    DMUS_NOTIFICATION_PMSG *pMsg = nullptr;
    EXPECT_EQ(engine.pPerformance->GetNotificationPMsg(&pMsg), S_FALSE);
    EXPECT_EQ(pMsg, nullptr);
}

TEST(DmusicSetup, EffectsChangeOnlyOnAStoppedBuffer) {
    Engine engine;
    ASSERT_EQ(engine.Create(), S_OK);
    ASSERT_EQ(engine.InitAudioPath({}), S_OK);
    RegisterTestEffect();
    DSEFFECTDESC desc = {sizeof(DSEFFECTDESC), DSFX_LOCSOFTWARE, kTestEffectClsid, 0, 0};
    DWORD dwResult = 0;
    EXPECT_EQ(engine.pBuffer->SetFX(1, &desc, &dwResult), DSERR_INVALIDCALL);
    engine.pAudioPath->Activate(FALSE);
    EXPECT_EQ(engine.pBuffer->SetFX(0, nullptr, nullptr), S_OK);
    EXPECT_EQ(engine.pBuffer->SetFX(1, &desc, &dwResult), S_OK);
    EXPECT_EQ(dwResult, static_cast<DWORD>(DSFXR_LOCSOFTWARE));
    DSEFFECTDESC unknown = desc;
    unknown.guidDSFXClass = GUID_NULL;
    EXPECT_EQ(engine.pBuffer->SetFX(1, &unknown, &dwResult), DSERR_FXUNAVAILABLE);
    EXPECT_EQ(engine.pBuffer->SetFX(0, nullptr, nullptr), S_OK);
}

TEST(DmusicSetup, MissingOrDamagedSoundFontFailsTheAudioSetUp) {
    std::string damaged = smftest::WriteTempFile("dmusic_damaged.sf2", {'R', 'I', 'F', 'F', 8, 0, 0, 0, 's', 'f'});
    for (const std::string &soundFont : {std::string(TEST_TEMP_DIR) + "/dmusic_missing.sf2", damaged}) {
        SoundFontSetting setting(soundFont);
        Engine engine;
        ASSERT_EQ(engine.Create(), S_OK);
        EXPECT_TRUE(FAILED(engine.InitAudioPath({}))) << soundFont;
        IDirectMusicAudioPath *pPath = nullptr;
        EXPECT_EQ(engine.pPerformance->CreateStandardAudioPath(DMUS_APATH_DYNAMIC_STEREO, 64, TRUE, &pPath),
                  DMUS_E_NOT_INIT);
        EXPECT_EQ(pPath, nullptr);
    }
    Engine engine; // the default SoundFont again
    ASSERT_EQ(engine.Create(), S_OK);
    EXPECT_EQ(engine.InitAudioPath({}), S_OK);
}

// The one synthesizer plays for one performance: a second that tries meanwhile is told it is busy, not that
// the synthesizer is badly configured, and plays once the first has stopped.
TEST(DmusicSetup, ASecondPerformanceIsToldTheSynthesizerIsBusy) {
    Engine first, second;
    for (Engine *pEngine : {&first, &second}) {
        ASSERT_EQ(pEngine->Create(), S_OK);
        ASSERT_EQ(pEngine->InitAudioPath({}), S_OK);
        ASSERT_EQ(pEngine->Load(ShortMidi()), S_OK);
    }
    ASSERT_EQ(first.Play(false), S_OK);
    EXPECT_EQ(second.Play(false), HRESULT_FROM_WIN32(ERROR_BUSY));
    first.StopMidi();
    EXPECT_EQ(second.Play(false), S_OK);
    second.StopMidi();
}

// The program's choice through ITwSoundFontControl: a file that cannot be loaded is refused with the reason and
// changes nothing; a good one plays from the next set-up on, over TwDirectMusic.ini's; "" brings the settings'
// SoundFont back, and nothing is written beside the DLL.
TEST(DmusicSetup, AChosenSoundFontWinsOverTheSettingsAndAFailedChoiceChangesNothing) {
    std::string damaged =
        smftest::WriteTempFile("dmusic_choice_damaged.sf2", {'R', 'I', 'F', 'F', 200, 0, 0, 0, 's', 'f', 'b', 'k'});
    Engine engine;
    ASSERT_EQ(engine.Create(), S_OK);
    ITwSoundFontControl *pControl = nullptr;
    ASSERT_EQ(engine.pDirectMusic->QueryInterface(IID_ITwSoundFontControl, reinterpret_cast<void **>(&pControl)), S_OK);
    char szReason[512];
    EXPECT_TRUE(FAILED(pControl->SetSoundFont((std::string(TEST_TEMP_DIR) + "/dmusic_no_font.sf2").c_str(), szReason,
                                              sizeof szReason)));
    EXPECT_NE(std::string(szReason).find("dmusic_no_font.sf2"), std::string::npos) << szReason;
    EXPECT_TRUE(FAILED(pControl->SetSoundFont(damaged.c_str(), szReason, sizeof szReason)));
    EXPECT_EQ(std::string(szReason).rfind("The SoundFont is damaged: ", 0), 0u) << szReason;
    EXPECT_EQ(engine.InitAudioPath({}), S_OK) << "the default still plays";
    {
        SoundFontSetting setting(damaged); // the settings name a damaged file: the choice plays all the same
        ASSERT_EQ(pControl->SetSoundFont(TEST_SOUNDFONT, szReason, sizeof szReason), S_OK) << szReason;
        EXPECT_STREQ(szReason, "");
        Engine chosen;
        ASSERT_EQ(chosen.Create(), S_OK);
        EXPECT_EQ(chosen.InitAudioPath({}), S_OK);
        // Back to the settings' SoundFont: the damaged one is refused, the chosen one stays.
        EXPECT_TRUE(FAILED(pControl->SetSoundFont("", szReason, sizeof szReason)));
        Engine still;
        ASSERT_EQ(still.Create(), S_OK);
        EXPECT_EQ(still.InitAudioPath({}), S_OK);
    }
    EXPECT_EQ(pControl->SetSoundFont(nullptr, szReason, sizeof szReason), S_OK) << szReason;
    EXPECT_EQ(GetFileAttributesA((StandInFolder() + "TwDirectMusic.ini").c_str()), INVALID_FILE_ATTRIBUTES);
    pControl->Release();
}

} // namespace
} // namespace dmtest
