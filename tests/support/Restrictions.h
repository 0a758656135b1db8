#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <sys/resource.h>

namespace tryzone
{

// Faults a child program is started with, as a person's machine might impose them.
struct Restrictions
{
    // Writes past this many bytes of any one file fail (EFBIG) rather than kill the program.
    std::optional<rlim_t> fileSizeLimit;
    // File permissions hold even for root, who otherwise reads and writes anything.
    bool obeyFilePermissions = false;
    // Seconds after which the program is killed (SIGALRM, kept across exec), so that a hang fails a test instead
    // of stopping the suite; 0 for none.
    unsigned timeLimitSeconds = 0;
};

// In a forked child, before exec: works in the folder, sends standard output and error to the two files and applies
// the restrictions. A step that fails ends the child: 126 for the folder, 125 for the restrictions.
void PrepareChild(const std::filesystem::path& folder, const std::string& out, const std::string& err,
                  const Restrictions& restrictions);

} // namespace tryzone
