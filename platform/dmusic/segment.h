// CSegment and CSegmentState: a MIDI file loaded for playing, in DirectMusic's music time.
#pragma once

#include <windows.h>

#include <dmusici.h>

#include <cstdint>

#include "com_object.h"

#include "core/sequencer/segment.h"

// Music time counts DMUS_PPQ (768) per quarter note, whatever the file's own division.
class CSegment final : public tw::com::ComObject<CSegment, IDirectMusicSegment8> {
public:
    // ticksPerQuarter: the file's division, or for SMPTE files the ticks of half a second.
    CSegment(tw::sequencer::Segment *pModel, uint32_t ticksPerQuarter);

    // The interface pointer for riid, or null (IUnknown is answered by the template).

    void *InterfaceFor(REFIID riid);

    // Also answers IID_ITwSegment with the object itself, without a reference.

    STDMETHODIMP QueryInterface(REFIID riid, void **ppvObject) override;

    STDMETHODIMP GetLength(MUSIC_TIME *pmtLength) override;
    STDMETHODIMP SetLength(MUSIC_TIME mtLength) override;
    STDMETHODIMP GetRepeats(DWORD *pdwRepeats) override;
    STDMETHODIMP SetRepeats(DWORD dwRepeats) override;
    STDMETHODIMP GetDefaultResolution(DWORD *pdwResolution) override;
    STDMETHODIMP SetDefaultResolution(DWORD dwResolution) override;
    STDMETHODIMP GetTrack(REFGUID rguidType, DWORD dwGroupBits, DWORD dwIndex, IDirectMusicTrack **ppTrack) override;
    STDMETHODIMP GetTrackGroup(IDirectMusicTrack *pTrack, DWORD *pdwGroupBits) override;
    STDMETHODIMP InsertTrack(IDirectMusicTrack *pTrack, DWORD dwGroupBits) override;
    STDMETHODIMP RemoveTrack(IDirectMusicTrack *pTrack) override;
    STDMETHODIMP InitPlay(struct IDirectMusicSegmentState **ppSegState, struct IDirectMusicPerformance *pPerformance,
                          DWORD dwFlags) override;
    STDMETHODIMP GetGraph(struct IDirectMusicGraph **ppGraph) override;
    STDMETHODIMP SetGraph(struct IDirectMusicGraph *pGraph) override;
    STDMETHODIMP AddNotificationType(REFGUID rguidNotificationType) override;
    STDMETHODIMP RemoveNotificationType(REFGUID rguidNotificationType) override;
    STDMETHODIMP GetParam(REFGUID rguidType, DWORD dwGroupBits, DWORD dwIndex, MUSIC_TIME mtTime, MUSIC_TIME *pmtNext,
                          void *pParam) override;
    STDMETHODIMP SetParam(REFGUID rguidType, DWORD dwGroupBits, DWORD dwIndex, MUSIC_TIME mtTime,
                          void *pParam) override;
    STDMETHODIMP Clone(MUSIC_TIME mtStart, MUSIC_TIME mtEnd, IDirectMusicSegment **ppSegment) override;
    STDMETHODIMP SetStartPoint(MUSIC_TIME mtStart) override;
    STDMETHODIMP GetStartPoint(MUSIC_TIME *pmtStart) override;
    STDMETHODIMP SetLoopPoints(MUSIC_TIME mtStart, MUSIC_TIME mtEnd) override;
    STDMETHODIMP GetLoopPoints(MUSIC_TIME *pmtStart, MUSIC_TIME *pmtEnd) override;
    STDMETHODIMP SetPChannelsUsed(DWORD dwNumPChannels, DWORD *paPChannels) override;
    STDMETHODIMP SetTrackConfig(REFGUID rguidTrackClassID, DWORD dwGroupBits, DWORD dwIndex, DWORD dwFlagsOn,
                                DWORD dwFlagsOff) override;
    STDMETHODIMP GetAudioPathConfig(IUnknown **ppAudioPathConfig) override;
    STDMETHODIMP Compose(MUSIC_TIME mtTime, IDirectMusicSegment *pFromSegment, IDirectMusicSegment *pToSegment,
                         IDirectMusicSegment **ppComposedSegment) override;
    STDMETHODIMP Download(IUnknown *pAudioPath) override;
    STDMETHODIMP Unload(IUnknown *pAudioPath) override;

    tw::sequencer::Segment &Model() { return *m_pModel; }
    MUSIC_TIME TicksToMusic(uint32_t ticks) const;
    uint32_t MusicToTicks(MUSIC_TIME mt) const;

private:
    ~CSegment();
    tw::sequencer::Segment *m_pModel; // owned
    uint32_t m_ticksPerQuarter;
    DWORD m_dwRepeats; // kept for GetRepeats; the segment always plays once
};

// What PlaySegmentEx hands back: the segment it plays and when it started.
class CSegmentState final : public tw::com::ComObject<CSegmentState, IDirectMusicSegmentState8> {
public:
    explicit CSegmentState(CSegment *pSegment);

    // The interface pointer for riid, or null (IUnknown is answered by the template).

    void *InterfaceFor(REFIID riid);

    STDMETHODIMP GetRepeats(DWORD *pdwRepeats) override;
    STDMETHODIMP GetSegment(IDirectMusicSegment **ppSegment) override;
    STDMETHODIMP GetStartTime(MUSIC_TIME *pmtStart) override;
    STDMETHODIMP GetSeek(MUSIC_TIME *pmtSeek) override;
    STDMETHODIMP GetStartPoint(MUSIC_TIME *pmtStart) override;
    STDMETHODIMP SetTrackConfig(REFGUID rguidTrackClassID, DWORD dwGroupBits, DWORD dwIndex, DWORD dwFlagsOn,
                                DWORD dwFlagsOff) override;
    STDMETHODIMP GetObjectInPath(DWORD dwPChannel, DWORD dwStage, DWORD dwBuffer, REFGUID guidObject, DWORD dwIndex,
                                 REFGUID iidInterface, void **ppObject) override;

private:
    ~CSegmentState();
    CSegment *m_pSegment; // referenced
};
