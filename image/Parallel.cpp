#include "Parallel.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

namespace {

std::atomic<int> g_workerCount{0};

// Threads started once and kept waiting for bands: starting a thread costs
// tens of microseconds, about what a band of a small picture takes, so a
// fresh thread each call ate the gain of splitting.
//
// One job runs at a time. A call that finds the pool busy (another thread's
// job, or a band that splits again) does all its bands itself, which gives
// the same result since bands never depend on each other.
class CWorkerPool {
public:
    static CWorkerPool& Instance() {
        // Never destroyed: workers still waiting at exit must find it alive.
        static CWorkerPool* const pool = new CWorkerPool;
        return *pool;
    }

    // Runs band(0) ... band(bands - 1), on the calling thread and up to
    // bands - 1 workers. False when the pool is busy and nothing was run.
    bool Run(int bands, const std::function<void(int)>& band) {
        if (running_.exchange(true, std::memory_order_acquire)) return false;
        const int helpers = GrowTo(bands - 1);
        {
            const std::lock_guard<std::mutex> guard(lock_);
            job_ = &band;
            bandCount_ = bands;
            nextBand_ = 0;
            busyHelpers_ = helpers;
            wantedHelpers_ = helpers;
            failure_ = nullptr;
            ++generation_;
        }
        wake_.notify_all();
        TakeBands();
        std::exception_ptr failure;
        {
            std::unique_lock<std::mutex> guard(lock_);
            // Every band is taken: workers not yet awake stay asleep.
            busyHelpers_ -= wantedHelpers_;
            wantedHelpers_ = 0;
            done_.wait(guard, [this] { return busyHelpers_ == 0; });
            job_ = nullptr;
            failure = std::exchange(failure_, nullptr);
        }
        running_.store(false, std::memory_order_release);
        if (failure) std::rethrow_exception(failure);
        return true;
    }

private:
    // Starts workers until `count` are there (fewer when the system has no
    // thread to give); returns how many there are.
    int GrowTo(int count) {
        for (; workers_ < count; ++workers_) {
            try {
                std::thread([this] { WorkerLoop(); }).detach();
            } catch (const std::system_error&) {
                break;
            }
        }
        return std::min(count, workers_);
    }

    // Claims bands until none are left; the first exception is kept for the
    // caller.
    void TakeBands() {
        for (int band = nextBand_++; band < bandCount_; band = nextBand_++) {
            try {
                (*job_)(band);
            } catch (...) {
                const std::lock_guard<std::mutex> guard(lock_);
                if (!failure_) failure_ = std::current_exception();
            }
        }
    }

    void WorkerLoop() {
        unsigned seen = 0;
        for (;;) {
            {
                std::unique_lock<std::mutex> guard(lock_);
                wake_.wait(guard, [&] { return generation_ != seen && wantedHelpers_ > 0; });
                seen = generation_;
                --wantedHelpers_;
            }
            TakeBands();
            const std::lock_guard<std::mutex> guard(lock_);
            if (--busyHelpers_ == 0) done_.notify_one();
        }
    }

    std::atomic<bool> running_{false};  // a job is on
    int workers_ = 0;                   // started, never stopped
    std::mutex lock_;                   // guards what follows
    std::condition_variable wake_, done_;
    const std::function<void(int)>* job_ = nullptr;
    int bandCount_ = 0;
    std::atomic<int> nextBand_{0};
    int wantedHelpers_ = 0;  // workers still to join the job
    int busyHelpers_ = 0;    // workers that have not finished with it
    unsigned generation_ = 0;
    std::exception_ptr failure_;
};

}  // namespace

void SetWorkerCount(int count) { g_workerCount = std::max(count, 0); }

int GetWorkerCount() {
    const int set = g_workerCount;
    if (set > 0) return set;
    // Asked once: the C library reads the count from a system file each
    // time, which cost more than a small step's whole work.
    static const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    return cores;
}

void ParallelRows(int begin, int end, int minRowsPerBand,
                  const std::function<void(int, int)>& body) {
    const int rows = end - begin;
    if (rows <= 0) return;
    const int bands = std::clamp(rows / std::max(minRowsPerBand, 1), 1, GetWorkerCount());
    auto bandStart = [&](int band) {
        return begin + static_cast<int>(static_cast<long long>(rows) * band / bands);
    };
    const std::function<void(int)> band = [&](int b) { body(bandStart(b), bandStart(b + 1)); };
    if (bands > 1 && CWorkerPool::Instance().Run(bands, band)) return;
    for (int b = 0; b < bands; ++b) band(b);
}
