#include "window/GameSignals.h"

namespace tryzone
{

namespace
{
volatile std::sig_atomic_t stopSignal = 0;

extern "C" void OnStopSignal(int signal)
{
    if (stopSignal == 0)
    {
        stopSignal = signal;
        return;
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}
} // namespace

void CatchGameSignals()
{
    struct sigaction action
    {
    };
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    std::signal(SIGXFSZ, SIG_IGN);
    // A reader of --events - that goes away must not end the match: the failed write is reported once, play goes
    // on and the recording still gets its end line.
    std::signal(SIGPIPE, SIG_IGN);
}

int GameStopSignal()
{
    return stopSignal;
}

} // namespace tryzone
