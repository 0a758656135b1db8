#pragma once

#include "files/AtomicFile.h"
#include "files/DescriptorBuffer.h"
#include "files/Expected.h"
#include "files/FileGate.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace tryzone
{

enum class OutputKind
{
    Text,   // may be "-", standard output
    Picture // never standard output
};

// One output of a run; see OutputFiles.
class Output
{
public:
    Output(std::string optionName, std::string given, OutputKind outputKind);
    ~Output();
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    [[nodiscard]] std::ostream& Stream() { return stream; }
    // The output as messages name it: its path, or "standard output".
    [[nodiscard]] std::string Name() const { return standardOutput ? "standard output" : path; }
    // The file actually written until the run is committed, for writers that only take a file name.
    [[nodiscard]] const std::filesystem::path& WrittenFile() const { return written; }
    // errno of the first failed write, 0 while none has failed.
    [[nodiscard]] int Error() const { return buffer ? buffer->Error() : 0; }

private:
    friend class OutputFiles;

    std::string option;
    std::string path; // as given, for messages
    OutputKind kind;
    bool standardOutput = false;
    std::filesystem::path written; // the temporary file, or the file itself when written in place
    int descriptor = -1;           // when written in place; a replaced file's is its replacement's
    AtomicFile replacement;        // the new file, for a target that is a regular file or none yet
    std::unique_ptr<DescriptorBuffer> buffer;
    std::ostream stream;
};

// The files a run reads and writes. Outputs are written to temporary files beside their targets, created by Open
// so that a folder that cannot be written fails before anything is played, and renamed over their targets only by
// Commit: a failed or interrupted run leaves every earlier file as it was and removes its temporary files. A
// target that is not a regular file (a device, a pipe) is written in place; "-" is standard output.
class OutputFiles
{
public:
    OutputFiles();
    ~OutputFiles();
    OutputFiles(const OutputFiles&) = delete;
    OutputFiles& operator=(const OutputFiles&) = delete;

    // A file the run reads: no output may be it. A fileOnly input (a part) is refused when it is a FIFO or device.
    void AddInput(const std::string& option, const std::string& path, bool fileOnly = false);
    // An output, to be opened by Open.
    Output& Add(const std::string& option, const std::string& path, OutputKind kind);

    // Refuses pictures for standard output and whatever the file gate refuses (inputs that are outputs, outputs
    // that are one another, links that loop, FIFOs and devices where a file is needed): the command line's
    // mistakes, found before any file is touched.
    [[nodiscard]] Expected<void> CheckNames();
    // Creates every temporary file, after CheckNames (which it repeats, so that no mistake gets through).
    [[nodiscard]] Expected<void> Open();

    // Where the human-readable summary, and every other line meant for standard output, goes: standard output, or
    // standard error when an output took it.
    [[nodiscard]] std::ostream& Summary() { return summary; }

    // Flushes the summary and every output and, when all of that worked, puts the files in place. The first
    // write error is the failure: "cannot write results.json: No space left on device".
    [[nodiscard]] Expected<void> Commit();

    // Leaves the output out of the commit, its temporary file removed: an output that could not be made while the
    // others were.
    void Drop(Output& output);

    // Flushes the summary alone, reporting a failure to write standard output.
    [[nodiscard]] Expected<void> FlushSummary();

private:
    [[nodiscard]] Expected<void> RenameAll();
    [[nodiscard]] static Expected<void> OpenFile(Output& output, int stream, std::vector<std::string>& temporaries);
    void Discard();

    FileGate gate;
    std::vector<std::unique_ptr<Output>> outputs;
    std::unique_ptr<DescriptorBuffer> summaryBuffer;
    std::ostream summary;
};

} // namespace tryzone
