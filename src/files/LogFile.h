#pragma once

#include "files/DescriptorBuffer.h"

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>

namespace tryzone
{

// A log written as it grows: standard output for "-", else a file created or emptied by Open. A regular file can be
// cut back to an earlier length, when what was logged after it no longer happened; standard output and pipes
// cannot. The first failed write is kept, and nothing is written after it.
class LogFile
{
public:
    LogFile();
    ~LogFile();
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;

    // errno when the file cannot be opened, 0 once it is.
    [[nodiscard]] int Open(const std::string& path);
    // Takes a descriptor opened elsewhere (a FIFO or device the file gate opened), closed with the log; 0.
    [[nodiscard]] int Adopt(int opened);
    [[nodiscard]] bool IsOpen() const { return descriptor >= 0; }
    [[nodiscard]] std::ostream& Stream() { return stream; }
    [[nodiscard]] std::uint64_t Length() const { return buffer ? buffer->Taken() : 0; }
    // Everything after length is dropped; false when the log cannot take it back.
    bool CutTo(std::uint64_t length);
    [[nodiscard]] int Error() const { return buffer ? buffer->Error() : 0; }

private:
    int descriptor = -1;
    bool standardOutput = false;
    bool cuttable = false;
    std::unique_ptr<DescriptorBuffer> buffer;
    std::ostream stream;
};

} // namespace tryzone
