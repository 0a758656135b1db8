#include "support/GameProcess.h"

#include "support/X11.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace tryzone
{

namespace
{
using namespace std::chrono_literals;

bool WaitForExit(pid_t pid, int& status, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline)
    {
        if (waitpid(pid, &status, WNOHANG) == pid)
        {
            return true;
        }
        std::this_thread::sleep_for(20ms);
    }
    return false;
}
} // namespace

GameProcess::GameProcess(std::filesystem::path gameFolder, Restrictions limits)
    : folder(std::move(gameFolder)), restrictions(limits)
{
}

GameProcess::~GameProcess()
{
    if (pid > 0)
    {
        kill(pid, SIGKILL);
        int status = 0;
        waitpid(pid, &status, 0);
    }
}

bool GameProcess::Start(const std::vector<std::string>& arguments)
{
    std::vector<char*> argv{const_cast<char*>("tryzone")};
    for (const std::string& argument : arguments)
    {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    const std::string out = (outputs.Path() / "stdout.txt").string();
    const std::string err = (outputs.Path() / "stderr.txt").string();
    pid = fork();
    if (pid == 0)
    {
        PrepareChild(folder, out, err, restrictions);
#if defined(__SANITIZE_ADDRESS__)
        // The game's leaks are checked too: preloaded, the GL driver stays mapped until LeakSanitizer has looked
        // (see Display.h). A preload ahead of the sanitizer's runtime is harmless here, so ASan is told not to mind.
        setenv("LD_PRELOAD", TRYZONE_GL_DRIVER_PATH, 1);
        const char* asan = std::getenv("ASAN_OPTIONS");
        const std::string options = std::string(asan != nullptr ? asan : "") + ":verify_asan_link_order=0";
        setenv("ASAN_OPTIONS", options.c_str(), 1);
#endif
        execv(TRYZONE_GAME_PATH, argv.data());
        _exit(127);
    }
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (std::chrono::steady_clock::now() < deadline)
    {
        window = x11::FindWindow("TryZone");
        if (window != 0)
        {
            // Without a window manager the window may open partly off screen; bring all of it into view.
            x11::MoveWindow(window, 0, 0);
            std::this_thread::sleep_for(100ms);
            return true;
        }
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid)
        {
            pid = -1;
            exitStatus = status;
            return false;
        }
        std::this_thread::sleep_for(50ms);
    }
    return false;
}

int GameProcess::Close()
{
    return Stop(0);
}

int GameProcess::Stop(int signal)
{
    if (pid <= 0)
    {
        return -1;
    }
    if (signal == 0)
    {
        x11::SendCloseRequest(window);
    }
    else
    {
        kill(pid, signal);
    }
    int status = 0;
    if (!WaitForExit(pid, status, 20s))
    {
        return -1;
    }
    pid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

std::string GameProcess::Stdout() const
{
    return ReadFile(outputs.Path() / "stdout.txt");
}

std::string GameProcess::Stderr() const
{
    return ReadFile(outputs.Path() / "stderr.txt");
}

} // namespace tryzone
