#pragma once

#include "support/Restrictions.h"

#include <filesystem>
#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace tryzone
{

struct ProgramRun
{
    int status = -1; // exit status; 128 + signal when killed
    std::string out;
    std::string err;
};

// Told, while the program runs, its process and the file its standard output goes to.
using WhileRunning = std::function<void(pid_t, const std::filesystem::path&)>;

// Runs a program to its end in the given working folder, with standard output and error kept apart.
ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const std::filesystem::path& folder, const Restrictions& restrictions = {},
                      const WhileRunning& whileRunning = {});

} // namespace tryzone
