#include "files/DescriptorBuffer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace tryzone
{

namespace
{
constexpr std::size_t kBufferSize = 1 << 16;
} // namespace

DescriptorBuffer::DescriptorBuffer(int fileDescriptor) : descriptor(fileDescriptor), buffer(kBufferSize)
{
    setp(buffer.data(), buffer.data() + buffer.size());
}

std::uint64_t DescriptorBuffer::Taken() const
{
    return drained + static_cast<std::uint64_t>(pptr() - pbase());
}

bool DescriptorBuffer::Drain()
{
    const char* data = pbase();
    std::size_t left = static_cast<std::size_t>(pptr() - pbase());
    drained += left;
    while (left > 0 && error == 0)
    {
        const ssize_t written = write(descriptor, data, left);
        if (written < 0)
        {
            if (errno != EINTR)
            {
                error = errno;
            }
            continue;
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    setp(buffer.data(), buffer.data() + buffer.size());
    return error == 0;
}

DescriptorBuffer::int_type DescriptorBuffer::overflow(int_type c)
{
    if (!Drain())
    {
        return traits_type::eof();
    }
    if (!traits_type::eq_int_type(c, traits_type::eof()))
    {
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
    }
    return traits_type::not_eof(c);
}

std::streamsize DescriptorBuffer::xsputn(const char* data, std::streamsize size)
{
    std::streamsize done = 0;
    while (done < size)
    {
        if (pptr() == epptr() && !Drain())
        {
            break;
        }
        const std::streamsize room = std::min<std::streamsize>(epptr() - pptr(), size - done);
        std::memcpy(pptr(), data + done, static_cast<std::size_t>(room));
        pbump(static_cast<int>(room));
        done += room;
    }
    return done;
}

int DescriptorBuffer::sync()
{
    return Drain() ? 0 : -1;
}

} // namespace tryzone
