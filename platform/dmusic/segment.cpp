// CSegment: length, repeats and the parameters a General MIDI segment accepts; CSegmentState.
#include "segment.h"

#include "module.h"

namespace {

// Parameters that concern DLS downloads and GM behaviour: the SoundFont synthesizer has every instrument
// already and always plays General MIDI, so each is accepted as done.
bool IsAcceptedParam(REFGUID rguidType) {
    return IsEqualGUID(rguidType, GUID_StandardMIDIFile) || IsEqualGUID(rguidType, GUID_Download) ||
           IsEqualGUID(rguidType, GUID_DownloadToAudioPath) || IsEqualGUID(rguidType, GUID_Unload) ||
           IsEqualGUID(rguidType, GUID_UnloadFromAudioPath) || IsEqualGUID(rguidType, GUID_ConnectToDLSCollection) ||
           IsEqualGUID(rguidType, GUID_Enable_Auto_Download) || IsEqualGUID(rguidType, GUID_Disable_Auto_Download);
}

} // namespace

CSegment::CSegment(tw::sequencer::Segment *pModel, uint32_t ticksPerQuarter)
    : m_pModel(pModel), m_ticksPerQuarter(ticksPerQuarter == 0 ? 1 : ticksPerQuarter), m_dwRepeats(0) {
    ObjectCreated();
}

CSegment::~CSegment() {
    delete m_pModel;
    ObjectDestroyed();
}

void *CSegment::InterfaceFor(REFIID riid) {
    return tw::com::IsAnyOf(riid, {&IID_IDirectMusicSegment, &IID_IDirectMusicSegment8})
               ? static_cast<IDirectMusicSegment8 *>(this)
               : nullptr;
}

STDMETHODIMP CSegment::QueryInterface(REFIID riid, void **ppvObject) {
    if (ppvObject != nullptr && IsEqualIID(riid, IID_ITwSegment)) {
        *ppvObject = this;
        return S_OK;
    }
    return ComObject::QueryInterface(riid, ppvObject);
}

MUSIC_TIME CSegment::TicksToMusic(uint32_t ticks) const {
    return static_cast<MUSIC_TIME>(static_cast<int64_t>(ticks) * DMUS_PPQ / m_ticksPerQuarter);
}

uint32_t CSegment::MusicToTicks(MUSIC_TIME mt) const {
    if (mt <= 0) {
        return 0;
    }
    int64_t ticks = (static_cast<int64_t>(mt) * m_ticksPerQuarter + DMUS_PPQ / 2) / DMUS_PPQ;
    return ticks > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(ticks);
}

STDMETHODIMP CSegment::GetLength(MUSIC_TIME *pmtLength) {
    if (pmtLength == nullptr) {
        return E_POINTER;
    }
    *pmtLength = TicksToMusic(m_pModel->lengthTicks());
    return S_OK;
}

STDMETHODIMP CSegment::GetRepeats(DWORD *pdwRepeats) {
    if (pdwRepeats == nullptr) {
        return E_POINTER;
    }
    *pdwRepeats = m_dwRepeats;
    return S_OK;
}

STDMETHODIMP CSegment::SetRepeats(DWORD dwRepeats) {
    m_dwRepeats = dwRepeats;
    return S_OK;
}

STDMETHODIMP CSegment::GetDefaultResolution(DWORD *pdwResolution) {
    if (pdwResolution == nullptr) {
        return E_POINTER;
    }
    *pdwResolution = 0;
    return S_OK;
}

STDMETHODIMP CSegment::GetParam(REFGUID, DWORD, DWORD, MUSIC_TIME, MUSIC_TIME *, void *) {
    return DMUS_E_GET_UNSUPPORTED;
}

STDMETHODIMP CSegment::SetParam(REFGUID rguidType, DWORD, DWORD, MUSIC_TIME, void *) {
    return IsAcceptedParam(rguidType) ? S_OK : DMUS_E_TRACK_NOT_FOUND;
}

STDMETHODIMP CSegment::Download(IUnknown *) {
    return S_OK;
}

STDMETHODIMP CSegment::Unload(IUnknown *) {
    return S_OK;
}

STDMETHODIMP CSegment::SetLength(MUSIC_TIME) {
    return E_NOTIMPL;
}

STDMETHODIMP CSegment::SetDefaultResolution(DWORD) {
    return E_NOTIMPL;
}

