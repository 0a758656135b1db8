#include "BenchOptions.h"

#include "cli/Options.h"

namespace tryzone
{

// Apart from main, whose replaced operator new would otherwise be inlined into the parser's allocations.
std::optional<int> ParseBenchOptions(int argc, const char* const* argv, BenchOptions& options)
{
    constexpr long long kMaxFrames = 1000000000;
    constexpr int kMaxRuns = 1000;
    CLI::App app("Measures the match simulation as the game runs it, minus the window, after 60000 frames of\n"
                 "warm-up: simulated frames per CPU second (the process's CPU time, not the wall clock) and heap\n"
                 "allocations per frame. Debug mode off, no observer, the default players.",
                 "tryzone-bench");
    FormatHelp(app, "[frames per run] [runs]");
    app.add_option_function<std::string>(
           "frames",
           [&options](const std::string& text)
           { options.frames = static_cast<long long>(WholeNumber("frames per run", text, 1, kMaxFrames)); },
           "frames per run, 1 to " + std::to_string(kMaxFrames) + " (default 1000000)")
        ->type_name("");
    app.add_option_function<std::string>(
           "runs",
           [&options](const std::string& text)
           { options.runs = static_cast<int>(WholeNumber("runs", text, 1, kMaxRuns)); },
           "runs, 1 to " + std::to_string(kMaxRuns) + "; the median speed ends the report (default 5)")
        ->type_name("");
    app.add_flag("--draw", options.draw,
                 "also draw every frame as the game's window does, debug mode on, into an off-screen\n"
                 "1280x720 picture with the game's font (needs a display)");
    return ParseCommandLine(app, argc, argv);
}

} // namespace tryzone
