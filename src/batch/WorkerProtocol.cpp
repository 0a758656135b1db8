#include "batch/WorkerProtocol.h"

#include <array>
#include <cerrno>
#include <ostream>
#include <streambuf>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

bool SendAll(int fd, const void* data, std::size_t size)
{
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0)
    {
        // No SIGPIPE: a peer that is gone is an error to report, not a reason to die.
        const ssize_t sent = send(fd, bytes, size, MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR)
        {
            continue;
        }
        if (sent <= 0)
        {
            return false;
        }
        bytes += sent;
        size -= static_cast<std::size_t>(sent);
    }
    return true;
}

bool ReadAll(int fd, void* data, std::size_t size)
{
    auto* bytes = static_cast<char*>(data);
    while (size > 0)
    {
        const ssize_t got = read(fd, bytes, size);
        if (got < 0 && errno == EINTR)
        {
            continue;
        }
        if (got <= 0)
        {
            return false;
        }
        bytes += got;
        size -= static_cast<std::size_t>(got);
    }
    return true;
}

namespace
{
// In a worker, everything goes through here; a parent that is gone ends the worker.
void Send(int fd, Kind kind, int task, const void* payload, std::size_t size)
{
    Header header{};
    header.kind = kind;
    header.task = task;
    header.size = size;
    if (!SendAll(fd, &header, sizeof header) || !SendAll(fd, payload, size))
    {
        _exit(1);
    }
}

// A task's event log, sent to the parent in pieces as it is written.
class EventPipe : public std::streambuf
{
public:
    EventPipe(int socket, int taskNumber) : fd(socket), task(taskNumber)
    {
        setp(buffer.data(), buffer.data() + buffer.size());
    }

protected:
    int_type overflow(int_type c) override
    {
        sync();
        if (!traits_type::eq_int_type(c, traits_type::eof()))
        {
            *pptr() = traits_type::to_char_type(c);
            pbump(1);
        }
        return traits_type::not_eof(c);
    }

    int sync() override
    {
        if (pptr() > pbase())
        {
            Send(fd, Kind::Events, task, pbase(), static_cast<std::size_t>(pptr() - pbase()));
            setp(buffer.data(), buffer.data() + buffer.size());
        }
        return 0;
    }

private:
    int fd;
    int task;
    std::array<char, 65536> buffer{};
};

} // namespace

[[noreturn]] void Work(int fd, const WorkerPlan& plan)
{
    for (;;)
    {
        std::int32_t task = -1;
        if (!ReadAll(fd, &task, sizeof task) || task < 0)
        {
            // Never exit(): the parent's buffers and objects are not ours to flush or destroy.
            _exit(0);
        }
        EventPipe pipe(fd, task);
        std::ostream events(&pipe);
        const auto progress = [fd, task](std::int64_t frames)
        { Send(fd, Kind::Progress, task, &frames, sizeof frames); };
        const std::string outcome = plan.play(task, plan.events != nullptr ? &events : nullptr, progress);
        events.flush();
        Send(fd, Kind::Done, task, outcome.data(), outcome.size());
    }
}
