// The effects on an audio path's buffer: DirectX Media Objects processing each rendered block in place.
#pragma once

#include <windows.h>

#include <dsound.h>
#include <mediaobj.h>

class CEffectChain {
public:
    static const DWORD kMaxEffects = 8;

    CEffectChain() = default;
    ~CEffectChain() { Clear(); }
    CEffectChain(const CEffectChain &) = delete;
    CEffectChain &operator=(const CEffectChain &) = delete;

    // Creates every effect described and sets its input and output types to format; on any failure
    // none is kept. pdwResultCodes (optional) gets one DSFXR_ code per description.
    HRESULT Set(DWORD dwCount, const DSEFFECTDESC *pDescs, DWORD *pdwResultCodes, const WAVEFORMATEX &format);
    void Clear();
    bool Empty() const { return m_cEffects == 0; }

    // Runs the block (interleaved samples of the set format) through every effect in order.
    // Rendering thread; the chain does not change while a segment plays.
    void Process(BYTE *pbData, DWORD cbData, REFERENCE_TIME rtStart);

    // The effect at dwIndex among those of class rguidObject (GUID_All_Objects: any), as riid.
    HRESULT GetEffect(REFGUID rguidObject, DWORD dwIndex, REFIID riid, void **ppv);

private:
    struct Effect {
        GUID clsid;
        IMediaObject *pObject;
        IMediaObjectInPlace *pInPlace;
    };
    static HRESULT Create(const DSEFFECTDESC &desc, const WAVEFORMATEX &format, Effect &effect);

    Effect m_aEffects[kMaxEffects] = {};
    DWORD m_cEffects = 0;
};
