#pragma once

#include "pool/Workers.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

namespace tryzone
{

// The messages between the parent and its workers over a socket pair. The parent sends a task number (a negative
// one ends the worker); a worker answers with messages, each a header and a payload of the header's size. Both
// sides are the same program, so values travel in the machine's own layout; the reader still checks every length,
// since a stream can be cut or garbled.
enum class Kind : char
{
    Progress = 'P', // payload: frames played of the task so far
    Events = 'E',   // payload: the next piece of the task's event log
    Done = 'D',     // payload: the task's outcome
};

// Values written one after another, framing and payloads alike.
class WireWriter
{
public:
    template <class T> WireWriter& Put(const T& value)
    {
        static_assert(std::is_trivially_copyable_v<T>);
        bytes.append(reinterpret_cast<const char*>(&value), sizeof value);
        return *this;
    }
    // A length, then the bytes.
    WireWriter& PutText(std::string_view text);

    [[nodiscard]] const std::string& Bytes() const { return bytes; }
    [[nodiscard]] std::string Take() { return std::move(bytes); }

private:
    std::string bytes;
};

// Reads back what WireWriter wrote; every read is checked against what is left, and a failed one leaves the reader
// failed, so a run of reads can be checked once at the end.
class WireReader
{
public:
    explicit WireReader(std::string_view input) : bytes(input) {}

    template <class T> WireReader& Get(T& value)
    {
        static_assert(std::is_trivially_copyable_v<T>);
        if (ok && bytes.size() - read >= sizeof value)
        {
            std::memcpy(&value, bytes.data() + read, sizeof value);
            read += sizeof value;
        }
        else
        {
            ok = false;
        }
        return *this;
    }
    WireReader& GetText(std::string& text);

    [[nodiscard]] bool Ok() const { return ok; }
    // Every read succeeded and every byte was read.
    [[nodiscard]] bool Whole() const { return ok && read == bytes.size(); }
    [[nodiscard]] std::size_t Left() const { return bytes.size() - read; }

private:
    std::string_view bytes;
    std::size_t read = 0;
    bool ok = true;
};

// A worker's message: the header, then `size` bytes of payload.
struct Message
{
    Kind kind = Kind::Done;
    std::int32_t task = -1;
    std::string_view payload;
};

// No message is larger: a longer one is a garbled header, not a reason to wait for gigabytes.
inline constexpr std::uint64_t kMostPayload = std::uint64_t{1} << 30;

[[nodiscard]] std::string Frame(Kind kind, std::int32_t task, std::string_view payload);

// The first message at the start of `input`, for a run of `tasks` tasks.
struct Framed
{
    std::optional<Message> message; // none while the message is incomplete, or when it is corrupt
    std::size_t used = 0;           // bytes the message took
    std::string corrupt;            // why the bytes cannot be a message; empty when they may be
};
[[nodiscard]] Framed NextMessage(std::string_view input, int tasks);

// Sends or reads all the bytes, going on after a signal; false when the peer is gone or the call fails. A task sent
// to a worker that died is not an error here: the worker's end is seen and reported by the parent's loop.
bool SendAll(int fd, const void* data, std::size_t size);
[[nodiscard]] bool ReadAll(int fd, void* data, std::size_t size);

// A worker's life: plays the tasks it is sent until told to stop, then ends the process.
[[noreturn]] void Work(int fd, const WorkerPlan& plan);

} // namespace tryzone
