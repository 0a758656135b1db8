#include "settings/RegularFile.h"

#include <array>
#include <fcntl.h>
#include <unistd.h>

namespace tryzone
{

ReadOutcome ReadBounded(int descriptor, std::string& text, std::size_t maxBytes)
{
    std::array<char, 16384> chunk{};
    for (;;)
    {
        const ssize_t count = ReadSome(descriptor, chunk.data(), chunk.size());
        if (count <= 0)
        {
            return count == 0 ? ReadOutcome::Read : ReadOutcome::Failed;
        }
        if (text.size() + static_cast<std::size_t>(count) > maxBytes)
        {
            return ReadOutcome::TooLarge;
        }
        text.append(chunk.data(), static_cast<std::size_t>(count));
    }
}

OpenOutcome OpenRegular(const std::string& path, Descriptor& file, struct stat& status)
{
    if (::stat(path.c_str(), &status) != 0)
    {
        return OpenOutcome::CannotOpen;
    }
    if (!S_ISREG(status.st_mode))
    {
        return OpenOutcome::NotAFile;
    }
    file.Reset(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!file.IsOpen())
    {
        return OpenOutcome::CannotOpen;
    }
    if (::fstat(file.Get(), &status) != 0 || !S_ISREG(status.st_mode))
    {
        return OpenOutcome::NotAFile;
    }
    return OpenOutcome::Opened;
}

} // namespace tryzone
