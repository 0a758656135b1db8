#include "pool/WorkerProtocol.h"

#include <array>
#include <cerrno>
#include <ostream>
#include <streambuf>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

namespace tryzone
{

WireWriter& WireWriter::PutText(std::string_view text)
{
    Put(static_cast<std::uint64_t>(text.size()));
    bytes.append(text);
    return *this;
}

WireReader& WireReader::GetText(std::string& text)
{
    std::uint64_t size = 0;
    Get(size);
    if (ok && Left() >= size)
    {
        text.assign(bytes.substr(read, size));
        read += size;
    }
    else
    {
        ok = false;
    }
    return *this;
}

std::string Frame(Kind kind, std::int32_t task, std::string_view payload)
{
    WireWriter out;
    out.Put(kind).Put(task).Put(static_cast<std::uint64_t>(payload.size()));
    std::string bytes = out.Take();
    bytes.append(payload);
    return bytes;
}

Framed NextMessage(std::string_view input, int tasks)
{
    constexpr std::size_t kHeader = sizeof(Kind) + sizeof(std::int32_t) + sizeof(std::uint64_t);
    Framed framed;
    Message message;
    std::uint64_t size = 0;
    WireReader header(input);
    if (!header.Get(message.kind).Get(message.task).Get(size).Ok())
    {
        return framed; // not yet a whole header
    }
    const char kind = static_cast<char>(message.kind);
    if (message.kind != Kind::Progress && message.kind != Kind::Events && message.kind != Kind::Done)
    {
        framed.corrupt = "a message of unknown kind " + std::to_string(static_cast<unsigned char>(kind));
    }
    else if (message.task < 0 || message.task >= tasks)
    {
        framed.corrupt =
            "a message for task " + std::to_string(message.task) + ", not one of the run's " + std::to_string(tasks);
    }
    else if (size > kMostPayload || (message.kind == Kind::Progress && size != sizeof(std::int64_t)))
    {
        framed.corrupt = "a message of " + std::to_string(size) + " bytes, too long for its kind";
    }
    else if (header.Left() >= size)
    {
        message.payload = input.substr(kHeader, size);
        framed.message = message;
        framed.used = kHeader + size;
    }
    return framed;
}

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
// In a worker, everything goes through here; false when the parent is gone.
bool TrySend(int fd, Kind kind, int task, const void* payload, std::size_t size)
{
    const std::string message = Frame(kind, task, std::string_view(static_cast<const char*>(payload), size));
    return SendAll(fd, message.data(), message.size());
}

// A parent that is gone ends the worker.
void Send(int fd, Kind kind, int task, const void* payload, std::size_t size)
{
    if (!TrySend(fd, kind, task, payload, size))
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
        if (sync() != 0)
        {
            return traits_type::eof();
        }
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
            // A parent that is gone fails the stream; the worker's loop ends the worker.
            if (!TrySend(fd, Kind::Events, task, pbase(), static_cast<std::size_t>(pptr() - pbase())))
            {
                return -1;
            }
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
        if (task >= plan.tasks)
        {
            _exit(2); // not a task of this run: the parent sees the worker end and reports it
        }
        EventPipe pipe(fd, task);
        std::ostream events(&pipe);
        const auto progress = [fd, task](std::int64_t frames)
        { Send(fd, Kind::Progress, task, &frames, sizeof frames); };
        const std::string outcome = plan.play(task, plan.events != nullptr ? &events : nullptr, progress);
        events.flush();
        if (events.bad())
        {
            _exit(1);
        }
        Send(fd, Kind::Done, task, outcome.data(), outcome.size());
    }
}

} // namespace tryzone
