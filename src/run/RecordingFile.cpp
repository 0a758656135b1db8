#include "run/RecordingFile.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace tryzone
{

RecordingFile::~RecordingFile()
{
    if (descriptor >= 0)
    {
        ::close(descriptor);
    }
}

bool RecordingFile::Open(const std::string& path)
{
    // In place, not an AtomicFile: a recording streams while the game runs, and after a crash its lines are wanted.
    descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    return descriptor >= 0;
}

void RecordingFile::WriteHeader(std::string_view line)
{
    Write(line);
}

void RecordingFile::WriteInput(std::string_view line)
{
    if (descriptor >= 0)
    {
        starts.push_back(::lseek(descriptor, 0, SEEK_CUR));
    }
    Write(line);
}

void RecordingFile::KeepInputs(std::size_t count)
{
    if (descriptor < 0 || error != 0 || count >= starts.size())
    {
        return;
    }
    if (::ftruncate(descriptor, starts[count]) != 0 || ::lseek(descriptor, starts[count], SEEK_SET) < 0)
    {
        error = errno;
        return;
    }
    starts.resize(count);
}

void RecordingFile::WriteEnd(std::string_view line)
{
    Write(line);
}

void RecordingFile::Write(std::string_view line)
{
    // Straight to the file, unbuffered: a line written is a line kept.
    // A recording that cannot be written does not stop the game; the caller reports Error().
    while (descriptor >= 0 && error == 0 && !line.empty())
    {
        const ssize_t written = ::write(descriptor, line.data(), line.size());
        if (written < 0 && errno == EINTR)
        {
            continue;
        }
        if (written <= 0)
        {
            error = written < 0 ? errno : EIO;
            return;
        }
        line.remove_prefix(static_cast<std::size_t>(written));
    }
}

} // namespace tryzone
