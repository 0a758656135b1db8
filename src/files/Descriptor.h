#pragma once

#include <cstddef>
#include <filesystem>
#include <string_view>
#include <sys/types.h>

namespace tryzone
{

// An open file descriptor, closed with the object.
class Descriptor
{
public:
    explicit Descriptor(int descriptor = -1) : fd(descriptor) {}
    ~Descriptor();
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    [[nodiscard]] int Get() const { return fd; }
    [[nodiscard]] bool IsOpen() const { return fd >= 0; }
    // Takes another descriptor, closing the one held.
    void Reset(int descriptor)
    {
        Close();
        fd = descriptor;
    }
    // Hands the descriptor over, open, to a new owner.
    [[nodiscard]] int Release()
    {
        const int released = fd;
        fd = -1;
        return released;
    }
    // Closes now and says whether the close succeeded: it reports delayed write errors too.
    bool Close();

private:
    int fd;
};

// The file a path finally names once the symbolic links standing at its end are followed, whether or not that
// file exists: writing there keeps the links as they are. A loop of links is returned unresolved.
[[nodiscard]] std::filesystem::path FinalTarget(const std::filesystem::path& path);

// One read, retried when a signal interrupts it: the count, 0 at the end, -1 on an error.
[[nodiscard]] ssize_t ReadSome(int descriptor, char* buffer, std::size_t size);

// Writes all of text, retrying interrupted and partial writes.
[[nodiscard]] bool WriteAll(int descriptor, std::string_view text);

// Copies what remains to be read from one descriptor to the other.
[[nodiscard]] bool CopyAll(int from, int to);

} // namespace tryzone
