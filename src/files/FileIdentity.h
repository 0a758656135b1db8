#pragma once

#include "files/Expected.h"

#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace tryzone
{

// What names a file: its device and inode when it exists, the path it resolves to when it does not yet (a
// dangling symbolic link resolves to its missing target, which is the file a write through it creates). "-" is
// standard output.
struct FileIdentity
{
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    std::string path;

    bool operator==(const FileIdentity& other) const
    {
        return exists == other.exists && (exists ? device == other.device && inode == other.inode : path == other.path);
    }
};

[[nodiscard]] FileIdentity IdentityOf(const std::string& path);

// The path with every symbolic link followed, dangling ones included, and made absolute.
[[nodiscard]] std::string ResolvedPath(const std::string& path);

// A file a program reads or writes, with the option that names it.
struct NamedFile
{
    std::string option;
    std::string path;
};

// The first output that is one of the inputs or another output, as one line: "--record r.jsonl is the same file
// as --settings"; none when every output is a file of its own. /dev/null takes any number of outputs.
[[nodiscard]] std::optional<std::string> FindCollision(const std::vector<NamedFile>& inputs,
                                                       const std::vector<NamedFile>& outputs);

// Whether a write to an output may be tried, found without touching it; if not, why it could not be created or
// emptied: a folder, a missing or read-only folder, a read-only file.
[[nodiscard]] Expected<void> CheckWritable(const std::string& path);

} // namespace tryzone
