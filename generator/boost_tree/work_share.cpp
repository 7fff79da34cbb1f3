#include "work_share.h"

#include <algorithm>
#include <utility>

work_share::work_share(unsigned jobs)
{
    for (unsigned i = 1; i < jobs; ++i)
        workers_.emplace_back([this, i] { work(i); });
}

work_share::~work_share()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    started_.notify_all();
    for (std::thread& worker : workers_)
        worker.join();
}

void work_share::take_jobs(unsigned thread)
{
    // Indices are handed out one at a time under the lock: a job reads and
    // writes a file, so the lock is never what the threads wait for.
    std::unique_lock<std::mutex> lock(mutex_);
    while (next_ < count_) {
        const std::size_t index = next_++;
        lock.unlock();
        std::exception_ptr thrown;
        try {
            job_(index, thread);
        } catch (...) {
            thrown = std::current_exception();
        }
        lock.lock();
        if (thrown && (!failure_ || index < failed_index_)) {
            failure_ = thrown;
            failed_index_ = index;
        }
        if (++done_ == count_)
            finished_.notify_all();
    }
}

void work_share::work(unsigned thread)
{
    unsigned long long seen = 0;
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(mutex_);
            started_.wait(lock, [&] { return stopping_ || round_ != seen; });
            if (stopping_)
                return;
            seen = round_;
        }
        take_jobs(thread);
    }
}

void work_share::for_each(std::size_t count, const job_type& job)
{
    start(count, job);
    wait();
}

void work_share::start(std::size_t count, job_type job)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        job_ = std::move(job);
        count_ = count;
        next_ = done_ = 0;
        failure_ = nullptr;
        ++round_;
    }
    if (count > 0)
        started_.notify_all();
}

void work_share::wait()
{
    if (count_ == 0)
        return;
    take_jobs(0);
    std::unique_lock<std::mutex> lock(mutex_);
    finished_.wait(lock, [&] { return done_ == count_; });
    // A worker may still hold the old job until it takes the lock again:
    // with next_ == count_ it takes nothing more.
    count_ = 0;
    next_ = 0;
    if (failure_)
        std::rethrow_exception(std::exchange(failure_, nullptr));
}

unsigned default_jobs()
{
    return std::clamp(std::thread::hardware_concurrency(), 1u, 8u);
}
