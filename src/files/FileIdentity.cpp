#include "files/FileIdentity.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace tryzone
{

namespace fs = std::filesystem;

namespace
{
// As many links as the system follows before it gives up (ELOOP).
constexpr int kMaxLinks = 40;

fs::path Canonical(const fs::path& path)
{
    std::error_code error;
    // Absolute first: a relative path none of whose folders exists stays relative otherwise.
    fs::path resolved = fs::weakly_canonical(fs::absolute(path, error), error);
    if (error || resolved.empty())
    {
        resolved = fs::absolute(path, error).lexically_normal();
    }
    return resolved;
}
} // namespace

std::string ResolvedPath(const std::string& path)
{
    fs::path current = Canonical(path);
    // weakly_canonical stops at a dangling link; a write through it creates the link's target, so that is the file.
    for (int links = 0; links < kMaxLinks; ++links)
    {
        std::error_code error;
        if (!fs::is_symlink(fs::symlink_status(current, error)))
        {
            break;
        }
        const fs::path target = fs::read_symlink(current, error);
        if (error)
        {
            break;
        }
        current = Canonical(target.is_absolute() ? target : current.parent_path() / target);
    }
    return current.string();
}

FileIdentity IdentityOf(const std::string& path)
{
    FileIdentity identity;
    struct stat status
    {
    };
    if (path == "-" ? fstat(STDOUT_FILENO, &status) == 0 : stat(path.c_str(), &status) == 0)
    {
        identity.exists = true;
        identity.device = status.st_dev;
        identity.inode = status.st_ino;
        return identity;
    }
    identity.path = ResolvedPath(path);
    return identity;
}

std::optional<std::string> FindCollision(const std::vector<NamedFile>& inputs, const std::vector<NamedFile>& outputs)
{
    const FileIdentity nowhere = IdentityOf("/dev/null");
    std::vector<std::pair<const NamedFile*, FileIdentity>> seen;
    for (const NamedFile& input : inputs)
    {
        seen.emplace_back(&input, IdentityOf(input.path));
    }
    for (const NamedFile& output : outputs)
    {
        const FileIdentity identity = IdentityOf(output.path);
        for (const auto& [other, otherIdentity] : seen)
        {
            if (identity == otherIdentity && !(identity == nowhere))
            {
                // The other's path too when it differs: a link or another spelling is not plain to see.
                const std::string where = other->path == output.path ? "" : " (" + other->path + ")";
                return output.option + " " + output.path + " is the same file as " + other->option + where;
            }
        }
        seen.emplace_back(&output, identity);
    }
    return std::nullopt;
}

Expected<void> CheckWritable(const std::string& path)
{
    const auto refused = [&path](int error)
    { return Unexpected{"cannot write " + path + ": " + std::strerror(error)}; };
    struct stat status
    {
    };
    if (stat(path.c_str(), &status) == 0)
    {
        if (S_ISDIR(status.st_mode))
        {
            return refused(EISDIR);
        }
        if (access(path.c_str(), W_OK) != 0)
        {
            return refused(errno);
        }
        return {};
    }
    if (errno != ENOENT)
    {
        return refused(errno);
    }
    const fs::path folder = fs::path(ResolvedPath(path)).parent_path();
    if (access(folder.c_str(), W_OK | X_OK) != 0)
    {
        return refused(errno);
    }
    return {};
}

} // namespace tryzone
