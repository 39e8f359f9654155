// CEffectChain: creating effects through COM, giving them the buffer's format, and running them per block.
#include "effect_chain.h"

#include <dmusici.h>

namespace {

// Media types of uncompressed audio described by a WAVEFORMATEX.
// {73647561-0000-0010-8000-00AA00389B71}
const GUID kMediaTypeAudio = {0x73647561, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
// {00000001-0000-0010-8000-00AA00389B71}
const GUID kMediaSubtypePcm = {0x00000001, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
// {05589F81-C356-11CE-BF01-00AA0055595A}
const GUID kFormatWaveFormatEx = {0x05589f81, 0xc356, 0x11ce, {0xbf, 0x01, 0x00, 0xaa, 0x00, 0x55, 0x59, 0x5a}};

void ReleaseEffect(IMediaObject *pObject, IMediaObjectInPlace *pInPlace) {
    if (pInPlace != nullptr) {
        pInPlace->Release();
    }
    if (pObject != nullptr) {
        pObject->Release();
    }
}

} // namespace

HRESULT CEffectChain::Create(const DSEFFECTDESC &desc, const WAVEFORMATEX &format, Effect &effect) {
    effect = Effect();
    IMediaObject *pObject = nullptr;
    HRESULT hr = CoCreateInstance(desc.guidDSFXClass, nullptr, CLSCTX_INPROC_SERVER, IID_IMediaObject,
                                  reinterpret_cast<void **>(&pObject));
    if (FAILED(hr)) {
        return hr;
    }
    WAVEFORMATEX wfx = format;
    DMO_MEDIA_TYPE mt = {};
    mt.majortype = kMediaTypeAudio;
    mt.subtype = kMediaSubtypePcm;
    mt.bFixedSizeSamples = TRUE;
    mt.lSampleSize = format.nBlockAlign;
    mt.formattype = kFormatWaveFormatEx;
    mt.cbFormat = sizeof(WAVEFORMATEX);
    mt.pbFormat = reinterpret_cast<BYTE *>(&wfx);
    IMediaObjectInPlace *pInPlace = nullptr;
    hr = pObject->SetInputType(0, &mt, 0);
    if (SUCCEEDED(hr)) {
        hr = pObject->SetOutputType(0, &mt, 0);
    }
    if (SUCCEEDED(hr)) {
        hr = pObject->QueryInterface(IID_IMediaObjectInPlace, reinterpret_cast<void **>(&pInPlace));
    }
    if (SUCCEEDED(hr)) {
        pObject->AllocateStreamingResources(); // optional for an effect; its answer does not matter
        effect.clsid = desc.guidDSFXClass;
        effect.pObject = pObject;
        effect.pInPlace = pInPlace;
        return S_OK;
    }
    ReleaseEffect(pObject, pInPlace);
    return hr;
}

HRESULT CEffectChain::Set(DWORD dwCount, const DSEFFECTDESC *pDescs, DWORD *pdwResultCodes,
                          const WAVEFORMATEX &format) {
    Clear();
    if (dwCount == 0) {
        return S_OK;
    }
    if (pDescs == nullptr) {
        return DSERR_INVALIDPARAM;
    }
    if (dwCount > kMaxEffects) {
        return DSERR_INVALIDPARAM;
    }
    HRESULT hr = S_OK;
    for (DWORD i = 0; i < dwCount; ++i) {
        if (pdwResultCodes != nullptr) {
            pdwResultCodes[i] = DSFXR_UNKNOWN;
        }
        if (SUCCEEDED(hr) && pDescs[i].dwSize >= sizeof(DSEFFECTDESC)) {
            hr = Create(pDescs[i], format, m_aEffects[m_cEffects]);
            if (SUCCEEDED(hr)) {
                ++m_cEffects;
                if (pdwResultCodes != nullptr) {
                    pdwResultCodes[i] = DSFXR_LOCSOFTWARE;
                }
            }
        } else if (SUCCEEDED(hr)) {
            hr = DSERR_INVALIDPARAM;
        }
    }
    if (FAILED(hr)) {
        Clear();
        return hr == DSERR_INVALIDPARAM ? hr : DSERR_FXUNAVAILABLE;
    }
    return S_OK;
}

void CEffectChain::Clear() {
    while (m_cEffects > 0) {
        --m_cEffects;
        ReleaseEffect(m_aEffects[m_cEffects].pObject, m_aEffects[m_cEffects].pInPlace);
        m_aEffects[m_cEffects] = Effect();
    }
}

void CEffectChain::Process(BYTE *pbData, DWORD cbData, REFERENCE_TIME rtStart) {
    for (DWORD i = 0; i < m_cEffects; ++i) {
        m_aEffects[i].pInPlace->Process(cbData, pbData, rtStart, DMO_INPLACE_NORMAL);
    }
}

HRESULT CEffectChain::GetEffect(REFGUID rguidObject, DWORD dwIndex, REFIID riid, void **ppv) {
    DWORD dwSeen = 0;
    for (DWORD i = 0; i < m_cEffects; ++i) {
        if (IsEqualGUID(rguidObject, GUID_All_Objects) || IsEqualGUID(rguidObject, m_aEffects[i].clsid)) {
            if (dwSeen++ == dwIndex) {
                return m_aEffects[i].pObject->QueryInterface(riid, ppv);
            }
        }
    }
    return DMUS_E_NOT_FOUND;
}
