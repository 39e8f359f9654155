// CPlaySession: the rendering thread: default patches, then blocks to the device, the clock or the effects.
#include "play_session.h"

#include <dmusici.h>

#include <algorithm>
#include <type_traits>

#include "convert_pipeline.h"
#include "pcm16.h"
#include "sound_buffer.h"
#include "worker_thread.h"

namespace {

const int kMidiChannels = 16;
const int kBankMsbController = 0;
const int kBankLsbController = 32;
// Rendering runs at most this far ahead of the clock: the device's whole queue (70 ms at 44,100 Hz).
const int kAheadOfClockFrames = CWaveOut::kBufferFrames * CWaveOut::kBufferCount;
const DWORD kClockPollMilliseconds = 5;

} // namespace

CPlaySession::CPlaySession(tw::synth::Synth &synth, const tw::sequencer::Segment &segment,
                           tw::sequencer::EventHook &hook, CSoundBuffer *pBuffer, int nMasterVolume,
                           ISessionEvents &events)
    : m_synth(synth), m_target(synth), m_player(m_target), m_hook(hook), m_pBuffer(pBuffer), m_events(events),
      m_bConvert(pBuffer != nullptr && !pBuffer->Effects().Empty()), m_nRate(synth.sampleRate()) {
    QueryPerformanceFrequency(&m_frequency);
    if (m_pBuffer != nullptr) {
        m_pBuffer->AddRef();
        m_pBuffer->SetInUse(true);
    }
    m_player.load(segment);
    m_player.setHook(&m_hook);
    m_player.setMasterVolume(nMasterVolume);
}

CPlaySession::~CPlaySession() {
    Stop();
    if (m_hStop != nullptr) {
        CloseHandle(m_hStop);
    }
    if (m_pBuffer != nullptr) {
        m_pBuffer->SetInUse(false);
        m_pBuffer->Release();
    }
}

HRESULT CPlaySession::Start() {
    m_hStop = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (m_hStop == nullptr) {
        return HRESULT_FROM_WIN32(GetLastError());
    }
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    m_nWallBaseCount = now.QuadPart;
    // Listening goes by the device until it turns out to have none: the position stays at the start until the
    // first sound is really played.
    m_bDevice = !m_bConvert;
    static_assert(std::is_same<decltype(&ThreadProc), LPTHREAD_START_ROUTINE>::value,
                  "the rendering thread's procedure is a thread start routine");
    m_hThread = CreateThread(nullptr, 0, ThreadProc, this, 0, nullptr);
    return m_hThread != nullptr ? S_OK : HRESULT_FROM_WIN32(GetLastError());
}

void CPlaySession::Stop() {
    if (m_hThread == nullptr) {
        return;
    }
    m_bStopRequested = true;
    SetEvent(m_hStop);
    JoinThread(m_hThread);
}

DWORD WINAPI CPlaySession::ThreadProc(LPVOID pParam) {
    static_cast<CPlaySession *>(pParam)->Run();
    return 0;
}

int64_t CPlaySession::FramesToReference(int64_t nFrames) const {
    return nFrames / m_nRate * tw::sequencer::kReferenceUnitsPerSecond +
           nFrames % m_nRate * tw::sequencer::kReferenceUnitsPerSecond / m_nRate;
}

int64_t CPlaySession::WallFrames() const {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    int64_t nTicks = now.QuadPart - m_nWallBaseCount.load();
    int64_t nFreq = m_frequency.QuadPart > 0 ? m_frequency.QuadPart : 1;
    return m_nWallBaseFrames.load() + nTicks / nFreq * m_nRate + nTicks % nFreq * m_nRate / nFreq;
}

void CPlaySession::SwitchToWallClock(int64_t nFrames) {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    m_bDevice = false;
    m_nWallBaseFrames = nFrames;
    m_nWallBaseCount = now.QuadPart;
}

// A device never plays faster than time passes; one that claims to (a null device consuming at once) is held
// to the clock.
int64_t CPlaySession::Now() const {
    if (m_bConvert) {
        return FramesToReference(m_player.positionSamples());
    }
    int64_t nWall = WallFrames();
    return FramesToReference(m_bDevice.load() ? std::min(m_waveOut.PlayedFrames(), nWall) : nWall);
}

bool CPlaySession::WaitForClock(int64_t nFrames) {
    while (nFrames > WallFrames()) {
        if (WaitForSingleObject(m_hStop, kClockPollMilliseconds) != WAIT_TIMEOUT) {
            return false;
        }
    }
    return true;
}

void CPlaySession::Run() {
    CEffectsThreadCom com;
    if (!m_bConvert) {
        SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_HIGHEST); // listening must not stutter
    }
    m_player.start();
    SendDefaultPatches();
    m_events.OnSegmentEvent(DMUS_NOTIFICATION_SEGSTART, 0);
    if (m_bConvert) {
        RunConvert();
    } else if (m_waveOut.Open(static_cast<DWORD>(m_nRate))) {
        RunListen();
    } else {
        SwitchToWallClock(0);
        RunAgainstClock();
    }
    m_bFinished = true;
}

