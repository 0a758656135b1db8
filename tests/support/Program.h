#pragma once

#include "support/Restrictions.h"

#include <filesystem>
#include <string>
#include <vector>

struct ProgramRun
{
    int status = -1; // exit status; 128 + signal when killed
    std::string out;
    std::string err;
};

// Runs a program to its end in the given working folder, with standard output and error kept apart.
ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const std::filesystem::path& folder, const Restrictions& restrictions = {});
