#include "window/GameCommandLine.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <limits>

std::variant<GameOptions, HelpRequest, CommandLineError> ParseGameCommandLine(int argc, const char* const* argv)
{
    GameOptions options;
    CLI::App app("Plays a rugby match between two computer-controlled teams of five, in a window.", "tryzone");
    std::uint64_t seed = 0;
    auto* seedOption =
        app.add_option("--seed", seed, "the match's random numbers come from S (a match seed of tryzone-sim's JSON)")
            ->type_name("S")
            ->check(CLI::Range(std::uint64_t{0}, std::uint64_t{std::numeric_limits<std::uint32_t>::max()}));
    auto* settings = app.add_option("--settings", options.settings, "players' settings file (PlayersSettings.json)")
                         ->type_name("FILE");
    auto* record = app.add_option("--record", options.record, "write a recording of the match")->type_name("FILE");
    auto* blue = app.add_option("--blue-tactics", options.blueTactics,
                                "the blue team's tactics file (NAME.tactics.json), reloaded when it changes")
                     ->type_name("FILE");
    auto* red = app.add_option("--red-tactics", options.redTactics, "the red team's tactics file")->type_name("FILE");
    app.add_option("--replay", options.replay, "play a recording")
        ->type_name("FILE")
        ->check(CLI::ExistingFile)
        ->excludes(seedOption)
        ->excludes(settings)
        ->excludes(record)
        ->excludes(blue)
        ->excludes(red);
    app.add_option("--events", options.events, "one JSON line per match event, as tryzone-sim --events writes")
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
    if (seedOption->count() > 0)
    {
        options.seed = static_cast<std::uint32_t>(seed);
    }
    return options;
}
