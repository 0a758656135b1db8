#include "files/AtomicFile.h"

#include "files/Descriptor.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fcntl.h>
#include <set>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace tryzone
{

namespace fs = std::filesystem;

namespace
{
// Creates ".name.XXXXXX" beside target with six letters or digits no other file there has: O_EXCL settles races
// with other writers, another machine sharing the folder included. A file that will take a private file's place is
// private from the start; a new one gets the usual mode under the umask.
int CreateTemporary(const fs::path& target, bool privateAtFirst, std::string& name)
{
    static constexpr std::string_view kLetters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    static std::atomic<std::uint64_t> counter{0};
    const std::uint64_t seed = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
                               (static_cast<std::uint64_t>(::getpid()) << 32U);
    for (int attempt = 0; attempt < 100; ++attempt)
    {
        // splitmix64's finaliser spreads the seed's bits over the six letters.
        std::uint64_t bits = seed + (counter++ + 1) * 0x9E3779B97F4A7C15ULL;
        bits = (bits ^ (bits >> 30U)) * 0xBF58476D1CE4E5B9ULL;
        bits = (bits ^ (bits >> 27U)) * 0x94D049BB133111EBULL;
        bits ^= bits >> 31U;
        std::string suffix(6, 'X');
        for (char& letter : suffix)
        {
            letter = kLetters[bits % kLetters.size()];
            bits /= kLetters.size();
        }
        name = (target.parent_path() / ("." + target.filename().string() + "." + suffix)).string();
        const int fd =
            ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, privateAtFirst ? 0600 : 0666);
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

fs::path FolderOf(const fs::path& target)
{
    return target.has_parent_path() ? target.parent_path() : fs::path(".");
}

// Makes a rename durable. Best effort: the new file is already in place and whole, and some file systems cannot
// flush a folder at all.
void SyncFolder(const fs::path& folder)
{
    const Descriptor directory(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.IsOpen())
    {
        static_cast<void>(::fsync(directory.Get()));
    }
}
} // namespace

AtomicFile::~AtomicFile()
{
    Discard();
}

int AtomicFile::Open(const fs::path& path, std::optional<FileAccess> like)
{
    Discard();
    struct stat status = {};
    if (::lstat(path.c_str(), &status) == 0)
    {
        // A folder, a FIFO, a device or a link that leads nowhere is the user's business, never ours to replace.
        if (!S_ISREG(status.st_mode))
        {
            return S_ISDIR(status.st_mode) ? EISDIR : EEXIST;
        }
        like = like ? like : FileAccess{status.st_mode, status.st_uid, status.st_gid};
    }
    else if (errno != ENOENT)
    {
        return errno;
    }
    std::string name;
    descriptor = CreateTemporary(path, like.has_value(), name);
    if (descriptor < 0)
    {
        return errno;
    }
    target = path;
    temporary = name;
    if (like && !TakeOverAccess(descriptor, *like))
    {
        const int error = errno;
        Discard();
        return error;
    }
    return 0;
}

int AtomicFile::Finish()
{
    // Data on the disk before the name moves, so that a crash leaves the old file or the whole new one.
    int error = ::fsync(descriptor) == 0 ? 0 : errno;
    // Not retried on EINTR: on Linux the descriptor is gone either way. A close reports delayed write errors too.
    if (::close(descriptor) != 0 && error == 0)
    {
        error = errno;
    }
    descriptor = -1;
    return error;
}

int AtomicFile::Commit()
{
    if (const int error = Finish(); error != 0)
    {
        return error;
    }
    if (std::rename(temporary.c_str(), target.c_str()) != 0)
    {
        return errno;
    }
    temporary.clear();
    SyncFolder(FolderOf(target));
    return 0;
}

void AtomicFile::Discard()
{
    if (descriptor >= 0)
    {
        ::close(descriptor);
        descriptor = -1;
    }
    if (!temporary.empty())
    {
        // Best effort: the write has failed already, and the name is never used again.
        static_cast<void>(::unlink(temporary.c_str()));
        temporary.clear();
    }
}

std::optional<GroupFailure> AtomicGroup::CommitAll(const std::vector<AtomicFile*>& files)
{
    std::vector<fs::path> kept(files.size()); // the old file's second name; empty when there was none
    std::size_t renamed = 0;
    std::optional<GroupFailure> failure;
    for (; renamed < files.size(); ++renamed)
    {
        const AtomicFile& file = *files[renamed];
        const fs::path old = file.temporary.string() + ".old";
        if (::link(file.target.c_str(), old.c_str()) == 0)
        {
            kept[renamed] = old;
        }
        if (std::rename(file.temporary.c_str(), file.target.c_str()) != 0)
        {
            failure = GroupFailure{renamed, errno};
            break;
        }
    }
    std::set<fs::path> folders;
    for (std::size_t i = 0; i < files.size(); ++i)
    {
        AtomicFile& file = *files[i];
        if (failure && i < renamed)
        {
            // Put back what was there: the old file, or nothing.
            static_cast<void>(kept[i].empty() ? ::unlink(file.target.c_str())
                                              : std::rename(kept[i].c_str(), file.target.c_str()));
            file.temporary.clear();
            continue;
        }
        if (!kept[i].empty())
        {
            ::unlink(kept[i].c_str());
        }
        if (!failure)
        {
            file.temporary.clear();
            folders.insert(FolderOf(file.target));
        }
    }
    for (const fs::path& folder : folders)
    {
        SyncFolder(folder);
    }
    return failure;
}

bool ReplaceFile(const fs::path& target, const std::function<bool(int descriptor)>& fill,
                 std::optional<FileAccess> like)
{
    AtomicFile file;
    return file.Open(target, like) == 0 && fill(file.Descriptor()) && file.Commit() == 0;
}

} // namespace tryzone
