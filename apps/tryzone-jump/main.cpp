// Times the playback's jumps at the end of a match: 10 s back and forward again, back to the kick-off and to the end
// once more. Each jump restores the nearest checkpoint before its target and re-plays the rest without drawing. A
// recording given as the argument is jumped in instead (from its last frame), so a recording doubles as a benchmark.
// Usage: tryzone-jump [RECORDING]

#include "core/CpuTime.h"
#include "run/MatchTimeline.h"

#include <cstdio>
#include <iostream>
#include <string>

using namespace tryzone;

int main(int argc, char** argv)
{
    const std::string usage = "Usage: tryzone-jump [RECORDING]\nTimes the playback's jumps at the end of a match "
                              "(80 minutes of seed 1, or the recording given).\n";
    if (argc > 2 || (argc == 2 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h")))
    {
        (argc > 2 ? std::cerr : std::cout) << usage;
        return argc > 2 ? 2 : 0;
    }
    Recording recording;
    if (argc > 1)
    {
        auto read = ReadRecording(argv[1]);
        if (!read)
        {
            std::cerr << "tryzone-jump: " << read.Reason() << std::endl;
            return 2;
        }
        recording = std::move(*read);
    }
    else
    {
        const auto defaults = DefaultPlayers();
        recording.players.assign(defaults.begin(), defaults.end());
        recording.seed = 1;
        recording.lastFrame = FramesFor(80.0);
    }

    MatchTimeline timeline(recording.seed, recording.players, nullptr, recording.tactics, recording.numbering);
    timeline.Preload(recording.inputs, recording.lastFrame);
    const double start = ProcessCpuSeconds();
    timeline.JumpTo(recording.lastFrame);
    std::printf("Match of %lld frames (seed %u), played through in %.3f s of CPU, %zu checkpoints kept\n",
                static_cast<long long>(recording.lastFrame), recording.seed, ProcessCpuSeconds() - start,
                timeline.CheckpointFrames().size());

    const auto jump = [&timeline](const char* what, std::int64_t target)
    {
        const double begun = ProcessCpuSeconds();
        const std::int64_t played = timeline.JumpTo(target);
        std::printf("%-28s %8.3f ms of CPU (re-play of %lld frames)\n", what, (ProcessCpuSeconds() - begun) * 1000.0,
                    static_cast<long long>(played));
    };
    jump("Jump 10 s back from the end:", recording.lastFrame - kJumpFrames);
    jump("Jump 10 s forward again:", recording.lastFrame);
    jump("Jump to the kick-off:", timeline.KickOffFrame());
    jump("Jump to the end:", recording.lastFrame);
    return 0;
}
