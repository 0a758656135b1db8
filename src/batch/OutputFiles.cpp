#include "batch/OutputFiles.h"

#include "batch/Interrupt.h"
#include "files/FileIdentity.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <iostream>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace
{
fs::path Resolved(const fs::path& path)
{
    return ResolvedPath(path.string());
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
    if (consoleBuffer != nullptr)
    {
        std::cout.rdbuf(consoleBuffer);
    }
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

// A file output opened: a temporary file beside its target, or a device or pipe as it is.
std::optional<Failure> OutputFiles::OpenFile(Output& output, std::vector<std::string>& temporaries)
{
    struct stat status
    {
    };
    const bool exists = stat(output.path.c_str(), &status) == 0;
    if (exists && S_ISDIR(status.st_mode))
    {
        return CannotWrite(output.path, EISDIR);
    }
    if (exists && !S_ISREG(status.st_mode))
    {
        // A device or a pipe cannot be replaced: it is written as it is. A FIFO that nobody reads would block
        // the run before it starts, and then be waited on for ever: it is refused instead.
        output.written = output.path;
        output.descriptor = open(output.path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NONBLOCK);
        if (output.descriptor < 0 && errno == ENXIO && S_ISFIFO(status.st_mode))
        {
            return Failure{1, "cannot write " + output.path +
                                  ": a FIFO with no reader (start its reader "
                                  "first)"};
        }
        if (output.descriptor >= 0)
        {
            fcntl(output.descriptor, F_SETFL, fcntl(output.descriptor, F_GETFL) & ~O_NONBLOCK);
        }
    }
    else
    {
        output.target = Resolved(output.path);
        std::string name = output.target.filename().string();
        name.insert(0, 1, '.');
        name.append(".XXXXXX");
        std::string pattern = (output.target.parent_path() / name).string();
        output.descriptor = mkstemp(pattern.data());
        if (output.descriptor < 0 && errno == ENOENT && fs::is_directory(output.target.parent_path()))
        {
            // A folder that exists yet takes no new file (/proc): its own reason, not a missing folder's.
            return Failure{1, "cannot write " + output.path + ": its folder " + output.target.parent_path().string() +
                                  " takes no new files"};
        }
        if (output.descriptor >= 0)
        {
            output.written = pattern;
            temporaries.push_back(pattern);
            fchmod(output.descriptor, exists ? status.st_mode & 07777 : NewFileMode());
        }
    }
    if (output.descriptor < 0)
    {
        return CannotWrite(output.path, errno);
    }
    return std::nullopt;
}

std::optional<Failure> OutputFiles::Open()
{
    const FileIdentity standardOutput = IdentityOf("-");
    std::vector<NamedFile> inputFiles;
    std::vector<NamedFile> outputFiles;
    for (const auto& [option, path] : inputs)
    {
        inputFiles.push_back({option, path});
    }
    for (const auto& output : outputs)
    {
        output->standardOutput =
            output->path == "-" || (standardOutput.exists && IdentityOf(output->path) == standardOutput);
        if (output->standardOutput && output->kind == OutputKind::Picture)
        {
            return Failure{2, output->option + " cannot write a picture to standard output"};
        }
        outputFiles.push_back({output->option, output->path});
    }
    if (auto collision = FindCollision(inputFiles, outputFiles))
    {
        return Failure{2, *collision};
    }

    std::vector<std::string> temporaries;
    for (const auto& output : outputs)
    {
        if (output->standardOutput)
        {
            output->descriptor = STDOUT_FILENO;
            summaryBuffer = std::make_unique<DescriptorBuffer>(STDERR_FILENO);
            summary.rdbuf(summaryBuffer.get());
            // Standard output carries data: the match's own console lines ("joueur non valide") must not mix in.
            std::cout.flush();
            consoleBuffer = consoleBuffer != nullptr ? consoleBuffer : std::cout.rdbuf(std::cerr.rdbuf());
        }
        else if (auto failure = OpenFile(*output, temporaries))
        {
            return failure;
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
    return RenameAll();
}

// Every output takes its name, or none does: the files replaced are kept under a second name until the last rename
// has succeeded, and put back if one fails, so that a failed run leaves earlier files as they were.
std::optional<Failure> OutputFiles::RenameAll()
{
    std::vector<fs::path> kept(outputs.size()); // the old file's second name; empty when there was none
    std::size_t renamed = 0;
    std::optional<Failure> failure;
    for (; renamed < outputs.size(); ++renamed)
    {
        Output& output = *outputs[renamed];
        if (output.target.empty())
        {
            continue;
        }
        const fs::path old = output.written.string() + ".old";
        if (link(output.target.c_str(), old.c_str()) == 0)
        {
            kept[renamed] = old;
        }
        if (rename(output.written.c_str(), output.target.c_str()) != 0)
        {
            failure = CannotWrite(output.path, errno);
            break;
        }
    }
    for (std::size_t i = 0; i < outputs.size(); ++i)
    {
        Output& output = *outputs[i];
        const bool committed = !output.target.empty() && i < renamed;
        if (failure && committed)
        {
            // Put back what was there: the old file, or nothing.
            static_cast<void>(kept[i].empty() ? unlink(output.target.c_str())
                                              : rename(kept[i].c_str(), output.target.c_str()));
            continue;
        }
        if (!kept[i].empty())
        {
            unlink(kept[i].c_str());
        }
        if (!failure)
        {
            output.written.clear();
        }
    }
    return failure;
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
