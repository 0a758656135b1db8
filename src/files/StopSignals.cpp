#include "files/StopSignals.h"

#include <array>
#include <climits>
#include <csignal>
#include <cstring>
#include <unistd.h>

namespace tryzone
{

namespace
{
volatile std::sig_atomic_t stopSignal = 0;

// Fixed storage: the handler may only read memory that no allocation moves.
std::array<std::array<char, PATH_MAX>, 8> removable{};
volatile std::sig_atomic_t removableCount = 0;

extern "C" void OnStopSignal(int signal)
{
    if (stopSignal == 0)
    {
        stopSignal = signal;
        return;
    }
    for (std::sig_atomic_t i = 0; i < removableCount; ++i)
    {
        unlink(removable[static_cast<std::size_t>(i)].data());
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}
} // namespace

void CatchStopSignals()
{
    struct sigaction action
    {
    };
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
}

const volatile std::sig_atomic_t& StopSignal()
{
    return stopSignal;
}

void RemoveOnSecondSignal(const std::vector<std::string>& paths)
{
    removableCount = 0;
    std::sig_atomic_t count = 0;
    for (const std::string& path : paths)
    {
        if (count == static_cast<std::sig_atomic_t>(removable.size()) || path.size() >= PATH_MAX)
        {
            continue;
        }
        std::memcpy(removable[static_cast<std::size_t>(count)].data(), path.c_str(), path.size() + 1);
        ++count;
    }
    removableCount = count;
}

} // namespace tryzone
