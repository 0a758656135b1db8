#include "batch/OutputFiles.h"

#include "batch/Interrupt.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace
{
constexpr std::size_t kBufferSize = 1 << 16;

// What names a file: its device and inode when it exists, its resolved path when it does not.
struct Identity
{
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    std::string path;

    bool operator==(const Identity& other) const
    {
        return exists == other.exists && (exists ? device == other.device && inode == other.inode : path == other.path);
    }
};

// The path with symbolic links followed as far as they can be, so that a file is replaced where it really is: a link
// to a file not yet there (a dangling one) stands for that file.
fs::path Resolved(fs::path path)
{
    std::error_code error;
    for (int hop = 0; hop < 40 && fs::is_symlink(fs::symlink_status(path, error)); ++hop)
    {
        const fs::path target = fs::read_symlink(path, error);
        if (error)
        {
            break;
        }
        path = target.is_absolute() ? target : path.parent_path() / target;
    }
    fs::path resolved = fs::weakly_canonical(path, error);
    if (error || resolved.empty())
    {
        resolved = fs::absolute(path, error).lexically_normal();
    }
    return resolved;
}

Identity IdentityOf(const std::string& path)
{
    Identity identity;
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
    identity.path = Resolved(path).string();
    return identity;
}

std::string Reason(int error)
{
    return std::strerror(error);
}

Failure CannotWrite(const std::string& path, int error)
{
    return Failure{1, "cannot write " + path + ": " + Reason(error)};
}

// The permissions a new file gets from open(2): the process's umask applied to 0666.
mode_t NewFileMode()
{
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}
} // namespace

DescriptorBuffer::DescriptorBuffer(int fileDescriptor) : descriptor(fileDescriptor), buffer(kBufferSize)
{
    setp(buffer.data(), buffer.data() + buffer.size());
}

