// Times the playback's jumps where they cost most: at the end of an 80-minute match, ten seconds back is a re-play
// of some 575,000 frames from the kick-off, with no drawing. A recording given as the argument is jumped in instead
// (from its last frame), so a recording doubles as a benchmark.
// Usage: tryzone-jump [RECORDING]

#include "play/MatchTimeline.h"

#include <cstdio>
#include <ctime>
#include <iostream>

namespace
{
// CPU time, as tryzone-bench measures: on a shared machine the wall clock mostly measures the other programs.
double CpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}
} // namespace

int main(int argc, char** argv)
{
    Recording recording;
    if (argc > 1)
    {
        auto read = ReadRecording(argv[1]);
        if (const auto* reason = std::get_if<std::string>(&read))
        {
            std::cerr << "tryzone-jump: " << *reason << std::endl;
            return 2;
        }
        recording = std::move(std::get<Recording>(read));
    }
    else
    {
        const auto defaults = DefaultPlayers();
        recording.players.assign(defaults.begin(), defaults.end());
        recording.seed = 1;
        recording.lastFrame = FramesFor(80.0);
    }

    MatchTimeline timeline(recording.seed, recording.players, nullptr);
    timeline.Preload(recording.inputs, recording.lastFrame);
    double start = CpuSeconds();
    timeline.JumpTo(recording.lastFrame);
    const double played = CpuSeconds() - start;
    start = CpuSeconds();
    timeline.JumpTo(recording.lastFrame - kJumpFrames);
    const double back = CpuSeconds() - start;
    start = CpuSeconds();
    timeline.JumpTo(recording.lastFrame);
    const double forward = CpuSeconds() - start;

    std::printf("Match of %lld frames (seed %u), first played through in %.3f s of CPU\n",
                static_cast<long long>(recording.lastFrame), recording.seed, played);
    std::printf("Jump 10 s back from its last frame (re-play of %lld frames): %.3f s of CPU\n",
                static_cast<long long>(recording.lastFrame - kJumpFrames), back);
    std::printf("Jump 10 s forward again: %.3f s of CPU\n", forward);
    return 0;
}
