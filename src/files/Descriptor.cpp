#include "files/Descriptor.h"

#include <array>
#include <cerrno>
#include <string_view>
#include <unistd.h>

namespace tryzone
{

namespace
{
namespace fs = std::filesystem;

// As many links as the system itself follows before it gives up with ELOOP.
constexpr int MaxLinkHops = 40;
} // namespace

Descriptor::~Descriptor()
{
    Close();
}

bool Descriptor::Close()
{
    if (fd < 0)
    {
        return true;
    }
    // Not retried on EINTR: on Linux the descriptor is gone either way.
    const bool closed = ::close(fd) == 0;
    fd = -1;
    return closed;
}

fs::path FinalTarget(const fs::path& path)
{
    fs::path current = path;
    for (int hop = 0; hop < MaxLinkHops; ++hop)
    {
        std::error_code error;
        if (!fs::is_symlink(fs::symlink_status(current, error)))
        {
            return current;
        }
        const fs::path next = fs::read_symlink(current, error);
        if (error)
        {
            return current;
        }
        // A relative link is relative to the folder that holds it.
        current = next.is_absolute() ? next : current.parent_path() / next;
    }
    return path;
}

ssize_t ReadSome(int descriptor, char* buffer, std::size_t size)
{
    ssize_t count = -1;
    do
    {
        count = ::read(descriptor, buffer, size);
    } while (count < 0 && errno == EINTR);
    return count;
}

bool CopyAll(int from, int to)
{
    std::array<char, 16384> chunk{};
    for (;;)
    {
        const ssize_t count = ReadSome(from, chunk.data(), chunk.size());
        if (count <= 0)
        {
            return count == 0;
        }
        if (!WriteAll(to, std::string_view(chunk.data(), static_cast<std::size_t>(count))))
        {
            return false;
        }
    }
}

bool WriteAll(int descriptor, std::string_view text)
{
    while (!text.empty())
    {
        const ssize_t written = ::write(descriptor, text.data(), text.size());
        if (written < 0 && errno == EINTR)
        {
            continue;
        }
        if (written <= 0)
        {
            return false;
        }
        text.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

} // namespace tryzone
