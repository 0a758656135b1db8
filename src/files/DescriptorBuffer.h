#pragma once

#include <cstdint>
#include <streambuf>
#include <vector>

namespace tryzone
{

// A stream buffer over a file descriptor that keeps the reason of the first failed write and writes nothing after
// it, so that a file that could not take a line is left as it stood.
class DescriptorBuffer : public std::streambuf
{
public:
    explicit DescriptorBuffer(int fileDescriptor);

    [[nodiscard]] int Error() const { return error; } // errno of the first failure, 0 when none
    [[nodiscard]] int Descriptor() const { return descriptor; }
    // Bytes taken since the start (or the last Restart), written or still buffered.
    [[nodiscard]] std::uint64_t Taken() const;
    // Counts from the given length, after the file was cut back to it; the buffer must have been flushed.
    void Restart(std::uint64_t length) { drained = length; }

protected:
    int_type overflow(int_type c) override;
    int sync() override;
    std::streamsize xsputn(const char* data, std::streamsize size) override;

private:
    bool Drain();

    int descriptor;
    int error = 0;
    std::uint64_t drained = 0;
    std::vector<char> buffer;
};

} // namespace tryzone
