#include "agent/WorkerThreads.h"

#include <exception>

namespace tryzone
{

WorkerThreads::WorkerThreads(int count)
{
    for (int index = 1; index < count; ++index)
    {
        threads.emplace_back([this, index] { Serve(index); });
    }
}

WorkerThreads::~WorkerThreads()
{
    {
        std::lock_guard lock(mutex);
        stopping = true;
    }
    wake.notify_all();
    for (std::thread& thread : threads)
    {
        thread.join();
    }
}

void WorkerThreads::Run(const std::function<void(int)>& job)
{
    {
        std::lock_guard lock(mutex);
        current = &job;
        pending = static_cast<int>(threads.size());
        failure = nullptr;
        ++generation;
    }
    wake.notify_all();
    std::exception_ptr mine;
    try
    {
        job(0);
    }
    catch (...)
    {
        mine = std::current_exception();
    }
    std::unique_lock lock(mutex);
    done.wait(lock, [this] { return pending == 0; });
    current = nullptr;
    if (mine || failure)
    {
        std::rethrow_exception(mine ? mine : failure);
    }
}

void WorkerThreads::Serve(int index)
{
    std::uint64_t seen = 0;
    for (;;)
    {
        const std::function<void(int)>* job = nullptr;
        {
            std::unique_lock lock(mutex);
            wake.wait(lock, [this, seen] { return stopping || generation != seen; });
            if (stopping)
            {
                return;
            }
            seen = generation;
            job = current;
        }
        std::exception_ptr thrown;
        try
        {
            (*job)(index);
        }
        catch (...)
        {
            thrown = std::current_exception();
        }
        std::lock_guard lock(mutex);
        if (thrown && !failure)
        {
            failure = thrown;
        }
        if (--pending == 0)
        {
            done.notify_one();
        }
    }
}

} // namespace tryzone
