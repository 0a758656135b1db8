#include "window/GameCommandLine.h"

#include "run/MatchRunner.h"
#include "run/Recording.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace tryzone
{

namespace
{
std::optional<std::uint32_t> SeedFrom(const std::string& text)
{
    std::uint32_t seed = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, seed);
    if (text.empty() || error != std::errc() || stop != end)
    {
        return std::nullopt;
    }
    return seed;
}

// As many minutes as make from one frame to the longest match a recording holds.
std::optional<double> MinutesFrom(const std::string& text)
{
    double minutes = 0.0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, minutes);
    // The simulator's bounds: one frame to 100000 minutes.
    if (text.empty() || error != std::errc() || stop != end || !(minutes >= kFrameSeconds / 60.0) ||
        minutes > kMaxMinutes)
    {
        return std::nullopt;
    }
    return minutes;
}

// The seed and the minutes given as text, read into options; why not, when one is no such number.
std::optional<CommandLineError> ReadNumbers(const std::string* seedText, const std::string* minutesText,
                                            GameOptions& options)
{
    if (seedText != nullptr)
    {
        options.seed = SeedFrom(*seedText);
        if (!options.seed)
        {
            return CommandLineError{"--seed " + seedText->substr(0, 40) + ": not a whole number from 0 to " +
                                    std::to_string(std::numeric_limits<std::uint32_t>::max())};
        }
    }
    if (minutesText != nullptr)
    {
        options.minutes = MinutesFrom(*minutesText);
        if (!options.minutes)
        {
            return CommandLineError{"--minutes " + minutesText->substr(0, 40) +
                                    ": not a number of minutes from one frame to 100000"};
        }
    }
    return std::nullopt;
}
} // namespace

std::variant<GameOptions, HelpRequest, CommandLineError> ParseGameCommandLine(int argc, const char* const* argv)
{
    GameOptions options;
    CLI::App app("Plays a rugby match between two computer-controlled teams of five, in a window.", "tryzone");
    std::string seedText;
    auto* seedOption = app.add_option("--seed", seedText,
                                      "the match's random numbers come from S (a match seed of tryzone-sim's JSON)")
                           ->type_name("S");
    auto* settings = app.add_option("--settings", options.settings, "players' settings file (PlayersSettings.json)")
                         ->type_name("FILE");
    auto* record = app.add_option("--record", options.record, "write a recording of the match")->type_name("FILE");
    auto* blue = app.add_option("--blue-tactics", options.blueTactics,
                                "the blue team's tactics file (NAME.tactics.json), reloaded when it changes")
                     ->type_name("FILE");
    auto* red = app.add_option("--red-tactics", options.redTactics, "the red team's tactics file")->type_name("FILE");
    auto* laws =
        app.add_option("--laws", options.laws,
                       "the laws file (NAME.laws.json; default: the game's own laws), reloaded when it changes")
            ->type_name("FILE");
    std::string minutesText;
    auto* minutes =
        app.add_option("--minutes", minutesText,
                       "each match lasts M simulated minutes, frame for frame as tryzone-sim --minutes M's, "
                       "then stops on its last frame")
            ->type_name("M");
    auto* match = app.add_option("--match", options.match,
                                 "number the match N in the --events log, as tryzone-sim's match N (default 1)")
                      ->type_name("N")
                      ->check(CLI::Range(1, kMaxMatch));
    AddBrainOptions(app, options.brains);
    AddTeamOptions(app, options.brains, {&options.blueTactics, &options.redTactics});
    auto* replay = app.add_option("--replay", options.replay, "play a recording")
                       ->type_name("FILE")
                       ->excludes(seedOption)
                       ->excludes(settings)
                       ->excludes(record)
                       ->excludes(blue)
                       ->excludes(red)
                       ->excludes(laws)
                       ->excludes(minutes)
                       ->excludes(match);
    // A recording holds its brains' orders: the replay plays them.
    for (const char* brain :
         {"--brain", "--blue-brain", "--red-brain", "--decision-frames", "--blue-team", "--red-team"})
    {
        replay->excludes(app.get_option(brain));
    }
    app.add_option("--events", options.events,
                   "one JSON line per event of the match kept (as tryzone-sim --events writes); - for standard output")
        ->type_name("FILE");
    try
    {
        app.parse(argc, argv);
    }
    catch (const CLI::CallForHelp&)
    {
        return HelpRequest{app.help()};
    }
    catch (const CLI::ParseError& error)
    {
        std::string reason = error.what();
        std::replace(reason.begin(), reason.end(), '\n', ' ');
        return CommandLineError{reason};
    }
    if (auto error = ReadNumbers(seedOption->count() > 0 ? &seedText : nullptr,
                                 minutes->count() > 0 ? &minutesText : nullptr, options))
    {
        return *error;
    }
    return options;
}

} // namespace tryzone