bool DescriptorBuffer::Drain()
{
    const char* data = pbase();
    std::size_t left = static_cast<std::size_t>(pptr() - pbase());
    while (left > 0 && error == 0)
    {
        const ssize_t written = write(descriptor, data, left);
        if (written < 0)
        {
            if (errno != EINTR)
            {
                error = errno;
            }
            continue;
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    setp(buffer.data(), buffer.data() + buffer.size());
    return error == 0;
}

DescriptorBuffer::int_type DescriptorBuffer::overflow(int_type c)
{
    if (!Drain())
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

std::streamsize DescriptorBuffer::xsputn(const char* data, std::streamsize size)
{
    std::streamsize done = 0;
    while (done < size)
    {
        if (pptr() == epptr() && !Drain())
        {
            break;
        }
        const std::streamsize room = std::min<std::streamsize>(epptr() - pptr(), size - done);
        std::memcpy(pptr(), data + done, static_cast<std::size_t>(room));
        pbump(static_cast<int>(room));
        done += room;
    }
    return done;
}

int DescriptorBuffer::sync()
{
    return Drain() ? 0 : -1;
}

Output::Output(std::string optionName, std::string given, OutputKind outputKind)
    : option(std::move(optionName)), path(std::move(given)), kind(outputKind), stream(nullptr)
{
}

Output::~Output()
{
    if (descriptor >= 0 && !standardOutput)
    {
        close(descriptor);
    }
    if (!target.empty() && !written.empty())
    {
        std::error_code error;
        fs::remove(written, error);
    }
}

OutputFiles::OutputFiles() : summaryBuffer(std::make_unique<DescriptorBuffer>(STDOUT_FILENO)), summary(nullptr)
{
    summary.rdbuf(summaryBuffer.get());
}

OutputFiles::~OutputFiles()
{
    summary.flush();
    Discard();
}

void OutputFiles::AddInput(const std::string& option, const std::string& path)
{
    inputs.emplace_back(option, path);
}

Output& OutputFiles::Add(const std::string& option, const std::string& path, OutputKind kind)
{
    outputs.push_back(std::make_unique<Output>(option, path, kind));
    return *outputs.back();
}

std::optional<Failure> OutputFiles::Open()
{
    const Identity standardOutput = IdentityOf("-");
    const Identity nowhere = IdentityOf("/dev/null");   // takes any number of outputs
    std::vector<std::pair<std::string, Identity>> seen; // option, file
    for (const auto& [option, path] : inputs)
    {
        seen.emplace_back(option, IdentityOf(path));
    }
    for (const auto& output : outputs)
    {
        const Identity identity = IdentityOf(output->path);
        output->standardOutput = output->path == "-" || (standardOutput.exists && identity == standardOutput);
        if (output->standardOutput && output->kind == OutputKind::Picture)
        {
            return Failure{2, output->option + " cannot write a picture to standard output"};
        }
        for (const auto& [option, other] : seen)
        {
            if (identity == other && !(identity == nowhere))
            {
                return Failure{2, output->option + " " + output->path + " is the same file as " + option};
            }
        }
        seen.emplace_back(output->option, identity);
    }

    std::vector<std::string> temporaries;
    for (const auto& output : outputs)
    {
        if (output->standardOutput)
        {
            output->descriptor = STDOUT_FILENO;
            summaryBuffer = std::make_unique<DescriptorBuffer>(STDERR_FILENO);
            summary.rdbuf(summaryBuffer.get());
        }
        else
        {
            struct stat status
            {
            };
            const bool exists = stat(output->path.c_str(), &status) == 0;
            if (exists && S_ISDIR(status.st_mode))
            {
                return CannotWrite(output->path, EISDIR);
            }
            if (exists && !S_ISREG(status.st_mode))
            {
                // A device or a pipe cannot be replaced: it is written as it is. A FIFO that nobody reads would block
                // the run before it starts, and then be waited on for ever: it is refused instead.
                output->written = output->path;
                output->descriptor = open(output->path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NONBLOCK);
                if (output->descriptor < 0 && errno == ENXIO && S_ISFIFO(status.st_mode))
                {
                    return Failure{1, "cannot write " + output->path +
                                          ": a FIFO with no reader (start its reader "
                                          "first)"};
                }
                if (output->descriptor >= 0)
                {
                    fcntl(output->descriptor, F_SETFL, fcntl(output->descriptor, F_GETFL) & ~O_NONBLOCK);
                }
            }
            else
            {
                output->target = Resolved(output->path);
                std::string name = output->target.filename().string();
                name.insert(0, 1, '.');
                name.append(".XXXXXX");
                std::string pattern = (output->target.parent_path() / name).string();
                output->descriptor = mkstemp(pattern.data());
                if (output->descriptor < 0 && errno == ENOENT && fs::is_directory(output->target.parent_path()))
                {
                    // A folder that exists yet takes no new file (/proc): its own reason, not a missing folder's.
                    return Failure{1, "cannot write " + output->path + ": its folder " +
                                          output->target.parent_path().string() + " takes no new files"};
                }
                if (output->descriptor >= 0)
                {
                    output->written = pattern;
                    temporaries.push_back(pattern);
                    fchmod(output->descriptor, exists ? status.st_mode & 07777 : NewFileMode());
                }
            }
            if (output->descriptor < 0)
            {
                return CannotWrite(output->path, errno);
            }
        }
        output->buffer = std::make_unique<DescriptorBuffer>(output->descriptor);
        output->stream.rdbuf(output->buffer.get());
    }
    RemoveOnSecondSignal(temporaries);
    return std::nullopt;
}

std::optional<Failure> OutputFiles::FlushSummary()
{
    summary.flush();
    if (summaryBuffer->Error() != 0 && summaryBuffer->Descriptor() == STDOUT_FILENO)
    {
        return CannotWrite("standard output", summaryBuffer->Error());
    }
    return std::nullopt;
}

std::optional<Failure> OutputFiles::Commit()
{
    if (auto failure = FlushSummary())
    {
        return failure;
    }
    for (const auto& output : outputs)
    {
        output->stream.flush();
        const int error = output->buffer->Error();
        if (error != 0)
        {
            return CannotWrite(output->Name(), error);
        }
        if (!output->target.empty())
        {
            // Data on the disk before the name moves, so that a crash leaves the old file or the whole new one.
            int failed = fsync(output->descriptor) == 0 ? 0 : errno;
            if (close(output->descriptor) != 0 && failed == 0)
            {
                failed = errno;
            }
            output->descriptor = -1;
            if (failed != 0)
            {
                return CannotWrite(output->path, failed);
            }
        }
    }
    RemoveOnSecondSignal({});
    for (const auto& output : outputs)
    {
        if (!output->target.empty() && rename(output->written.c_str(), output->target.c_str()) != 0)
        {
            return CannotWrite(output->path, errno);
        }
        output->written.clear();
    }
    return std::nullopt;
}

void OutputFiles::Drop(Output& output)
{
    std::erase_if(outputs, [&output](const std::unique_ptr<Output>& each) { return each.get() == &output; });
}

void OutputFiles::Discard()
{
    RemoveOnSecondSignal({});
    outputs.clear();
}
