#include "files/LogFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tryzone
{

LogFile::LogFile() : stream(nullptr) {}

LogFile::~LogFile()
{
    stream.flush();
    if (descriptor >= 0 && !standardOutput)
    {
        close(descriptor);
    }
}

int LogFile::Open(const std::string& path)
{
    standardOutput = path == "-";
    descriptor = standardOutput ? STDOUT_FILENO : open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (descriptor < 0)
    {
        return errno;
    }
    return Adopt(descriptor);
}

int LogFile::Adopt(int opened)
{
    descriptor = opened;
    struct stat status
    {
    };
    cuttable = fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode) && !standardOutput;
    buffer = std::make_unique<DescriptorBuffer>(descriptor);
    stream.rdbuf(buffer.get());
    return 0;
}

bool LogFile::CutTo(std::uint64_t length)
{
    stream.flush();
    if (!cuttable || Error() != 0 || length > buffer->Taken())
    {
        return false;
    }
    const auto at = static_cast<off_t>(length);
    if (ftruncate(descriptor, at) != 0 || lseek(descriptor, at, SEEK_SET) != at)
    {
        return false;
    }
    buffer->Restart(length);
    return true;
}

} // namespace tryzone
