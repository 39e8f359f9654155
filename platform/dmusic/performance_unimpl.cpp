// CPerformance: the methods of IDirectMusicPerformance8 the stand-in does not offer.
#include "performance.h"

STDMETHODIMP CPerformance::GetSegmentState(IDirectMusicSegmentState **, MUSIC_TIME) {
    return E_NOTIMPL;
}

STDMETHODIMP CPerformance::SetPrepareTime(DWORD) {
    return E_NOTIMPL;
}

STDMETHODIMP CPerformance::GetPrepareTime(DWORD *) {
    return E_NOTIMPL;
}

STDMETHODIMP CPerformance::SetBumperLength(DWORD) {
    return E_NOTIMPL;
}

STDMETHODIMP CPerformance::GetBumperLength(DWORD *) {
    return E_NOTIMPL;
}

STDMETHODIMP CPerformance::SetGraph(struct IDirectMusicGraph *) {
    return E_NOTIMPL;
}

STDMETHODIMP CPerformance::AddPort(IDirectMusicPort *) {
    return E_NOTIMPL;
}

STDMETHODIMP CPerformance::RemovePort(IDirectMusicPort *) {
    return E_NOTIMPL;
}

STDMETHODIMP CPerformance::AssignPChannelBlock(DWORD, IDirectMusicPort *, DWORD) {
    return E_NOTIMPL;
}

STDMETHODIMP CPerformance::AssignPChannel(DWORD, IDirectMusicPort *, DWORD, DWORD) {
    return E_NOTIMPL;
}

STDMETHODIMP CPerformance::PChannelInfo(DWORD, IDirectMusicPort **, DWORD *, DWORD *) {
    return E_NOTIMPL;
}

STDMETHODIMP CPerformance::DownloadInstrument(IDirectMusicInstrument *, DWORD, IDirectMusicDownloadedInstrument **,
                                              DMUS_NOTERANGE *, DWORD, IDirectMusicPort **, DWORD *, DWORD *) {
    return E_NOTIMPL;
}

STDMETHODIMP CPerformance::Invalidate(MUSIC_TIME, DWORD) {
    return E_NOTIMPL;
}

STDMETHODIMP CPerformance::GetParam(REFGUID, DWORD, DWORD, MUSIC_TIME, MUSIC_TIME *, void *) {
    return E_NOTIMPL;
}

STDMETHODIMP CPerformance::SetParam(REFGUID, DWORD, DWORD, MUSIC_TIME, void *) {
    return E_NOTIMPL;
}

STDMETHODIMP CPerformance::AdjustTime(REFERENCE_TIME) {
    return E_NOTIMPL;
}

STDMETHODIMP CPerformance::GetResolvedTime(REFERENCE_TIME, REFERENCE_TIME *, DWORD) {
    return E_NOTIMPL;
}

STDMETHODIMP CPerformance::MIDIToMusic(BYTE, DMUS_CHORD_KEY *, BYTE, BYTE, WORD *) {
    return E_NOTIMPL;
}

STDMETHODIMP CPerformance::MusicToMIDI(WORD, DMUS_CHORD_KEY *, BYTE, BYTE, BYTE *) {
    return E_NOTIMPL;
}

STDMETHODIMP CPerformance::TimeToRhythm(MUSIC_TIME, DMUS_TIMESIGNATURE *, WORD *, BYTE *, BYTE *, short *) {
    return E_NOTIMPL;
}

STDMETHODIMP CPerformance::RhythmToTime(WORD, BYTE, BYTE, short, DMUS_TIMESIGNATURE *, MUSIC_TIME *) {
    return E_NOTIMPL;
}

STDMETHODIMP CPerformance::ClonePMsg(DMUS_PMSG *, DMUS_PMSG **) {
    return E_NOTIMPL;
}

STDMETHODIMP CPerformance::CreateAudioPath(IUnknown *, WINBOOL, IDirectMusicAudioPath **) {
    return E_NOTIMPL;
}

STDMETHODIMP CPerformance::SetDefaultAudioPath(IDirectMusicAudioPath *) {
    return E_NOTIMPL;
}

STDMETHODIMP CPerformance::GetDefaultAudioPath(IDirectMusicAudioPath **) {
    return E_NOTIMPL;
}

STDMETHODIMP CPerformance::GetParamEx(REFGUID, DWORD, DWORD, DWORD, MUSIC_TIME, MUSIC_TIME *, void *) {
    return E_NOTIMPL;
}
