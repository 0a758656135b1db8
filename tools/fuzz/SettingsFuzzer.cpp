// libFuzzer target: any bytes as the players' settings file. The load must return, reporting or not, without a
// crash, a leak, undefined behaviour or a hang; and whatever it accepts must survive a save and a second load.
#include "settings/PlayersConfig.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <streambuf>
#include <string>

using namespace tryzone;

namespace
{
// The store reports every outcome on the console; a million lines a minute would drown the fuzzer's own.
class NullBuffer : public std::streambuf
{
protected:
    int overflow(int c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char* /*text*/, std::streamsize count) override { return count; }
};

NullBuffer silence;
std::filesystem::path folder;

void RemoveFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

[[noreturn]] void Fail(const char* why)
{
    std::fprintf(stderr, "settings round trip: %s\n", why);
    std::abort();
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/)
{
    // Memory-backed where possible: every accepted input is saved, and a save waits for its data to reach the disk.
    const std::filesystem::path base =
        std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path();
    std::string pattern = (base / "tryzone-fuzz-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
    {
        std::perror("mkdtemp");
        std::exit(1);
    }
    folder = pattern;
    std::atexit(RemoveFolder);
    std::cout.rdbuf(&silence);
    std::cerr.rdbuf(&silence);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string input = (folder / "PlayersSettings.json").string();
    {
        std::ofstream file(input, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }

    PlayersConfig config(input);
    if (!config.Load())
    {
        return 0;
    }

    PlayersConfig saved((folder / "Saved.json").string());
    saved.records = config.records;
    if (!saved.Save())
    {
        Fail("an accepted file could not be saved");
    }
    PlayersConfig again(saved.fileName);
    if (!again.Load())
    {
        Fail("a saved file does not load");
    }
    if (again.records != config.records)
    {
        Fail("a saved file loads different records");
    }
    return 0;
}
