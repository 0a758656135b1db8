// libFuzzer target: any bytes as a part of a sharded run given to tryzone-sim merge. Merging must refuse it with one
// line or merge it without a crash (a stack overflow on deep nesting included), a leak, undefined behaviour or a
// hang. Parts of any build are taken, so that what follows the build check is reached; those are not played again.
#include "shards/Shards.h"

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
    std::fprintf(stderr, "part: %s\n", why);
    std::abort();
}

const std::string& Path()
{
    static const std::string path = "/tmp/tryzone-fuzz-part-" + std::to_string(::getpid()) + ".json";
    return path;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::FILE* file = std::fopen(Path().c_str(), "wb");
    if (file == nullptr || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0)
    {
        Fail("cannot write the input's file");
    }
    const auto merged = MergeParts({Path()}, true);
    if (!merged && (merged.Reason().empty() || merged.Reason().find('\n') != std::string::npos))
    {
        Fail("a refused part without its one line");
    }
    if (merged && merged->frames < 0)
    {
        Fail("a merged run with a negative number of frames");
    }
    return 0;
}
