#pragma once

#include "files/Descriptor.h"
#include "files/Expected.h"
#include "files/FileIdentity.h"

#include <memory>
#include <string>
#include <vector>

namespace tryzone
{

// Files every run of every program reads from its working folder, whether or not an option names another: an
// output written there would be read as settings by the next plain run, or replace the game's font.
inline constexpr const char* kDefaultSettingsFile = "PlayersSettings.json";
inline constexpr const char* kFontFile = "Hack-Regular.ttf";

// What an output may be besides a regular file.
enum class OutputTarget
{
    File,   // a regular file only: cut back, replaced or reread (recordings, Python's outputs)
    Stream, // also "-" for standard output, a FIFO someone reads, a character device (/dev/null)
};

// The one place a run declares what it reads and what it writes, before anything is played. Check resolves
// symbolic and hard links and refuses, touching nothing: an output that is an input or another output, a loop of
// links, a folder, a FIFO nobody reads or any FIFO or device where a file is needed, a file or folder that cannot
// be written. Open then opens the outputs that are streams (FIFOs, devices) without ever blocking, before any file
// is created or emptied, and hands their descriptors out; files are written by their own writers (atomic files,
// logs, recordings) once the gate has passed.
class FileGate
{
public:
    FileGate();

    // A file the run reads. A part or recording read from a FIFO would block: refused at once when fileOnly.
    void AddInput(std::string option, std::string path, bool fileOnly = false);
    void AddOutput(std::string option, std::string path, OutputTarget target);
    // A folder the run fills with files named prefix + number + suffix, numbers unknown before the run.
    void AddOutputFolder(std::string option, std::string folder, std::string prefix, std::string suffix);

    // The command line's mistakes, found from names and links alone; the first refusal as one line.
    [[nodiscard]] Expected<void> Check() const;
    // Check, then whether every output can be created or emptied (a folder, a missing or read-only folder, a
    // read-only file), then the stream outputs opened: a FIFO with no reader is refused, never waited on.
    [[nodiscard]] Expected<void> Open();

    // The open descriptor of an output that is a stream ("-" gives standard output's), handed over; -1 for an
    // output that is a file and is opened by its writer.
    [[nodiscard]] int TakeStream(const std::string& option);
    // Whether an output names standard output.
    [[nodiscard]] static bool IsStandardOutput(const std::string& path);

private:
    struct Entry
    {
        std::string option;
        std::string path;
        bool fileOnly = false;
        OutputTarget target = OutputTarget::File;
        std::unique_ptr<Descriptor> stream;
    };
    struct Folder
    {
        std::string option;
        std::string path;
        std::string prefix;
        std::string suffix;
    };

    [[nodiscard]] Expected<void> CheckFolder(const Folder& folder) const;

    std::vector<NamedFile> defaults; // the working folder's settings file and the font
    std::vector<Entry> inputs;
    std::vector<Entry> outputs;
    std::vector<Folder> folders;
};

// Why a path cannot be opened as a file to read: a loop of links, a FIFO or a device (which would block or never
// end), a folder; none for a regular file or a missing one (which its reader reports).
[[nodiscard]] Expected<void> CheckReadable(const std::string& path, const std::string& option = {});

} // namespace tryzone
