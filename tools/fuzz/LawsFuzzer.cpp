// libFuzzer target: any bytes as a laws file. Checking must return an error or laws without a crash, a leak,
// undefined behaviour or a hang; and whatever it accepts must write to a text that reads back to the same laws.
#include "laws/Laws.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

using namespace tryzone;

namespace
{
[[noreturn]] void Fail(const char* why)
{
    std::fprintf(stderr, "laws round trip: %s\n", why);
    std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const Expected<Laws> laws = ParseLaws(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.json");
    if (!laws)
    {
        if (laws.Reason().empty() || laws.Reason().find('\n') != std::string::npos)
        {
            Fail("a refused file without its one line");
        }
        return 0;
    }
    const Expected<Laws> again = ParseLaws(LawsText(*laws), "saved.json");
    if (!again)
    {
        Fail("written laws do not read back");
    }
    if (!(*again == *laws))
    {
        Fail("written laws read back as other laws");
    }
    return 0;
}