STDMETHODIMP CSegment::GetTrack(REFGUID, DWORD, DWORD, IDirectMusicTrack **) {
    return E_NOTIMPL;
}

STDMETHODIMP CSegment::GetTrackGroup(IDirectMusicTrack *, DWORD *) {
    return E_NOTIMPL;
}

STDMETHODIMP CSegment::InsertTrack(IDirectMusicTrack *, DWORD) {
    return E_NOTIMPL;
}

STDMETHODIMP CSegment::RemoveTrack(IDirectMusicTrack *) {
    return E_NOTIMPL;
}

STDMETHODIMP CSegment::InitPlay(struct IDirectMusicSegmentState **, struct IDirectMusicPerformance *, DWORD) {
    return E_NOTIMPL;
}

STDMETHODIMP CSegment::GetGraph(struct IDirectMusicGraph **) {
    return E_NOTIMPL;
}

STDMETHODIMP CSegment::SetGraph(struct IDirectMusicGraph *) {
    return E_NOTIMPL;
}

STDMETHODIMP CSegment::AddNotificationType(REFGUID) {
    return E_NOTIMPL;
}

STDMETHODIMP CSegment::RemoveNotificationType(REFGUID) {
    return E_NOTIMPL;
}

STDMETHODIMP CSegment::Clone(MUSIC_TIME, MUSIC_TIME, IDirectMusicSegment **) {
    return E_NOTIMPL;
}

STDMETHODIMP CSegment::SetStartPoint(MUSIC_TIME) {
    return E_NOTIMPL;
}

STDMETHODIMP CSegment::GetStartPoint(MUSIC_TIME *) {
    return E_NOTIMPL;
}

STDMETHODIMP CSegment::SetLoopPoints(MUSIC_TIME, MUSIC_TIME) {
    return E_NOTIMPL;
}

STDMETHODIMP CSegment::GetLoopPoints(MUSIC_TIME *, MUSIC_TIME *) {
    return E_NOTIMPL;
}

STDMETHODIMP CSegment::SetPChannelsUsed(DWORD, DWORD *) {
    return E_NOTIMPL;
}

STDMETHODIMP CSegment::SetTrackConfig(REFGUID, DWORD, DWORD, DWORD, DWORD) {
    return E_NOTIMPL;
}

STDMETHODIMP CSegment::GetAudioPathConfig(IUnknown **) {
    return E_NOTIMPL;
}

STDMETHODIMP CSegment::Compose(MUSIC_TIME, IDirectMusicSegment *, IDirectMusicSegment *, IDirectMusicSegment **) {
    return E_NOTIMPL;
}

CSegmentState::CSegmentState(CSegment *pSegment) : m_pSegment(pSegment) {
    m_pSegment->AddRef();
    ObjectCreated();
}

CSegmentState::~CSegmentState() {
    m_pSegment->Release();
    ObjectDestroyed();
}

void *CSegmentState::InterfaceFor(REFIID riid) {
    return tw::com::IsAnyOf(riid, {&IID_IDirectMusicSegmentState, &IID_IDirectMusicSegmentState8})
               ? static_cast<IDirectMusicSegmentState8 *>(this)
               : nullptr;
}

STDMETHODIMP CSegmentState::GetRepeats(DWORD *pdwRepeats) {
    return m_pSegment->GetRepeats(pdwRepeats);
}

STDMETHODIMP CSegmentState::GetSegment(IDirectMusicSegment **ppSegment) {
    if (ppSegment == nullptr) {
        return E_POINTER;
    }
    *ppSegment = m_pSegment;
    m_pSegment->AddRef();
    return S_OK;
}

STDMETHODIMP CSegmentState::GetStartTime(MUSIC_TIME *pmtStart) {
    if (pmtStart == nullptr) {
        return E_POINTER;
    }
    *pmtStart = 0; // the performance's clock starts with the segment
    return S_OK;
}

STDMETHODIMP CSegmentState::GetSeek(MUSIC_TIME *) {
    return E_NOTIMPL;
}

STDMETHODIMP CSegmentState::GetStartPoint(MUSIC_TIME *) {
    return E_NOTIMPL;
}

STDMETHODIMP CSegmentState::SetTrackConfig(REFGUID, DWORD, DWORD, DWORD, DWORD) {
    return E_NOTIMPL;
}

STDMETHODIMP CSegmentState::GetObjectInPath(DWORD, DWORD, DWORD, REFGUID, DWORD, REFGUID, void **) {
    return E_NOTIMPL;
}
