#include "settings/FileReplacement.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
namespace fs = std::filesystem;

// As many links as the system itself follows before it gives up with ELOOP.
constexpr int MaxLinkHops = 40;

FileAccess AccessOf(const struct stat& status)
{
    return {status.st_mode, status.st_uid, status.st_gid};
}

// A name beside target that no other save uses: the process id tells processes apart, the counter the saves of
// one process, and O_EXCL settles the rest (another machine sharing the folder).
int CreateTemporary(const fs::path& target, bool privateAtFirst, std::string& name)
{
    static std::atomic<unsigned> counter{0};
    // A file that will take a private file's place is private from the start; a new one gets the usual mode.
    const mode_t mode = privateAtFirst ? 0600 : 0666;
    for (int attempt = 0; attempt < 100; ++attempt)
    {
        name = target.string() + ".tmp." + std::to_string(::getpid()) + "." + std::to_string(counter++);
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode);
        if (fd >= 0 || errno != EEXIST)
        {
            return fd;
        }
    }
    return -1;
}

bool TakeOverAccess(int fd, const FileAccess& access)
{
    // Owner and group only when allowed (root, or a group the user is in); the mode in any case. The owner comes
    // first because changing it clears the set-user-ID bits.
    if (::fchown(fd, access.owner, access.group) != 0)
    {
        static_cast<void>(::fchown(fd, static_cast<uid_t>(-1), access.group));
    }
    return ::fchmod(fd, access.mode & 07777) == 0;
}

// Makes the rename itself durable. Best effort: the new file is already in place and whole, and some file systems
// cannot flush a folder at all.
void SyncFolder(const fs::path& target)
{
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    const Descriptor directory(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.IsOpen())
    {
        static_cast<void>(::fsync(directory.Get()));
    }
}
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

bool ReplaceFile(const fs::path& target, const std::function<bool(int descriptor)>& fill,
                 std::optional<FileAccess> like)
{
    struct stat status = {};
    if (::lstat(target.c_str(), &status) == 0)
    {
        // A folder, a FIFO, a device or a link that leads nowhere is the user's business, never ours to replace.
        if (!S_ISREG(status.st_mode))
        {
            return false;
        }
        if (!like)
        {
            like = AccessOf(status);
        }
    }
    else if (errno != ENOENT)
    {
        return false;
    }

    std::string temporary;
    Descriptor file(CreateTemporary(target, like.has_value(), temporary));
    if (!file.IsOpen())
    {
        return false;
    }
    const bool written = (!like || TakeOverAccess(file.Get(), *like)) && fill(file.Get()) && ::fsync(file.Get()) == 0;
    if (file.Close() && written && std::rename(temporary.c_str(), target.c_str()) == 0)
    {
        SyncFolder(target);
        return true;
    }
    // Best effort: the replacement has failed already, and the name is never used again.
    static_cast<void>(::unlink(temporary.c_str()));
    return false;
}
