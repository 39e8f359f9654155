// CPerformance: the DirectMusic performance: audio set-up, playing, the tool graph's messages, the clock.
#pragma once

#include <windows.h>

#include <dmusici.h>

#include <cstdint>

#include "com_object.h"

#include "core/sequencer/event_hook.h"
#include "play_session.h"
#include "pmsg_pool.h"

class CSegment;
class CToolGraph;

class CPerformance final : public tw::com::ComObject<CPerformance, IDirectMusicPerformance8>, private ISessionEvents {
public:
    CPerformance();

    // The interface pointer for riid, or null (IUnknown is answered by the template).

    void *InterfaceFor(REFIID riid);

    STDMETHODIMP Init(IDirectMusic **ppDirectMusic, LPDIRECTSOUND pDirectSound, HWND hWnd) override;
    STDMETHODIMP PlaySegment(IDirectMusicSegment *pSegment, DWORD dwFlags, __int64 i64StartTime,
                             IDirectMusicSegmentState **ppSegmentState) override;
    STDMETHODIMP Stop(IDirectMusicSegment *pSegment, IDirectMusicSegmentState *pSegmentState, MUSIC_TIME mtTime,
                      DWORD dwFlags) override;
    STDMETHODIMP GetSegmentState(IDirectMusicSegmentState **ppSegmentState, MUSIC_TIME mtTime) override;
    STDMETHODIMP SetPrepareTime(DWORD dwMilliSeconds) override;
    STDMETHODIMP GetPrepareTime(DWORD *pdwMilliSeconds) override;
    STDMETHODIMP SetBumperLength(DWORD dwMilliSeconds) override;
    STDMETHODIMP GetBumperLength(DWORD *pdwMilliSeconds) override;
    STDMETHODIMP SendPMsg(DMUS_PMSG *pPMSG) override;
    STDMETHODIMP MusicToReferenceTime(MUSIC_TIME mtTime, REFERENCE_TIME *prtTime) override;
    STDMETHODIMP ReferenceToMusicTime(REFERENCE_TIME rtTime, MUSIC_TIME *pmtTime) override;
    STDMETHODIMP IsPlaying(IDirectMusicSegment *pSegment, IDirectMusicSegmentState *pSegState) override;
    STDMETHODIMP GetTime(REFERENCE_TIME *prtNow, MUSIC_TIME *pmtNow) override;
    STDMETHODIMP AllocPMsg(ULONG cb, DMUS_PMSG **ppPMSG) override;
    STDMETHODIMP FreePMsg(DMUS_PMSG *pPMSG) override;
    STDMETHODIMP GetGraph(struct IDirectMusicGraph **ppGraph) override;
    STDMETHODIMP SetGraph(struct IDirectMusicGraph *pGraph) override;
    STDMETHODIMP SetNotificationHandle(HANDLE hNotification, REFERENCE_TIME rtMinimum) override;
    STDMETHODIMP GetNotificationPMsg(DMUS_NOTIFICATION_PMSG **ppNotificationPMsg) override;
    STDMETHODIMP AddNotificationType(REFGUID rguidNotificationType) override;
    STDMETHODIMP RemoveNotificationType(REFGUID rguidNotificationType) override;
    STDMETHODIMP AddPort(IDirectMusicPort *pPort) override;
    STDMETHODIMP RemovePort(IDirectMusicPort *pPort) override;
    STDMETHODIMP AssignPChannelBlock(DWORD dwBlockNum, IDirectMusicPort *pPort, DWORD dwGroup) override;
    STDMETHODIMP AssignPChannel(DWORD dwPChannel, IDirectMusicPort *pPort, DWORD dwGroup, DWORD dwMChannel) override;
    STDMETHODIMP PChannelInfo(DWORD dwPChannel, IDirectMusicPort **ppPort, DWORD *pdwGroup,
                              DWORD *pdwMChannel) override;
    STDMETHODIMP DownloadInstrument(IDirectMusicInstrument *pInst, DWORD dwPChannel,
                                    IDirectMusicDownloadedInstrument **ppDownInst, DMUS_NOTERANGE *pNoteRanges,
                                    DWORD dwNumNoteRanges, IDirectMusicPort **ppPort, DWORD *pdwGroup,
                                    DWORD *pdwMChannel) override;
    STDMETHODIMP Invalidate(MUSIC_TIME mtTime, DWORD dwFlags) override;
    STDMETHODIMP GetParam(REFGUID rguidType, DWORD dwGroupBits, DWORD dwIndex, MUSIC_TIME mtTime, MUSIC_TIME *pmtNext,
                          void *pParam) override;
    STDMETHODIMP SetParam(REFGUID rguidType, DWORD dwGroupBits, DWORD dwIndex, MUSIC_TIME mtTime,
                          void *pParam) override;
    STDMETHODIMP GetGlobalParam(REFGUID rguidType, void *pParam, DWORD dwSize) override;
    STDMETHODIMP SetGlobalParam(REFGUID rguidType, void *pParam, DWORD dwSize) override;
    STDMETHODIMP GetLatencyTime(REFERENCE_TIME *prtTime) override;
    STDMETHODIMP GetQueueTime(REFERENCE_TIME *prtTime) override;
    STDMETHODIMP AdjustTime(REFERENCE_TIME rtAmount) override;
    STDMETHODIMP CloseDown() override;
    STDMETHODIMP GetResolvedTime(REFERENCE_TIME rtTime, REFERENCE_TIME *prtResolved, DWORD dwTimeResolveFlags) override;
    STDMETHODIMP MIDIToMusic(BYTE bMIDIValue, DMUS_CHORD_KEY *pChord, BYTE bPlayMode, BYTE bChordLevel,
                             WORD *pwMusicValue) override;
    STDMETHODIMP MusicToMIDI(WORD wMusicValue, DMUS_CHORD_KEY *pChord, BYTE bPlayMode, BYTE bChordLevel,
                             BYTE *pbMIDIValue) override;
    STDMETHODIMP TimeToRhythm(MUSIC_TIME mtTime, DMUS_TIMESIGNATURE *pTimeSig, WORD *pwMeasure, BYTE *pbBeat,
                              BYTE *pbGrid, short *pnOffset) override;
    STDMETHODIMP RhythmToTime(WORD wMeasure, BYTE bBeat, BYTE bGrid, short nOffset, DMUS_TIMESIGNATURE *pTimeSig,
                              MUSIC_TIME *pmtTime) override;
    STDMETHODIMP InitAudio(IDirectMusic **ppDirectMusic, IDirectSound **ppDirectSound, HWND hWnd,
                           DWORD dwDefaultPathType, DWORD dwPChannelCount, DWORD dwFlags,
                           DMUS_AUDIOPARAMS *pParams) override;
    STDMETHODIMP PlaySegmentEx(IUnknown *pSource, WCHAR *pwzSegmentName, IUnknown *pTransition, DWORD dwFlags,
                               __int64 i64StartTime, IDirectMusicSegmentState **ppSegmentState, IUnknown *pFrom,
                               IUnknown *pAudioPath) override;
    STDMETHODIMP StopEx(IUnknown *pObjectToStop, __int64 i64StopTime, DWORD dwFlags) override;
    STDMETHODIMP ClonePMsg(DMUS_PMSG *pSourcePMSG, DMUS_PMSG **ppCopyPMSG) override;
    STDMETHODIMP CreateAudioPath(IUnknown *pSourceConfig, WINBOOL fActivate,
                                 IDirectMusicAudioPath **ppNewPath) override;
    STDMETHODIMP CreateStandardAudioPath(DWORD dwType, DWORD dwPChannelCount, WINBOOL fActivate,
                                         IDirectMusicAudioPath **ppNewPath) override;
    STDMETHODIMP SetDefaultAudioPath(IDirectMusicAudioPath *pAudioPath) override;
    STDMETHODIMP GetDefaultAudioPath(IDirectMusicAudioPath **ppAudioPath) override;
    STDMETHODIMP GetParamEx(REFGUID rguidType, DWORD dwTrackID, DWORD dwGroupBits, DWORD dwIndex, MUSIC_TIME mtTime,
                            MUSIC_TIME *pmtNext, void *pParam) override;

private:
    // Turns the segment's notes and program changes into messages through the graph (rendering thread).
    class CGraphBridge final : public tw::sequencer::EventHook {
    public:
        explicit CGraphBridge(CPerformance &performance) : m_performance(performance) {}
        bool OnNote(tw::sequencer::NoteEvent &note) override { return m_performance.RouteNote(note); }
        bool OnPatch(tw::sequencer::PatchEvent &patch) override { return m_performance.RoutePatch(patch); }

