// WetPipeline: a ring of three dry blocks, filled on the caller's thread and finished on the second one.
#include "wet_pipeline.h"

#include "wet_wait.h"

namespace tw::synth {

WetPipeline::WetPipeline(Synth &synth, Sink sink)
    : synth_(synth), sink_(std::move(sink)), blocks_(new DryBlock[kBlocks]), left_(new float[DryBlock::kCapacity]),
      right_(new float[DryBlock::kCapacity]) {
    synth_.setWetThreadHelps(true);
    thread_ = std::thread(&WetPipeline::run, this);
}

WetPipeline::~WetPipeline() {
    std::string ignored;
    finish(ignored);
}

DryBlock &WetPipeline::next() {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return submitted_ - done_ < kBlocks; });
    DryBlock &block = blocks_[submitted_ % kBlocks];
    block.frames = 0;
    return block;
}

void WetPipeline::submit() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ++submitted_;
    }
    changed_.notify_all();
}

bool WetPipeline::finish(std::string &error) {
    if (thread_.joinable()) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            closing_ = true;
        }
        changed_.notify_all();
        thread_.join();
        synth_.setWetThreadHelps(false);
    }
    error = error_;
    return !failed_;
}

void WetPipeline::run() {
    bool crowded = true;
    for (;;) {
        unsigned index;
        WaitHelpingVoices(
            synth_, [&] { return submitted_.load() != done_ || closing_.load(); }, crowded);
        {
            std::unique_lock<std::mutex> lock(mutex_);
            changed_.wait(lock, [&] { return done_ != submitted_ || closing_; });
            if (done_ == submitted_)
                return;
            index = done_ % kBlocks;
        }
        DryBlock &block = blocks_[index];
        const int frames = block.frames;
        synth_.renderWet(block, left_.get(), right_.get());
        std::string error;
        if (!failed_ && !sink_(left_.get(), right_.get(), frames, error)) {
            failed_ = true;
            error_ = error;
        }
        {
            std::lock_guard<std::mutex> lock(mutex_);
            ++done_;
        }
        changed_.notify_all();
    }
}

} // namespace tw::synth
