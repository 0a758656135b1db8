#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace tryzone
{

// A fixed team of threads that run one job together and wait for the next: job(0) runs on the caller, job(1) ..
// job(count - 1) on the team's threads. Each thread keeps to its own share, so nothing is locked inside a job.
class WorkerThreads
{
public:
    explicit WorkerThreads(int count);
    WorkerThreads(const WorkerThreads&) = delete;
    WorkerThreads& operator=(const WorkerThreads&) = delete;
    ~WorkerThreads();

    [[nodiscard]] int Count() const { return static_cast<int>(threads.size()) + 1; }
    // Returns once every share is done; the first exception a share threw is thrown again here.
    void Run(const std::function<void(int)>& job);

private:
    void Serve(int index);

    std::vector<std::thread> threads;
    std::mutex mutex;
    std::condition_variable wake;
    std::condition_variable done;
    const std::function<void(int)>* current = nullptr;
    std::uint64_t generation = 0;
    int pending = 0;
    bool stopping = false;
    std::exception_ptr failure;
};

} // namespace tryzone