    private:
        CPerformance &m_performance;
    };

    struct Notification {
        DWORD dwOption;
        int64_t rtTime;
    };
    struct Delivered { // what reached the synthesizer of the message being routed
        bool bArrived;
        DWORD dwPChannel;
        BYTE bMidiValue;
        BYTE bVelocity;
        BYTE byInstrument;
        BYTE byMSB;
        BYTE byLSB;
    };

    static const DWORD kQueueSize = 256;
    static const DWORD kNotificationSlots = 32;
    static const DWORD kMaxStepsPerMessage = 4096; // a tool that keeps sending a message to itself is cut off

    ~CPerformance();
    void OnSegmentEvent(DWORD dwOption, int64_t rtTime) override;
    void StopPlaying();
    void Uninitialize();
    HRESULT StartSession(CSegment *pSegment, CSoundBuffer *pBuffer);

    bool RouteNote(tw::sequencer::NoteEvent &note);
    bool RoutePatch(tw::sequencer::PatchEvent &patch);
    void FillHeader(DMUS_PMSG *pMsg, DWORD dwType, uint32_t tick, int channel);
    bool Dispatch(DMUS_PMSG *pMsg);
    bool Enqueue(DMUS_PMSG *pMsg);
    DMUS_PMSG *Dequeue();
    void Deliver(DMUS_PMSG *pMsg);
    bool OnRenderThread() const;
    bool m_bInitialized;
    IDirectMusic *m_pDirectMusic;
    tw::synth::Synth *m_pSynth;
    CToolGraph *m_pGraph;
    CPMsgPool m_pool;
    CGraphBridge m_bridge;

    // Message routing, rendering thread only.
    DMUS_PMSG *m_apQueue[kQueueSize];
    DWORD m_nQueueHead;
    DWORD m_nQueueCount;
    DMUS_PMSG *m_pRouted;
    Delivered m_delivered;
    volatile DWORD m_dwRenderThread; // the thread inside Dispatch, 0 outside

    // Global parameters; the volume may change from any thread while playing.
    volatile LONG m_lMasterVolume; // hundredths of a decibel
    float m_fMasterTempo;
    BOOL m_bAutoDownload;

    // Segment notifications: written by the rendering thread, read by the caller of GetNotificationPMsg.
    volatile LONG m_nNotifySegments;
    Notification m_aNotifications[kNotificationSlots];
    volatile LONG m_nNotifyWrite;
    volatile LONG m_nNotifyRead;
    HANDLE m_hNotificationEvent; // the caller's, signalled on each notification

    CPlaySession *m_pSession;
    CSegment *m_pClockSegment; // the last segment played: its tempo map converts times
};
