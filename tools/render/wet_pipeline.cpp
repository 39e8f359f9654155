// WetPipeline: a ring of three dry blocks, filled on the caller's thread and finished on the second one.
#include "tools/render/wet_pipeline.h"

namespace tw::render {

WetPipeline::WetPipeline(synth::Synth &synth, WavWriter &wav)
    : synth_(synth), wav_(wav), blocks_(new synth::DryBlock[kBlocks]), left_(new float[synth::DryBlock::kCapacity]),
      right_(new float[synth::DryBlock::kCapacity]), thread_(&WetPipeline::run, this) {}

WetPipeline::~WetPipeline() {
    std::string ignored;
    finish(ignored);
}

synth::DryBlock &WetPipeline::next() {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return submitted_ - done_ < kBlocks; });
    synth::DryBlock &block = blocks_[submitted_ % kBlocks];
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
    }
    error = error_;
    return !failed_;
}

void WetPipeline::run() {
    for (;;) {
        unsigned index;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            changed_.wait(lock, [&] { return done_ != submitted_ || closing_; });
            if (done_ == submitted_)
                return;
            index = done_ % kBlocks;
        }
        synth::DryBlock &block = blocks_[index];
        const int frames = block.frames;
        synth_.renderWet(block, left_.get(), right_.get());
        std::string error;
        if (!failed_ && !wav_.write(left_.get(), right_.get(), frames, error)) {
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

} // namespace tw::render
