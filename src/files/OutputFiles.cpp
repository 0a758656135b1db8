#include "files/OutputFiles.h"

#include "files/StopSignals.h"
#include "files/FileIdentity.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tryzone
{

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

Unexpected CannotWrite(const std::string& path, int error)
{
    return Unexpected{"cannot write " + path + ": " + Reason(error)};
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

void OutputFiles::AddInput(const std::string& option, const std::string& path, bool fileOnly)
{
    gate.AddInput(option, path, fileOnly);
}

Output& OutputFiles::Add(const std::string& option, const std::string& path, OutputKind kind)
{
    outputs.push_back(std::make_unique<Output>(option, path, kind));
    gate.AddOutput(option, path, OutputTarget::Stream);
    return *outputs.back();
}

// A file output opened: a temporary file beside its target, or a device or pipe the gate opened, as it is.
Expected<void> OutputFiles::OpenFile(Output& output, int stream, std::vector<std::string>& temporaries)
{
    if (stream >= 0)
    {
        output.written = output.path;
        output.descriptor = stream;
        return {};
    }
    const fs::path target = Resolved(output.path);
    const int error = output.replacement.Open(target);
    if (error == ENOENT && fs::is_directory(target.parent_path()))
    {
        // A folder that exists yet takes no new file (/proc): its own reason, not a missing folder's.
        return Unexpected{"cannot write " + output.path + ": its folder " + target.parent_path().string() +
                          " takes no new files"};
    }
    if (error != 0)
    {
        return CannotWrite(output.path, error);
    }
    output.written = output.replacement.Temporary();
    temporaries.push_back(output.written.string());
    return {};
}

Expected<void> OutputFiles::CheckNames()
{
    const FileIdentity standardOutput = IdentityOf("-");
    for (const auto& output : outputs)
    {
        output->standardOutput =
            output->path == "-" || (standardOutput.exists && IdentityOf(output->path) == standardOutput);
        if (output->standardOutput && output->kind == OutputKind::Picture)
        {
            return Unexpected{output->option + " cannot write a picture to standard output"};
        }
    }
    return gate.Check();
}

Expected<void> OutputFiles::Open()
{
    if (auto names = CheckNames(); !names)
    {
        return names;
    }
    // The pipes and devices first, never waited on: a FIFO nobody reads fails before any temporary file exists.
    if (auto streams = gate.Open(); !streams)
    {
        return streams;
    }
    std::vector<std::string> temporaries;
    for (const auto& output : outputs)
    {
        const int stream = gate.TakeStream(output->option);
        if (output->standardOutput)
        {
            if (stream > STDERR_FILENO)
            {
                close(stream);
            }
            output->descriptor = STDOUT_FILENO;
            summaryBuffer = std::make_unique<DescriptorBuffer>(STDERR_FILENO);
            summary.rdbuf(summaryBuffer.get());
        }
        else if (auto opened = OpenFile(*output, stream, temporaries); !opened)
        {
            return opened;
        }
        const int written = output->replacement.Descriptor();
        output->buffer = std::make_unique<DescriptorBuffer>(written >= 0 ? written : output->descriptor);
        output->stream.rdbuf(output->buffer.get());
    }
    RemoveOnSecondSignal(temporaries);
    return {};
}

Expected<void> OutputFiles::FlushSummary()
{
    summary.flush();
    if (summaryBuffer->Error() != 0 && summaryBuffer->Descriptor() == STDOUT_FILENO)
    {
        return CannotWrite("standard output", summaryBuffer->Error());
    }
    return {};
}

Expected<void> OutputFiles::Commit()
{
    if (auto flushed = FlushSummary(); !flushed)
    {
        return flushed;
    }
    for (const auto& output : outputs)
    {
        output->stream.flush();
        const int error = output->buffer->Error();
        if (error != 0)
        {
            return CannotWrite(output->Name(), error);
        }
        if (!output->replacement.Temporary().empty())
        {
            if (const int failed = output->replacement.Finish(); failed != 0)
            {
                return CannotWrite(output->path, failed);
            }
        }
    }
    RemoveOnSecondSignal({});
    return RenameAll();
}

// Every output takes its name, or none does: a failed run leaves earlier files as they were.
Expected<void> OutputFiles::RenameAll()
{
    std::vector<Output*> replaced;
    std::vector<AtomicFile*> files;
    for (const auto& output : outputs)
    {
        if (!output->replacement.Temporary().empty())
        {
            replaced.push_back(output.get());
            files.push_back(&output->replacement);
        }
    }
    if (const auto failure = AtomicGroup::CommitAll(files))
    {
        return CannotWrite(replaced[failure->index]->path, failure->error);
    }
    for (Output* output : replaced)
    {
        output->written.clear();
    }
    return {};
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

} // namespace tryzone
