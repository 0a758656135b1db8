#pragma once

#include <optional>
#include <sys/resource.h>

// Faults a child program is started with, as a person's machine might impose them.
struct Restrictions
{
    // Writes past this many bytes of any one file fail (EFBIG) rather than kill the program.
    std::optional<rlim_t> fileSizeLimit;
    // File permissions hold even for root, who otherwise reads and writes anything.
    bool obeyFilePermissions = false;
};

// Applies the restrictions to the calling process, meant for a forked child before exec; false if one cannot be.
bool ApplyInChild(const Restrictions& restrictions);
