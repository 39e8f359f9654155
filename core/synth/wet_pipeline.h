// Rendering faster than real time on two threads: the caller's thread fills dry blocks with the voices, and a
// thread of this pipeline runs their reverb, chorus and limiter a block behind, hands the frames to a sink, and
// between the blocks takes a share of a crowded piece's voices.
#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "synth.h"

namespace tw::synth {

class WetPipeline {
public:
    // Takes the finished frames of each block in order, on the pipeline's thread; false (and an error text) ends
    // the writing, and finish() then reports it.
    using Sink = std::function<bool(const float *left, const float *right, int frames, std::string &error)>;

    WetPipeline(Synth &synth, Sink sink);
    ~WetPipeline(); // finishes what was handed on
    WetPipeline(const WetPipeline &) = delete;
    WetPipeline &operator=(const WetPipeline &) = delete;

    // An empty block to fill, once the second thread has freed one.
    DryBlock &next();
    // Hands on the block next() gave, filled.
    void submit();
    // Waits until every block handed on is in the sink, and ends the thread; false (and error) when the sink failed.
    bool finish(std::string &error);

private:
    static constexpr unsigned kBlocks = 3;
    void run();

    Synth &synth_;
    Sink sink_;
    std::unique_ptr<DryBlock[]> blocks_;
    std::unique_ptr<float[]> left_, right_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::atomic<unsigned> submitted_{0}; // changed under mutex_, read without it while waiting
    unsigned done_ = 0;
    std::atomic<bool> closing_{false};
    bool failed_ = false;
    std::string error_;
    std::thread thread_;
};

} // namespace tw::synth
