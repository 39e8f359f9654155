// A second thread that helps with a synth's voice work: whenever it is signalled it runs its job, which takes
// whatever parts of the current pass are still unclaimed. Nobody waits for it to start, so a helper that is slow
// to get a processor costs nothing but the work it does not do. Meant for rendering faster than real time
// (conversions, the render tool); it spins a little, then yields, then sleeps when no signal comes.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

namespace tw::synth {

class MixHelper {
public:
    using Job = void (*)(void *context);

    MixHelper();
    ~MixHelper(); // ends the thread
    MixHelper(const MixHelper &) = delete;
    MixHelper &operator=(const MixHelper &) = delete;

    // False when the thread could not be started.
    bool running() const { return running_; }
    // The job to run on every signal (null: none); returns once the previous job is no longer running.
    void setJob(Job job, void *context);
    // Asks for one more run of the job; cheap unless the helper sleeps.
    void signal();

private:
    void run();
    void sleepUntilSignalled(uint32_t seen);

    Job job_ = nullptr;
    void *context_ = nullptr;
    std::mutex jobMutex_; // held by the helper while it runs the job, and by setJob()
    std::atomic<uint32_t> signals_{0};
    std::atomic<bool> sleeping_{false}, stopping_{false};
    std::mutex sleepMutex_; // only for falling asleep and waking up
    std::condition_variable wake_;
    std::thread thread_;
    bool running_ = false;
};

} // namespace tw::synth
