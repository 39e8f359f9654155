// CConvertPipeline: blocks go round a ring of three, filled on the rendering thread, emptied on the second.
#include "convert_pipeline.h"

#include <new>

#include "pcm16.h"
#include "wet_wait.h"
#include "worker_thread.h"

CConvertPipeline::CConvertPipeline(tw::synth::Synth &synth, CEffectChain &effects)
    : m_synth(synth), m_effects(effects) {}

CConvertPipeline::~CConvertPipeline() {
    Finish();
}

bool CConvertPipeline::Start() {
    const int kCapacity = tw::synth::DryBlock::kCapacity;
    m_slots.reset(new (std::nothrow) Slot[kBlocks]);
    m_afOut.reset(new (std::nothrow) float[2 * kCapacity]);
    m_anPcm.reset(new (std::nothrow) int16_t[2 * kCapacity]);
    if (!m_slots || !m_afOut || !m_anPcm) {
        return false;
    }
    m_synth.setWetThreadHelps(true);
    m_hThread = CreateThread(nullptr, 0, ThreadProc, this, 0, nullptr);
    if (m_hThread == nullptr) {
        m_synth.setWetThreadHelps(false);
    }
    return m_hThread != nullptr;
}

tw::synth::DryBlock &CConvertPipeline::NextBlock() {
    AcquireSRWLockExclusive(&m_lock);
    while (m_nSubmitted - m_nDone == kBlocks) {
        SleepConditionVariableSRW(&m_changed, &m_lock, INFINITE, 0);
    }
    Slot &slot = m_slots[m_nSubmitted % kBlocks];
    ReleaseSRWLockExclusive(&m_lock);
    slot.block.frames = 0;
    return slot.block;
}

void CConvertPipeline::Submit(int64_t rtStart) {
    AcquireSRWLockExclusive(&m_lock);
    m_slots[m_nSubmitted % kBlocks].rtStart = rtStart;
    ++m_nSubmitted;
    ReleaseSRWLockExclusive(&m_lock);
    WakeAllConditionVariable(&m_changed);
}

void CConvertPipeline::Finish() {
    if (m_hThread == nullptr) {
        return;
    }
    AcquireSRWLockExclusive(&m_lock);
    m_bClosing = true;
    ReleaseSRWLockExclusive(&m_lock);
    WakeAllConditionVariable(&m_changed);
    JoinThread(m_hThread);
    m_synth.setWetThreadHelps(false);
}

DWORD WINAPI CConvertPipeline::ThreadProc(LPVOID pParam) {
    static_cast<CConvertPipeline *>(pParam)->Run();
    return 0;
}

void CConvertPipeline::Run() {
    CEffectsThreadCom com;
    bool bCrowded = true;
    for (;;) {
        tw::synth::WaitHelpingVoices(
            m_synth, [&] { return m_nSubmitted.load() != m_nDone || m_bClosing.load(); }, bCrowded);
        AcquireSRWLockExclusive(&m_lock);
        while (m_nDone == m_nSubmitted && !m_bClosing) {
            SleepConditionVariableSRW(&m_changed, &m_lock, INFINITE, 0);
        }
        const bool bEmpty = m_nDone == m_nSubmitted;
        Slot &slot = m_slots[m_nDone % kBlocks];
        ReleaseSRWLockExclusive(&m_lock);
        if (bEmpty) {
            break; // closing, and nothing is left
        }
        RunEffects(slot);
        AcquireSRWLockExclusive(&m_lock);
        ++m_nDone;
        ReleaseSRWLockExclusive(&m_lock);
        WakeAllConditionVariable(&m_changed);
    }
}

void CConvertPipeline::RunEffects(Slot &slot) {
    const int nFrames = slot.block.frames;
    float *pfLeft = m_afOut.get(), *pfRight = pfLeft + tw::synth::DryBlock::kCapacity;
    m_synth.renderWet(slot.block, pfLeft, pfRight);
    if (nFrames > 0) {
        tw::synth::interleavePcm16(pfLeft, pfRight, nFrames, m_anPcm.get());
        m_effects.Process(reinterpret_cast<BYTE *>(m_anPcm.get()), static_cast<DWORD>(nFrames * 4), slot.rtStart);
    }
}