// Every channel starts on program 0 (the drum kit on channel 10, by the synthesizer's GM rules), sent
// through the graph as DirectMusic's band does, so tools see a patch before any note.
void CPlaySession::SendDefaultPatches() {
    for (int nChannel = 0; nChannel < kMidiChannels; ++nChannel) {
        tw::sequencer::PatchEvent patch;
        patch.channel = nChannel;
        if (!m_hook.OnPatch(patch) || patch.channel < 0 || patch.channel >= kMidiChannels) {
            continue;
        }
        if (patch.program != 0 || patch.bankMsb != 0 || patch.bankLsb != 0) {
            m_target.controlChange(patch.channel, kBankMsbController, std::clamp(patch.bankMsb, 0, 127));
            m_target.controlChange(patch.channel, kBankLsbController, std::clamp(patch.bankLsb, 0, 127));
            m_target.programChange(patch.channel, std::clamp(patch.program, 0, 127));
        }
    }
}

int CPlaySession::RenderBlock(int nFrames) {
    int nRendered = m_player.render(m_afLeft, m_afRight, nFrames);
    tw::synth::interleavePcm16(m_afLeft, m_afRight, nRendered, m_anPcm);
    return nRendered;
}

// The voices of the next block are mixed here while the second thread finishes the one before. The tail is
// rendered on this thread alone: where it ends depends on the finished output.
void CPlaySession::ConvertAheadOfEffects() {
    CConvertPipeline pipeline(m_synth, m_pBuffer->Effects());
    if (!pipeline.Start()) {
        return;
    }
    int64_t nBlockStart = 0;
    bool bTail = false;
    while (!m_bStopRequested && !bTail) {
        tw::synth::DryBlock &block = pipeline.NextBlock();
        m_synth.setDryBlock(&block);
        // A render call mixes at most one grid block more than it delivers: the block has room for that.
        while (block.frames <= CConvertPipeline::kFillFrames - kBlockFrames) {
            if (m_player.renderBeforeTail(m_afLeft, m_afRight, kBlockFrames) == 0) {
                bTail = true;
                break;
            }
        }
        m_synth.setDryBlock(nullptr);
        pipeline.Submit(FramesToReference(nBlockStart));
        nBlockStart += block.frames;
    }
    pipeline.Finish();
}

void CPlaySession::RunConvert() {
    CEffectChain &effects = m_pBuffer->Effects();
    ConvertAheadOfEffects();
    while (!m_bStopRequested && !m_player.finished()) {
        int64_t rtBlock = FramesToReference(m_player.positionSamples());
        int nFrames = RenderBlock(kBlockFrames);
        if (nFrames > 0) {
            effects.Process(reinterpret_cast<BYTE *>(m_anPcm), static_cast<DWORD>(nFrames * 4), rtBlock);
        }
    }
    if (m_player.finished()) {
        int64_t rtEnd = FramesToReference(m_player.positionSamples());
        m_events.OnSegmentEvent(DMUS_NOTIFICATION_SEGALMOSTEND, rtEnd);
        m_events.OnSegmentEvent(DMUS_NOTIFICATION_SEGEND, rtEnd);
    }
}

void CPlaySession::RunListen() {
    m_bDevice = true;
    bool bPlaying = true;
    while (bPlaying && !m_player.finished()) {
        bPlaying = WaitForClock(m_player.positionSamples() - kAheadOfClockFrames);
        int nFrames = bPlaying ? RenderBlock(kBlockFrames) : 0;
        bPlaying = bPlaying && (nFrames == 0 || m_waveOut.Write(m_anPcm, nFrames, m_hStop));
        if (!bPlaying && WaitForSingleObject(m_hStop, 0) == WAIT_TIMEOUT) {
            // The device failed while playing: the piece goes on against the clock.
            SwitchToWallClock(std::min(m_waveOut.PlayedFrames(), WallFrames()));
            m_waveOut.Close();
            RunAgainstClock();
            return;
        }
    }
    if (bPlaying) {
        m_waveOut.Drain(m_hStop);
        bPlaying = WaitForClock(m_player.positionSamples());
    }
    // The clock runs on after the device is closed: a position display waits for it to pass the end.
    SwitchToWallClock(std::min(m_waveOut.PlayedFrames(), WallFrames()));
    m_waveOut.Close();
    if (bPlaying && WaitForSingleObject(m_hStop, 0) == WAIT_TIMEOUT) {
        int64_t rtEnd = FramesToReference(m_player.positionSamples());
        m_events.OnSegmentEvent(DMUS_NOTIFICATION_SEGALMOSTEND, rtEnd);
        m_events.OnSegmentEvent(DMUS_NOTIFICATION_SEGEND, rtEnd);
    }
}

void CPlaySession::RunAgainstClock() {
    while (!m_player.finished()) {
        if (!WaitForClock(m_player.positionSamples() - kAheadOfClockFrames)) {
            return;
        }
        RenderBlock(kBlockFrames);
    }
    if (!WaitForClock(m_player.positionSamples())) {
        return;
    }
    int64_t rtEnd = FramesToReference(m_player.positionSamples());
    m_events.OnSegmentEvent(DMUS_NOTIFICATION_SEGALMOSTEND, rtEnd);
    m_events.OnSegmentEvent(DMUS_NOTIFICATION_SEGEND, rtEnd);
}
