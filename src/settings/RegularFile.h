#pragma once

#include "files/Descriptor.h"

#include <cstddef>
#include <string>
#include <sys/stat.h>

namespace tryzone
{

enum class ReadOutcome
{
    Read,
    TooLarge,
    Failed,
};

// Reads the whole file into text, in chunks, giving up as soon as it holds more than maxBytes: memory stays bounded
// even when the file grows while it is read.
[[nodiscard]] ReadOutcome ReadBounded(int descriptor, std::string& text, std::size_t maxBytes);

// Opens a regular file for reading without ever blocking: a FIFO or a device at the path is refused before it is
// opened (opening a FIFO waits for a writer), and checked again once open, in case the path changed in between.
// Reading is the caller's; status tells a missing or forbidden file (errno set) from one that is not a file.
enum class OpenOutcome
{
    Opened,
    CannotOpen,
    NotAFile,
};

[[nodiscard]] OpenOutcome OpenRegular(const std::string& path, Descriptor& file, struct stat& status);

} // namespace tryzone
