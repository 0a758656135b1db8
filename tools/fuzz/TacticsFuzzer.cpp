// libFuzzer target: any bytes as a tactics file. Checking must return an error or a tactic without a crash, a leak,
// undefined behaviour or a hang; and whatever it accepts must save to a text that loads back to the same tactic.
#include "tactics/TacticsFile.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

using namespace tryzone;

namespace
{
[[noreturn]] void Fail(const char* why)
{
    std::fprintf(stderr, "tactics round trip: %s\n", why);
    std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const TacticsRead read = ParseTactics(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.json");
    if (read.tactic == nullptr)
    {
        if (read.error.empty() || read.error.find('\n') != std::string::npos)
        {
            Fail("a refused file without its one line");
        }
        return 0;
    }
    const TacticsRead again = ParseTactics(TacticText(read.tactic->source), "saved.json");
    if (again.tactic == nullptr)
    {
        Fail("a saved tactic does not load");
    }
    if (!(again.tactic->source == read.tactic->source))
    {
        Fail("a saved tactic loads as another");
    }
    return 0;
}
