#pragma once

#include "support/Files.h"
#include "support/Restrictions.h"

#include <filesystem>
#include <string>
#include <sys/types.h>
#include <vector>

namespace tryzone
{

// The real game, started as a person would start it: in a folder of its own, with its output kept in files elsewhere
// (so that the folder itself may be read-only).
class GameProcess
{
public:
    explicit GameProcess(std::filesystem::path folder, Restrictions restrictions = {});
    ~GameProcess();

    GameProcess(const GameProcess&) = delete;
    GameProcess& operator=(const GameProcess&) = delete;

    // Starts the game with the arguments and waits until its window is on the screen; false if it never appears.
    bool Start(const std::vector<std::string>& arguments = {});
    // Asks the window to close as its close button does and waits for the process; its exit code, or -1.
    int Close();
    // Sends the signal instead (0: the close request) and waits for the process; its exit code, or -1.
    int Stop(int signal);

    [[nodiscard]] unsigned long Window() const { return window; }
    // The wait status of a process that ended before its window appeared.
    [[nodiscard]] int EarlyExitStatus() const { return exitStatus; }
    [[nodiscard]] std::string Stdout() const;
    [[nodiscard]] std::string Stderr() const;

private:
    std::filesystem::path folder;
    Restrictions restrictions;
    TemporaryFolder outputs;
    pid_t pid = -1;
    unsigned long window = 0;
    int exitStatus = 0;
};

} // namespace tryzone
