// Converting on two threads: the rendering thread mixes the voices of one block while a second thread runs the
// previous block's reverb, chorus, limiter and the buffer's effects (the recording among them). Between blocks
// the second thread takes a share of a crowded piece's voices.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>

#include "effect_chain.h"
#include "core/synth/synth.h"

class CConvertPipeline {
public:
    // Frames a block is filled to before it is handed on; the block's headroom takes what a render call
    // may mix past that.
    static const int kFillFrames = 4096;
    // A block is filled while it holds at most kFillFrames - one render call, and a render call may mix one
    // control block past what it delivers: what a block cannot hold the synthesizer would drop unheard.
    static_assert(kFillFrames + tw::synth::Synth::kBlockFrames <= tw::synth::DryBlock::kCapacity,
                  "a filled block fits the synthesizer's dry block");

    CConvertPipeline(tw::synth::Synth &synth, CEffectChain &effects);
    ~CConvertPipeline();
    CConvertPipeline(const CConvertPipeline &) = delete;
    CConvertPipeline &operator=(const CConvertPipeline &) = delete;

    // Allocates the blocks and starts the second thread; false when it cannot (the caller converts alone).
    bool Start();
    // An empty block to fill, once the second thread has freed one.
    tw::synth::DryBlock &NextBlock();
    // Hands on the block NextBlock() gave, filled; rtStart is the reference time of its first frame.
    void Submit(int64_t rtStart);
    // Waits until every block handed on has been through the effects, and ends the second thread.
    void Finish();

private:
    static const unsigned kBlocks = 3;
    struct Slot {
        tw::synth::DryBlock block;
        int64_t rtStart;
    };

    static DWORD WINAPI ThreadProc(LPVOID pParam);
    void Run();
    void RunEffects(Slot &slot);

    tw::synth::Synth &m_synth;
    CEffectChain &m_effects;
    std::unique_ptr<Slot[]> m_slots;
    std::unique_ptr<float[]> m_afOut; // the second thread's output: left, then right
    std::unique_ptr<int16_t[]> m_anPcm;
    HANDLE m_hThread = nullptr;
    SRWLOCK m_lock = SRWLOCK_INIT; // guards the counts below; held only to change or test them
    CONDITION_VARIABLE m_changed = CONDITION_VARIABLE_INIT;
    std::atomic<unsigned> m_nSubmitted{0}; // read without the lock while the second thread mixes voices
    unsigned m_nDone = 0;
    std::atomic<bool> m_bClosing{false};
};
