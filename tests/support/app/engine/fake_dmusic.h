// COM test doubles of the DirectMusic and DirectSound interfaces the engine calls: every method answers E_NOTIMPL
// until a test overrides it. Stack objects: the reference count only counts, nothing deletes itself.
#pragma once

#include <windows.h>

#include <dmusici.h>
#include <dsound.h>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-parameter"

template <class I> class FakeUnknown : public I {
public:
    STDMETHOD(QueryInterface)(REFIID, void **ppv) override {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHOD_(ULONG, AddRef)() override { return static_cast<ULONG>(++m_cRef); }
    STDMETHOD_(ULONG, Release)() override { return static_cast<ULONG>(--m_cRef); }
    long m_cRef = 1;
};

class FakePerformance : public FakeUnknown<IDirectMusicPerformance8> {
public:
    STDMETHOD(Init)(IDirectMusic **ppDirectMusic, LPDIRECTSOUND pDirectSound, HWND hWnd) override { return E_NOTIMPL; }
    STDMETHOD(PlaySegment)
    (IDirectMusicSegment *pSegment, DWORD dwFlags, __int64 i64StartTime,
     IDirectMusicSegmentState **ppSegmentState) override {
        return E_NOTIMPL;
    }
    STDMETHOD(Stop)
    (IDirectMusicSegment *pSegment, IDirectMusicSegmentState *pSegmentState, MUSIC_TIME mtTime,
     DWORD dwFlags) override {
        return E_NOTIMPL;
    }
    STDMETHOD(GetSegmentState)(IDirectMusicSegmentState **ppSegmentState, MUSIC_TIME mtTime) override {
        return E_NOTIMPL;
    }
    STDMETHOD(SetPrepareTime)(DWORD dwMilliSeconds) override { return E_NOTIMPL; }
    STDMETHOD(GetPrepareTime)(DWORD *pdwMilliSeconds) override { return E_NOTIMPL; }
    STDMETHOD(SetBumperLength)(DWORD dwMilliSeconds) override { return E_NOTIMPL; }
    STDMETHOD(GetBumperLength)(DWORD *pdwMilliSeconds) override { return E_NOTIMPL; }
    STDMETHOD(SendPMsg)(DMUS_PMSG *pPMSG) override { return E_NOTIMPL; }
    STDMETHOD(MusicToReferenceTime)(MUSIC_TIME mtTime, REFERENCE_TIME *prtTime) override { return E_NOTIMPL; }
    STDMETHOD(ReferenceToMusicTime)(REFERENCE_TIME rtTime, MUSIC_TIME *pmtTime) override { return E_NOTIMPL; }
    STDMETHOD(IsPlaying)(IDirectMusicSegment *pSegment, IDirectMusicSegmentState *pSegState) override {
        return E_NOTIMPL;
    }
    STDMETHOD(GetTime)(REFERENCE_TIME *prtNow, MUSIC_TIME *pmtNow) override { return E_NOTIMPL; }
    STDMETHOD(AllocPMsg)(ULONG cb, DMUS_PMSG **ppPMSG) override { return E_NOTIMPL; }
    STDMETHOD(FreePMsg)(DMUS_PMSG *pPMSG) override { return E_NOTIMPL; }
    STDMETHOD(GetGraph)(struct IDirectMusicGraph **ppGraph) override { return E_NOTIMPL; }
    STDMETHOD(SetGraph)(struct IDirectMusicGraph *pGraph) override { return E_NOTIMPL; }
    STDMETHOD(SetNotificationHandle)(HANDLE hNotification, REFERENCE_TIME rtMinimum) override { return E_NOTIMPL; }
    STDMETHOD(GetNotificationPMsg)(DMUS_NOTIFICATION_PMSG **ppNotificationPMsg) override { return E_NOTIMPL; }
    STDMETHOD(AddNotificationType)(REFGUID rguidNotificationType) override { return E_NOTIMPL; }
    STDMETHOD(RemoveNotificationType)(REFGUID rguidNotificationType) override { return E_NOTIMPL; }
    STDMETHOD(AddPort)(IDirectMusicPort *pPort) override { return E_NOTIMPL; }
    STDMETHOD(RemovePort)(IDirectMusicPort *pPort) override { return E_NOTIMPL; }
    STDMETHOD(AssignPChannelBlock)(DWORD dwBlockNum, IDirectMusicPort *pPort, DWORD dwGroup) override {
        return E_NOTIMPL;
    }
    STDMETHOD(AssignPChannel)(DWORD dwPChannel, IDirectMusicPort *pPort, DWORD dwGroup, DWORD dwMChannel) override {
        return E_NOTIMPL;
    }
    STDMETHOD(PChannelInfo)(DWORD dwPChannel, IDirectMusicPort **ppPort, DWORD *pdwGroup, DWORD *pdwMChannel) override {
        return E_NOTIMPL;
    }
    STDMETHOD(DownloadInstrument)
    (IDirectMusicInstrument *pInst, DWORD dwPChannel, IDirectMusicDownloadedInstrument **ppDownInst,
     DMUS_NOTERANGE *pNoteRanges, DWORD dwNumNoteRanges, IDirectMusicPort **ppPort, DWORD *pdwGroup,
     DWORD *pdwMChannel) override {
        return E_NOTIMPL;
    }
    STDMETHOD(Invalidate)(MUSIC_TIME mtTime, DWORD dwFlags) override { return E_NOTIMPL; }
    STDMETHOD(GetParam)
    (REFGUID rguidType, DWORD dwGroupBits, DWORD dwIndex, MUSIC_TIME mtTime, MUSIC_TIME *pmtNext,
     void *pParam) override {
        return E_NOTIMPL;
    }
    STDMETHOD(SetParam)(REFGUID rguidType, DWORD dwGroupBits, DWORD dwIndex, MUSIC_TIME mtTime, void *pParam) override {
        return E_NOTIMPL;
    }
    STDMETHOD(GetGlobalParam)(REFGUID rguidType, void *pParam, DWORD dwSize) override { return E_NOTIMPL; }
    STDMETHOD(SetGlobalParam)(REFGUID rguidType, void *pParam, DWORD dwSize) override { return E_NOTIMPL; }
    STDMETHOD(GetLatencyTime)(REFERENCE_TIME *prtTime) override { return E_NOTIMPL; }
    STDMETHOD(GetQueueTime)(REFERENCE_TIME *prtTime) override { return E_NOTIMPL; }
    STDMETHOD(AdjustTime)(REFERENCE_TIME rtAmount) override { return E_NOTIMPL; }
    STDMETHOD(CloseDown)() override { return E_NOTIMPL; }
    STDMETHOD(GetResolvedTime)(REFERENCE_TIME rtTime, REFERENCE_TIME *prtResolved, DWORD dwTimeResolveFlags) override {
        return E_NOTIMPL;
    }
    STDMETHOD(MIDIToMusic)
    (BYTE bMIDIValue, DMUS_CHORD_KEY *pChord, BYTE bPlayMode, BYTE bChordLevel, WORD *pwMusicValue) override {
        return E_NOTIMPL;
    }
    STDMETHOD(MusicToMIDI)
    (WORD wMusicValue, DMUS_CHORD_KEY *pChord, BYTE bPlayMode, BYTE bChordLevel, BYTE *pbMIDIValue) override {
        return E_NOTIMPL;
    }
    STDMETHOD(TimeToRhythm)
    (MUSIC_TIME mtTime, DMUS_TIMESIGNATURE *pTimeSig, WORD *pwMeasure, BYTE *pbBeat, BYTE *pbGrid,
     short *pnOffset) override {
        return E_NOTIMPL;
    }
    STDMETHOD(RhythmToTime)
    (WORD wMeasure, BYTE bBeat, BYTE bGrid, short nOffset, DMUS_TIMESIGNATURE *pTimeSig, MUSIC_TIME *pmtTime) override {
        return E_NOTIMPL;
    }
    STDMETHOD(InitAudio)
    (IDirectMusic **ppDirectMusic, IDirectSound **ppDirectSound, HWND hWnd, DWORD dwDefaultPathType,
     DWORD dwPChannelCount, DWORD dwFlags, DMUS_AUDIOPARAMS *pParams) override {
        return E_NOTIMPL;
    }
    STDMETHOD(PlaySegmentEx)
    (IUnknown *pSource, WCHAR *pwzSegmentName, IUnknown *pTransition, DWORD dwFlags, __int64 i64StartTime,
     IDirectMusicSegmentState **ppSegmentState, IUnknown *pFrom, IUnknown *pAudioPath) override {
        return E_NOTIMPL;
    }
    STDMETHOD(StopEx)(IUnknown *pObjectToStop, __int64 i64StopTime, DWORD dwFlags) override { return E_NOTIMPL; }
    STDMETHOD(ClonePMsg)(DMUS_PMSG *pSourcePMSG, DMUS_PMSG **ppCopyPMSG) override { return E_NOTIMPL; }
    STDMETHOD(CreateAudioPath)(IUnknown *pSourceConfig, WINBOOL fActivate, IDirectMusicAudioPath **ppNewPath) override {
        return E_NOTIMPL;
    }
    STDMETHOD(CreateStandardAudioPath)
    (DWORD dwType, DWORD dwPChannelCount, WINBOOL fActivate, IDirectMusicAudioPath **ppNewPath) override {
        return E_NOTIMPL;
    }
    STDMETHOD(SetDefaultAudioPath)(IDirectMusicAudioPath *pAudioPath) override { return E_NOTIMPL; }
    STDMETHOD(GetDefaultAudioPath)(IDirectMusicAudioPath **ppAudioPath) override { return E_NOTIMPL; }
    STDMETHOD(GetParamEx)
    (REFGUID rguidType, DWORD dwTrackID, DWORD dwGroupBits, DWORD dwIndex, MUSIC_TIME mtTime, MUSIC_TIME *pmtNext,
     void *pParam) override {
        return E_NOTIMPL;
    }
};

class FakeDirectMusic : public FakeUnknown<IDirectMusic8> {
public:
    STDMETHOD(EnumPort)(DWORD dwIndex, LPDMUS_PORTCAPS pPortCaps) override { return E_NOTIMPL; }
    STDMETHOD(CreateMusicBuffer)
    (LPDMUS_BUFFERDESC pBufferDesc, LPDIRECTMUSICBUFFER *ppBuffer, LPUNKNOWN pUnkOuter) override { return E_NOTIMPL; }
    STDMETHOD(CreatePort)
    (REFCLSID rclsidPort, LPDMUS_PORTPARAMS pPortParams, LPDIRECTMUSICPORT *ppPort, LPUNKNOWN pUnkOuter) override {
        return E_NOTIMPL;
    }
    STDMETHOD(EnumMasterClock)(DWORD dwIndex, LPDMUS_CLOCKINFO lpClockInfo) override { return E_NOTIMPL; }
    STDMETHOD(GetMasterClock)(LPGUID pguidClock, struct IReferenceClock **ppReferenceClock) override {
        return E_NOTIMPL;
    }
    STDMETHOD(SetMasterClock)(REFGUID rguidClock) override { return E_NOTIMPL; }
    STDMETHOD(Activate)(WINBOOL fEnable) override { return E_NOTIMPL; }
    STDMETHOD(GetDefaultPort)(LPGUID pguidPort) override { return E_NOTIMPL; }
    STDMETHOD(SetDirectSound)(LPDIRECTSOUND pDirectSound, HWND hWnd) override { return E_NOTIMPL; }
    STDMETHOD(SetExternalMasterClock)(struct IReferenceClock *pClock) override { return E_NOTIMPL; }
};

class FakeLoader : public FakeUnknown<IDirectMusicLoader8> {
public:
    STDMETHOD(GetObject)(LPDMUS_OBJECTDESC pDesc, REFIID riid, LPVOID *ppv) override { return E_NOTIMPL; }
    STDMETHOD(SetObject)(LPDMUS_OBJECTDESC pDesc) override { return E_NOTIMPL; }
    STDMETHOD(SetSearchDirectory)(REFGUID rguidClass, WCHAR *pwzPath, WINBOOL fClear) override { return E_NOTIMPL; }
    STDMETHOD(ScanDirectory)(REFGUID rguidClass, WCHAR *pwzFileExtension, WCHAR *pwzScanFileName) override {
        return E_NOTIMPL;
    }
    STDMETHOD(CacheObject)(IDirectMusicObject *pObject) override { return E_NOTIMPL; }
    STDMETHOD(ReleaseObject)(IDirectMusicObject *pObject) override { return E_NOTIMPL; }
    STDMETHOD(ClearCache)(REFGUID rguidClass) override { return E_NOTIMPL; }
    STDMETHOD(EnableCache)(REFGUID rguidClass, WINBOOL fEnable) override { return E_NOTIMPL; }
    STDMETHOD(EnumObject)(REFGUID rguidClass, DWORD dwIndex, LPDMUS_OBJECTDESC pDesc) override { return E_NOTIMPL; }
    STDMETHOD_(void, CollectGarbage)() override { return; }
    STDMETHOD(ReleaseObjectByUnknown)(IUnknown *pObject) override { return E_NOTIMPL; }
    STDMETHOD(LoadObjectFromFile)
    (REFGUID rguidClassID, REFIID iidInterfaceID, WCHAR *pwzFilePath, void **ppObject) override { return E_NOTIMPL; }
};

class FakeSegment : public FakeUnknown<IDirectMusicSegment8> {
public:
    STDMETHOD(GetLength)(MUSIC_TIME *pmtLength) override { return E_NOTIMPL; }
    STDMETHOD(SetLength)(MUSIC_TIME mtLength) override { return E_NOTIMPL; }
    STDMETHOD(GetRepeats)(DWORD *pdwRepeats) override { return E_NOTIMPL; }
    STDMETHOD(SetRepeats)(DWORD dwRepeats) override { return E_NOTIMPL; }
    STDMETHOD(GetDefaultResolution)(DWORD *pdwResolution) override { return E_NOTIMPL; }
    STDMETHOD(SetDefaultResolution)(DWORD dwResolution) override { return E_NOTIMPL; }
    STDMETHOD(GetTrack)(REFGUID rguidType, DWORD dwGroupBits, DWORD dwIndex, IDirectMusicTrack **ppTrack) override {
        return E_NOTIMPL;
    }
    STDMETHOD(GetTrackGroup)(IDirectMusicTrack *pTrack, DWORD *pdwGroupBits) override { return E_NOTIMPL; }
    STDMETHOD(InsertTrack)(IDirectMusicTrack *pTrack, DWORD dwGroupBits) override { return E_NOTIMPL; }
    STDMETHOD(RemoveTrack)(IDirectMusicTrack *pTrack) override { return E_NOTIMPL; }
    STDMETHOD(InitPlay)
    (struct IDirectMusicSegmentState **ppSegState, struct IDirectMusicPerformance *pPerformance,
     DWORD dwFlags) override {
        return E_NOTIMPL;
    }
    STDMETHOD(GetGraph)(struct IDirectMusicGraph **ppGraph) override { return E_NOTIMPL; }
    STDMETHOD(SetGraph)(struct IDirectMusicGraph *pGraph) override { return E_NOTIMPL; }
    STDMETHOD(AddNotificationType)(REFGUID rguidNotificationType) override { return E_NOTIMPL; }
    STDMETHOD(RemoveNotificationType)(REFGUID rguidNotificationType) override { return E_NOTIMPL; }
    STDMETHOD(GetParam)
    (REFGUID rguidType, DWORD dwGroupBits, DWORD dwIndex, MUSIC_TIME mtTime, MUSIC_TIME *pmtNext,
     void *pParam) override {
        return E_NOTIMPL;
    }
    STDMETHOD(SetParam)(REFGUID rguidType, DWORD dwGroupBits, DWORD dwIndex, MUSIC_TIME mtTime, void *pParam) override {
        return E_NOTIMPL;
    }
    STDMETHOD(Clone)(MUSIC_TIME mtStart, MUSIC_TIME mtEnd, IDirectMusicSegment **ppSegment) override {
        return E_NOTIMPL;
    }
    STDMETHOD(SetStartPoint)(MUSIC_TIME mtStart) override { return E_NOTIMPL; }
    STDMETHOD(GetStartPoint)(MUSIC_TIME *pmtStart) override { return E_NOTIMPL; }
    STDMETHOD(SetLoopPoints)(MUSIC_TIME mtStart, MUSIC_TIME mtEnd) override { return E_NOTIMPL; }
    STDMETHOD(GetLoopPoints)(MUSIC_TIME *pmtStart, MUSIC_TIME *pmtEnd) override { return E_NOTIMPL; }
    STDMETHOD(SetPChannelsUsed)(DWORD dwNumPChannels, DWORD *paPChannels) override { return E_NOTIMPL; }
    STDMETHOD(SetTrackConfig)
    (REFGUID rguidTrackClassID, DWORD dwGroupBits, DWORD dwIndex, DWORD dwFlagsOn, DWORD dwFlagsOff) override {
        return E_NOTIMPL;
    }
    STDMETHOD(GetAudioPathConfig)(IUnknown **ppAudioPathConfig) override { return E_NOTIMPL; }
    STDMETHOD(Compose)
    (MUSIC_TIME mtTime, IDirectMusicSegment *pFromSegment, IDirectMusicSegment *pToSegment,
     IDirectMusicSegment **ppComposedSegment) override {
        return E_NOTIMPL;
    }
    STDMETHOD(Download)(IUnknown *pAudioPath) override { return E_NOTIMPL; }
    STDMETHOD(Unload)(IUnknown *pAudioPath) override { return E_NOTIMPL; }
};

class FakeAudioPath : public FakeUnknown<IDirectMusicAudioPath> {
public:
    STDMETHOD(GetObjectInPath)
    (DWORD dwPChannel, DWORD dwStage, DWORD dwBuffer, REFGUID guidObject, WORD dwIndex, REFGUID iidInterface,
     void **ppObject) override {
        return E_NOTIMPL;
    }
    STDMETHOD(Activate)(WINBOOL fActivate) override { return E_NOTIMPL; }
    STDMETHOD(SetVolume)(LONG lVolume, DWORD dwDuration) override { return E_NOTIMPL; }
    STDMETHOD(ConvertPChannel)(DWORD dwPChannelIn, DWORD *pdwPChannelOut) override { return E_NOTIMPL; }
};

class FakeGraph : public FakeUnknown<IDirectMusicGraph> {
public:
    STDMETHOD(StampPMsg)(DMUS_PMSG *pPMSG) override { return E_NOTIMPL; }
    STDMETHOD(InsertTool)(IDirectMusicTool *pTool, DWORD *pdwPChannels, DWORD cPChannels, LONG lIndex) override {
        return E_NOTIMPL;
    }
    STDMETHOD(GetTool)(DWORD dwIndex, IDirectMusicTool **ppTool) override { return E_NOTIMPL; }
    STDMETHOD(RemoveTool)(IDirectMusicTool *pTool) override { return E_NOTIMPL; }
};

class FakeSoundBuffer : public FakeUnknown<IDirectSoundBuffer8> {
public:
    STDMETHOD(GetCaps)(LPDSBCAPS lpDSBufferCaps) override { return E_NOTIMPL; }
    STDMETHOD(GetCurrentPosition)(LPDWORD lpdwCurrentPlayCursor, LPDWORD lpdwCurrentWriteCursor) override {
        return E_NOTIMPL;
    }
    STDMETHOD(GetFormat)(LPWAVEFORMATEX lpwfxFormat, DWORD dwSizeAllocated, LPDWORD lpdwSizeWritten) override {
        return E_NOTIMPL;
    }
    STDMETHOD(GetVolume)(LPLONG lplVolume) override { return E_NOTIMPL; }
    STDMETHOD(GetPan)(LPLONG lplpan) override { return E_NOTIMPL; }
    STDMETHOD(GetFrequency)(LPDWORD lpdwFrequency) override { return E_NOTIMPL; }
    STDMETHOD(GetStatus)(LPDWORD lpdwStatus) override { return E_NOTIMPL; }
    STDMETHOD(Initialize)(LPDIRECTSOUND lpDirectSound, LPCDSBUFFERDESC lpcDSBufferDesc) override { return E_NOTIMPL; }
    STDMETHOD(Lock)
    (DWORD dwOffset, DWORD dwBytes, LPVOID *ppvAudioPtr1, LPDWORD pdwAudioBytes1, LPVOID *ppvAudioPtr2,
     LPDWORD pdwAudioBytes2, DWORD dwFlags) override {
        return E_NOTIMPL;
    }
    STDMETHOD(Play)(DWORD dwReserved1, DWORD dwReserved2, DWORD dwFlags) override { return E_NOTIMPL; }
    STDMETHOD(SetCurrentPosition)(DWORD dwNewPosition) override { return E_NOTIMPL; }
    STDMETHOD(SetFormat)(LPCWAVEFORMATEX lpcfxFormat) override { return E_NOTIMPL; }
    STDMETHOD(SetVolume)(LONG lVolume) override { return E_NOTIMPL; }
    STDMETHOD(SetPan)(LONG lPan) override { return E_NOTIMPL; }
    STDMETHOD(SetFrequency)(DWORD dwFrequency) override { return E_NOTIMPL; }
    STDMETHOD(Stop)() override { return E_NOTIMPL; }
    STDMETHOD(Unlock)(LPVOID pvAudioPtr1, DWORD dwAudioBytes1, LPVOID pvAudioPtr2, DWORD dwAudioPtr2) override {
        return E_NOTIMPL;
    }
    STDMETHOD(Restore)() override { return E_NOTIMPL; }
    STDMETHOD(SetFX)(DWORD dwEffectsCount, LPDSEFFECTDESC pDSFXDesc, LPDWORD pdwResultCodes) override {
        return E_NOTIMPL;
    }
    STDMETHOD(AcquireResources)(DWORD dwFlags, DWORD dwEffectsCount, LPDWORD pdwResultCodes) override {
        return E_NOTIMPL;
    }
    STDMETHOD(GetObjectInPath)(REFGUID rguidObject, DWORD dwIndex, REFGUID rguidInterface, LPVOID *ppObject) override {
        return E_NOTIMPL;
    }
};

#pragma GCC diagnostic pop
