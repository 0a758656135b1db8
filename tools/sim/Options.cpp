#include "Options.h"

#include <charconv>
#include <cmath>
#include <string_view>
#include <system_error>

namespace
{
template <class T> std::optional<T> ParseNumber(std::string_view text)
{
    T value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
    {
        return std::nullopt;
    }
    return value;
}
} // namespace

const char* HelpText()
{
    return R"(Usage: tryzone-sim [options]

Plays whole TryZone matches without a window, with the game's own match code, as fast as the machine allows,
and reports what happened. Each match starts like the game: the kick-off formation, red on the ball.

Options:
  --settings FILE    players' settings to use (default: PlayersSettings.json in the working directory, or the
                     ten default players when there is no such file). A file that fails to load is an error;
                     no settings file is ever written.
  --matches N        number of matches to play (default 1)
  --minutes M        simulated minutes per match (default 80); a frame advances the match by 0.00835 s,
                     the game's capped frame time
  --seed S           seed of the random numbers (0 to 18446744073709551615); the same seed, settings and
                     options give the same results, byte for byte. Without it a seed is drawn and printed.
  --json FILE        write every match's results and the totals as JSON
  --events FILE      write one JSON line per event: kick-off, pass attempt (with its roll and threshold),
                     pass, tackle attempt (with roll and threshold), tackle and try
  --heatmap FILE     write a PNG picture of the pitch coloured by where the ball spent its time
  --check            check the match's rules after every frame: the ball carrier is the ball's holder, the ball
                     sits on him, every player stays in his lane, every position, speed and timer is finite, the
                     scores never fall nor rise by more than one a frame, and a try puts everyone on his
                     kick-off spot. The first rule broken ends the run, naming the match, the frame and the rule.
  --help             show this text

The summary goes to standard output; its last line, the speed, is the only one that differs between two runs
of the same seed. A progress bar goes to standard error when it is a terminal.
Exit status: 0 on success, 2 for a bad command line or a settings file that does not load, 1 when an output
file cannot be written, 3 when --check finds a rule broken.
)";
}

std::variant<Options, std::string> ParseOptions(int argc, const char* const* argv)
{
    Options options;
    for (int i = 1; i < argc; ++i)
    {
        const std::string_view name = argv[i];
        if (name == "--help" || name == "-h")
        {
            options.help = true;
            continue;
        }
        if (name == "--check")
        {
            options.checkRules = true;
            continue;
        }
        const bool takesValue = name == "--settings" || name == "--matches" || name == "--minutes" ||
                                name == "--seed" || name == "--json" || name == "--events" || name == "--heatmap";
        if (!takesValue)
        {
            return "unknown option " + std::string(name);
        }
        if (i + 1 >= argc)
        {
            return std::string(name) + " needs a value";
        }
        const std::string_view value = argv[++i];
        const std::string bad = "bad value for " + std::string(name) + ": '" + std::string(value) + "'";
        if (name == "--matches")
        {
            const auto matches = ParseNumber<int>(value);
            if (!matches || *matches < 1)
            {
                return bad + " (a whole number of at least 1)";
            }
            options.matches = *matches;
        }
        else if (name == "--minutes")
        {
            const auto minutes = ParseNumber<double>(value);
            if (!minutes || !std::isfinite(*minutes) || *minutes <= 0.0 || *minutes > 100000.0)
            {
                return bad + " (a number of minutes above 0 and at most 100000)";
            }
            options.minutes = *minutes;
        }
        else if (name == "--seed")
        {
            const auto seed = ParseNumber<std::uint64_t>(value);
            if (!seed)
            {
                return bad + " (a whole number from 0 to 18446744073709551615)";
            }
            options.seed = *seed;
        }
        else if (value.empty())
        {
            return bad + " (a file name)";
        }
        else if (name == "--settings")
        {
            options.settings = value;
            options.settingsGiven = true;
        }
        else if (name == "--json")
        {
            options.jsonFile = value;
        }
        else if (name == "--events")
        {
            options.eventsFile = value;
        }
        else
        {
            options.heatmapFile = value;
        }
    }
    return options;
}
