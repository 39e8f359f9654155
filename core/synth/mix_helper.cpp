// MixHelper: signals counted in an atomic; spinning first, yielding next, sleeping last.
#include "mix_helper.h"

#include <system_error>

#if defined(__SSE2__) || defined(__x86_64__) || defined(_M_X64)
#include <emmintrin.h>
#define TW_PAUSE() _mm_pause()
#else
#define TW_PAUSE() ((void)0)
#endif

namespace tw::synth {

namespace {
constexpr int kSpins = 1000;  // pause loops before yielding (some microseconds)
constexpr int kYields = 2000; // yields before sleeping (about a millisecond without a signal)
} // namespace

MixHelper::MixHelper() {
    try {
        thread_ = std::thread(&MixHelper::run, this);
        running_ = true;
    } catch (const std::system_error &) {
        running_ = false;
    }
}

MixHelper::~MixHelper() {
    if (!running_)
        return;
    {
        std::lock_guard<std::mutex> lock(sleepMutex_);
        stopping_.store(true);
    }
    wake_.notify_one();
    thread_.join();
}

void MixHelper::setJob(Job job, void *context) {
    std::lock_guard<std::mutex> lock(jobMutex_);
    job_ = job;
    context_ = context;
}

void MixHelper::signal() {
    signals_.fetch_add(1, std::memory_order_seq_cst);
    if (sleeping_.load(std::memory_order_seq_cst)) {
        { std::lock_guard<std::mutex> lock(sleepMutex_); } // it is between its check and its wait, or waiting
        wake_.notify_one();
    }
}

void MixHelper::sleepUntilSignalled(uint32_t seen) {
    std::unique_lock<std::mutex> lock(sleepMutex_);
    sleeping_.store(true, std::memory_order_seq_cst);
    wake_.wait(lock, [&] { return signals_.load(std::memory_order_seq_cst) != seen || stopping_.load(); });
    sleeping_.store(false, std::memory_order_relaxed);
}

void MixHelper::run() {
    uint32_t seen = 0;
    while (!stopping_.load()) {
        for (int i = 0; signals_.load(std::memory_order_acquire) == seen && !stopping_.load(); ++i) {
            if (i < kSpins)
                TW_PAUSE();
            else if (i < kSpins + kYields)
                std::this_thread::yield();
            else
                sleepUntilSignalled(seen);
        }
        seen = signals_.load(std::memory_order_acquire);
        std::lock_guard<std::mutex> lock(jobMutex_);
        if (job_)
            job_(context_);
    }
}

} // namespace tw::synth
