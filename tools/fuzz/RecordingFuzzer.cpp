// libFuzzer target: any bytes as a recording of the game. Reading must refuse it with one line or accept it without
// a crash, a leak, undefined behaviour or a hang; a short recording accepted is also played to its last frame, as
// tryzone-sim --replay plays it.
#include "run/MatchTimeline.h"
#include "run/Recording.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

using namespace tryzone;

namespace
{
[[noreturn]] void Fail(const char* why)
{
    std::fprintf(stderr, "recording: %s\n", why);
    std::abort();
}

// The file the reader reads, as a user's recording would be: one per process, rewritten for each input.
const std::string& Path()
{
    static const std::string path = "/tmp/tryzone-fuzz-recording-" + std::to_string(::getpid()) + ".jsonl";
    return path;
}

// Frames a fuzzed recording is played for at most: enough to reach every kind of input, few enough to stay fast.
constexpr std::int64_t kMaxPlayedFrames = 400;
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::FILE* file = std::fopen(Path().c_str(), "wb");
    if (file == nullptr || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0)
    {
        Fail("cannot write the input's file");
    }
    const auto read = ReadRecording(Path());
    if (!read)
    {
        if (read.Reason().empty() || read.Reason().find('\n') != std::string::npos)
        {
            Fail("a refused recording without its one line");
        }
        return 0;
    }
    if (read->lastFrame < 0 || read->warning.find('\n') != std::string::npos)
    {
        Fail("an accepted recording with a negative end or a warning of several lines");
    }
    if (read->lastFrame <= kMaxPlayedFrames)
    {
        static_cast<void>(ReplayHeadless(*read, nullptr, nullptr));
    }
    return 0;
}
