// The render tool's second stage: reverb, chorus, limiter and the WAV writer run on a thread of their own, a
// block behind the voices, as a conversion does.
#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "core/synth/synth.h"
#include "tools/render/wav_file.h"

namespace tw::render {

class WetPipeline {
public:
    WetPipeline(synth::Synth &synth, WavWriter &wav);
    ~WetPipeline(); // finishes what was handed on
    WetPipeline(const WetPipeline &) = delete;
    WetPipeline &operator=(const WetPipeline &) = delete;

    // An empty block to fill, once the second thread has freed one.
    synth::DryBlock &next();
    // Hands on the block next() gave, filled.
    void submit();
    // Waits until every block handed on is written; false (and error) when writing failed.
    bool finish(std::string &error);

private:
    static constexpr unsigned kBlocks = 3;
    void run();

    synth::Synth &synth_;
    WavWriter &wav_;
    std::unique_ptr<synth::DryBlock[]> blocks_;
    std::unique_ptr<float[]> left_, right_;
    std::mutex mutex_;
    std::condition_variable changed_;
    unsigned submitted_ = 0, done_ = 0;
    bool closing_ = false, failed_ = false;
    std::string error_;
    std::thread thread_;
};

} // namespace tw::render
