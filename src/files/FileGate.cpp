#include "files/FileGate.h"

#include "files/FileIdentity.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace tryzone
{

namespace fs = std::filesystem;

namespace
{
std::string Named(const std::string& option, const std::string& path)
{
    return option + " " + path;
}

// What stands at path, links followed: the status, or why there is nothing usable there. ENOENT is no refusal.
int StatusOf(const std::string& path, struct stat& status)
{
    return ::stat(path.c_str(), &status) == 0 ? 0 : errno;
}

// The command line's mistakes about one output, found from names alone.
Expected<void> CheckOutputKind(const std::string& option, const std::string& path, OutputTarget target)
{
    if (FileGate::IsStandardOutput(path))
    {
        if (target == OutputTarget::File)
        {
            return Unexpected{option + " cannot write to standard output: it needs a file"};
        }
        return {};
    }
    struct stat status
    {
    };
    const int error = StatusOf(path, status);
    if (error == ELOOP)
    {
        return Unexpected{"cannot write " + path + " (" + option + "): a loop of symbolic links"};
    }
    if (error == 0 && !S_ISREG(status.st_mode) && !S_ISDIR(status.st_mode))
    {
        const bool stream = S_ISFIFO(status.st_mode) || S_ISCHR(status.st_mode);
        if (target == OutputTarget::File || !stream)
        {
            return Unexpected{"cannot write " + path + " (" + option + "): not a regular file (" +
                              (S_ISFIFO(status.st_mode) ? "a FIFO" : "a device or socket") + "); it needs a file"};
        }
    }
    return {};
}

// Whether the output can be created or emptied, found without touching it.
Expected<void> CheckOutputWritable(const std::string& path)
{
    struct stat status
    {
    };
    if (FileGate::IsStandardOutput(path) ||
        (StatusOf(path, status) == 0 && !S_ISREG(status.st_mode) && !S_ISDIR(status.st_mode)))
    {
        return {}; // a stream: opened by Open, never waited on
    }
    return CheckWritable(path);
}

bool MatchesPattern(const std::string& name, const std::string& prefix, const std::string& suffix)
{
    if (name.size() <= prefix.size() + suffix.size() || name.rfind(prefix, 0) != 0 ||
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
    {
        return false;
    }
    const std::string number = name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
    return number.find_first_not_of("0123456789") == std::string::npos;
}
} // namespace

FileGate::FileGate()
{
    defaults.push_back({"the settings file every plain run reads", kDefaultSettingsFile});
    defaults.push_back({"the font", kFontFile});
    // Pictures also find the font beside the program.
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    if (!error)
    {
        defaults.push_back({"the font", (program.parent_path() / kFontFile).string()});
    }
}

bool FileGate::IsStandardOutput(const std::string& path)
{
    return path == "-";
}

void FileGate::AddInput(std::string option, std::string path, bool fileOnly)
{
    inputs.push_back({std::move(option), std::move(path), fileOnly, OutputTarget::File, nullptr});
}

void FileGate::AddOutput(std::string option, std::string path, OutputTarget target)
{
    outputs.push_back({std::move(option), std::move(path), false, target, nullptr});
}

void FileGate::AddOutputFolder(std::string option, std::string folder, std::string prefix, std::string suffix)
{
    folders.push_back({std::move(option), std::move(folder), std::move(prefix), std::move(suffix)});
}

Expected<void> FileGate::CheckFolder(const Folder& folder) const
{
    const std::string named = Named(folder.option, folder.path);
    struct stat status
    {
    };
    const int error = StatusOf(folder.path, status);
    if (error == ELOOP)
    {
        return Unexpected{"cannot write in " + named + ": a loop of symbolic links"};
    }
    if (error == 0 && !S_ISDIR(status.st_mode))
    {
        return Unexpected{"cannot write in " + named + ": not a folder"};
    }
    const fs::path resolved = ResolvedPath(folder.path);
    const auto inFolder = [&](const NamedFile& entry)
    {
        const fs::path file = ResolvedPath(entry.path);
        return file.parent_path() == resolved && MatchesPattern(file.filename().string(), folder.prefix, folder.suffix);
    };
    std::vector<NamedFile> files = defaults;
    for (const auto* list : {&inputs, &outputs})
    {
        for (const Entry& entry : *list)
        {
            files.push_back({entry.option, entry.path});
        }
    }
    for (const NamedFile& entry : files)
    {
        if (!IsStandardOutput(entry.path) && inFolder(entry))
        {
            return Unexpected{Named(entry.option, entry.path) + " is in " + named + ", which gets files named " +
                              folder.prefix + "N" + folder.suffix + ": two writers would share it"};
        }
    }
    if (error != 0)
    {
        return {}; // made by the run
    }
    std::error_code failure;
    for (const auto& file : fs::directory_iterator(resolved, failure))
    {
        struct stat each
        {
        };
        if (!MatchesPattern(file.path().filename().string(), folder.prefix, folder.suffix) ||
            ::lstat(file.path().c_str(), &each) != 0)
        {
            continue;
        }
        // A link would be written through, a second hard link would change another file too.
        if (!S_ISREG(each.st_mode) || each.st_nlink > 1)
        {
            return Unexpected{"cannot write in " + named + ": " + file.path().string() +
                              (S_ISLNK(each.st_mode)   ? " is a symbolic link"
                               : S_ISREG(each.st_mode) ? " has other hard links"
                                                       : " is not a regular file") +
                              "; remove it or pick another folder"};
        }
    }
    if (failure)
    {
        return Unexpected{"cannot read " + named + ": " + failure.message()};
    }
    if (::access(resolved.c_str(), W_OK | X_OK) != 0)
    {
        return Unexpected{"cannot write in " + named + ": " + std::strerror(errno)};
    }
    return {};
}

Expected<void> FileGate::Check() const
{
    for (const Entry& input : inputs)
    {
        if (input.fileOnly)
        {
            if (auto readable = CheckReadable(input.path, input.option); !readable)
            {
                return readable;
            }
        }
    }
    for (const Entry& output : outputs)
    {
        if (auto kind = CheckOutputKind(output.option, output.path, output.target); !kind)
        {
            return kind;
        }
    }
    std::vector<NamedFile> read;
    std::vector<NamedFile> written;
    for (const Entry& input : inputs)
    {
        read.push_back({input.option, input.path});
    }
    // After the inputs named on the command line, so that a collision names the option the user typed.
    read.insert(read.end(), defaults.begin(), defaults.end());
    for (const Entry& output : outputs)
    {
        written.push_back({output.option, output.path});
    }
    if (auto collision = FindCollision(read, written))
    {
        return Unexpected{*collision};
    }
    for (const Folder& folder : folders)
    {
        if (auto checked = CheckFolder(folder); !checked)
        {
            return checked;
        }
    }
    return {};
}

Expected<void> FileGate::Open()
{
    if (auto checked = Check(); !checked)
    {
        return checked;
    }
    for (const Entry& output : outputs)
    {
        if (auto writable = CheckOutputWritable(output.path); !writable)
        {
            return writable;
        }
    }
    for (Entry& output : outputs)
    {
        struct stat status
        {
        };
        if (IsStandardOutput(output.path) || StatusOf(output.path, status) != 0 || S_ISREG(status.st_mode))
        {
            continue;
        }
        // Non-blocking: a FIFO nobody reads fails at once (ENXIO) instead of waiting for ever.
        auto stream = std::make_unique<Descriptor>(
            ::open(output.path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
        if (!stream->IsOpen())
        {
            const bool noReader = errno == ENXIO && S_ISFIFO(status.st_mode);
            return Unexpected{"cannot write " + output.path + ": " +
                              (noReader ? std::string("a FIFO with no reader (start its reader first)")
                                        : std::string(std::strerror(errno)))};
        }
        ::fcntl(stream->Get(), F_SETFL, ::fcntl(stream->Get(), F_GETFL) & ~O_NONBLOCK);
        output.stream = std::move(stream);
    }
    return {};
}

int FileGate::TakeStream(const std::string& option)
{
    for (Entry& output : outputs)
    {
        if (output.option != option)
        {
            continue;
        }
        if (IsStandardOutput(output.path))
        {
            return STDOUT_FILENO;
        }
        if (output.stream)
        {
            return output.stream->Release();
        }
    }
    return -1;
}

Expected<void> CheckReadable(const std::string& path, const std::string& option)
{
    const std::string named = option.empty() ? path : path + " (" + option + ")";
    struct stat status
    {
    };
    const int error = StatusOf(path, status);
    if (error == ELOOP)
    {
        return Unexpected{"cannot read " + named + ": a loop of symbolic links"};
    }
    if (error != 0)
    {
        return {};
    }
    if (S_ISDIR(status.st_mode))
    {
        return Unexpected{"cannot read " + named + ": it is a folder"};
    }
    if (!S_ISREG(status.st_mode))
    {
        return Unexpected{"cannot read " + named + ": not a regular file (" +
                          (S_ISFIFO(status.st_mode) ? "a FIFO" : "a device or socket") + ")"};
    }
    return {};
}

} // namespace tryzone
