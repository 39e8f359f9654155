// One play of a segment on its own thread: to the sound card in real time, or through the buffer's effects
// as fast as the machine allows.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

#include "core/sequencer/event_hook.h"
#include "core/sequencer/player.h"
#include "core/sequencer/segment.h"
#include "core/sequencer/synth_target.h"
#include "core/synth/synth.h"
#include "wave_out.h"

class CSoundBuffer;

// Told of the segment's start and end, on the rendering thread.
class ISessionEvents {
public:
    virtual void OnSegmentEvent(DWORD dwOption, int64_t rtTime) = 0;

protected:
    ~ISessionEvents() = default;
};

class CPlaySession {
public:
    static const int kBlockFrames = CWaveOut::kBufferFrames;

    // A buffer with effects makes a conversion; otherwise the segment is listened to. The buffer (optional) is
    // referenced and marked in use for the session's life. Not real-time safe (prepares the player).
    CPlaySession(tw::synth::Synth &synth, const tw::sequencer::Segment &segment, tw::sequencer::EventHook &hook,
                 CSoundBuffer *pBuffer, int nMasterVolume, ISessionEvents &events);
    ~CPlaySession();
    CPlaySession(const CPlaySession &) = delete;
    CPlaySession &operator=(const CPlaySession &) = delete;

    // Starts the rendering thread: S_OK, or the Win32 error that stopped the event or the thread as an HRESULT.
    HRESULT Start();
    // Ends the play at once and waits for its thread.
    void Stop();
    // Hundredths of a decibel; heard from the next block on.
    void SetMasterVolume(int nHundredthsDb) { m_player.setMasterVolume(nHundredthsDb); }
    bool Finished() const { return m_bFinished.load(); }
    // Reference time (100 ns) of the audio played so far: heard from the device or, without one, the clock's
    // time since the start; converting, the audio rendered.
    int64_t Now() const;

private:
    static DWORD WINAPI ThreadProc(LPVOID pParam);
    void Run();
    void SendDefaultPatches();
    int RenderBlock(int nFrames);
    void RunConvert();
    // The conversion up to the tail, on two threads; nothing when the second thread cannot start, and
    // RunConvert then renders it all.
    void ConvertAheadOfEffects();
    void RunListen();
    void RunAgainstClock();
    void SwitchToWallClock(int64_t nFrames);
    // Waits until the clock reaches nFrames; false when stopped first.
    bool WaitForClock(int64_t nFrames);
    int64_t WallFrames() const;
    int64_t FramesToReference(int64_t nFrames) const;

    tw::synth::Synth &m_synth;
    tw::sequencer::SynthTarget m_target;
    tw::sequencer::Player m_player;
    tw::sequencer::EventHook &m_hook;
    CSoundBuffer *m_pBuffer;
    ISessionEvents &m_events;
    bool m_bConvert;
    int m_nRate;
    HANDLE m_hThread = nullptr;
    HANDLE m_hStop = nullptr;
    // Set with m_hStop: converting looks at it once a block, where a wait on the event would be a round trip
    // to Wine's server each time.
    std::atomic<bool> m_bStopRequested{false};
    CWaveOut m_waveOut;
    std::atomic<bool> m_bDevice{false}; // the device's position is the clock
    std::atomic<bool> m_bFinished{false};
    std::atomic<int64_t> m_nWallBaseFrames{0}; // the wall clock counts on from these frames...
    std::atomic<int64_t> m_nWallBaseCount{0};  // ...at this performance-counter value
    LARGE_INTEGER m_frequency = {};
    float m_afLeft[kBlockFrames] = {};
    float m_afRight[kBlockFrames] = {};
    int16_t m_anPcm[kBlockFrames * 2] = {};
};
