// Threads that share one list of jobs: each takes the next index until none
// is left. The calling thread works too, so jobs N keeps N threads busy.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class work_share {
public:
    // jobs: the threads that work, the caller's included (at least one).
    explicit work_share(unsigned jobs);
    work_share(const work_share&) = delete;
    work_share& operator=(const work_share&) = delete;
    ~work_share();

    unsigned jobs() const { return static_cast<unsigned>(workers_.size()) + 1; }

    // Runs job(i, thread) for every i below count, shared among the threads,
    // and returns when all are done; thread (below jobs()) names the thread,
    // for what each keeps of its own. A job writes only its own slot; an
    // exception it throws is thrown here (the one of the lowest index).
    using job_type = std::function<void(std::size_t index, unsigned thread)>;
    void for_each(std::size_t count, const job_type& job);

    // The same in two halves: start() hands the jobs to the other threads
    // and returns at once, so that the caller can do work of its own beside
    // them; wait() then takes the caller's share of what is left, returns
    // when all are done and throws as for_each. Every start() is followed
    // by a wait() before the next.
    void start(std::size_t count, job_type job);
    void wait();

private:
    void work(unsigned thread);
    void take_jobs(unsigned thread);

    std::vector<std::thread> workers_;
    std::mutex mutex_;
    std::condition_variable started_, finished_;
    job_type job_;
    std::size_t count_ = 0;
    std::size_t next_ = 0;
    std::size_t done_ = 0;
    unsigned long long round_ = 0;
    bool stopping_ = false;
    std::size_t failed_index_ = 0;
    std::exception_ptr failure_;
};

// The jobs a run uses when the command line names none: one per core, capped
// where more threads stop helping (the disk, not the cores, is then the limit).
unsigned default_jobs();
