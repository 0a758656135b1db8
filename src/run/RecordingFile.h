#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace tryzone
{

// A recording being written: each line reaches the file as it is written, so a crash loses at most the line being
// written; input lines can be taken back when a jump back and new input replace the future they described. After a
// failed write (a full disk, a file size limit) nothing more is written or cut: the file is left as it stood.
class RecordingFile
{
public:
    RecordingFile() = default;
    RecordingFile(const RecordingFile&) = delete;
    RecordingFile& operator=(const RecordingFile&) = delete;
    ~RecordingFile();

    // Creates or empties the file; false when it cannot be written.
    [[nodiscard]] bool Open(const std::string& path);
    void WriteHeader(std::string_view line);
    // The line of the input numbered inputs() in the match's history.
    void WriteInput(std::string_view line);
    // Leaves only the first count input lines.
    void KeepInputs(std::size_t count);
    void WriteEnd(std::string_view line);

    [[nodiscard]] bool IsOpen() const { return descriptor >= 0; }
    [[nodiscard]] std::size_t Inputs() const { return starts.size(); }
    // errno of the first failed write, 0 while none has failed.
    [[nodiscard]] int Error() const { return error; }

private:
    void Write(std::string_view line);

    int descriptor = -1;
    int error = 0;
    std::vector<off_t> starts; // where each input line begins
};

} // namespace tryzone
