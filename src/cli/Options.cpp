#include "cli/Options.h"

#include "run/MatchRunner.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <limits>
#include <set>
#include <tuple>
#include <system_error>

namespace tryzone
{

namespace
{
// The smallest --minutes: one frame.
constexpr double kMinMinutes = kFrameSeconds / 60.0;

std::string Bad(const std::string& option, const std::string& text, const std::string& accepted)
{
    return "bad value for " + option + ": '" + text + "' (" + accepted + ")";
}

double Minutes(const std::string& text)
{
    double minutes = 0.0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, minutes);
    if (error != std::errc() || stop != end || !std::isfinite(minutes) || minutes < kMinMinutes ||
        minutes > kMaxMinutes)
    {
        std::array<char, 64> accepted{};
        std::snprintf(accepted.data(), accepted.size(), "a number of minutes from one frame, %.6g, to %.0f",
                      kMinMinutes, kMaxMinutes);
        throw CLI::ValidationError(Bad("--minutes", text, accepted.data()));
    }
    return minutes;
}

std::string FileName(const std::string& option, const std::string& text)
{
    if (text.empty())
    {
        throw CLI::ValidationError(Bad(option, text, "a file name"));
    }
    return text;
}

class HelpFormatter : public CLI::Formatter
{
public:
    explicit HelpFormatter(std::string usageLine) : usage(std::move(usageLine)) {}

    std::string make_description(const CLI::App*) const override { return {}; }

    // The value's name alone on the option's line; what it needs or excludes goes below its description, where it
    // does not run into the description's column.
    std::string make_option_opts(const CLI::Option* option) const override
    {
        std::string opts =
            option->get_type_size() != 0 && !option->get_type_name().empty() ? " " + option->get_type_name() : "";
        if (option->get_expected_max() == CLI::detail::expected_max_vector_size)
        {
            opts += " ...";
        }
        return opts;
    }

    std::string make_option_desc(const CLI::Option* option) const override
    {
        std::string description = option->get_description();
        const auto list = [&description](const char* label, const std::set<CLI::Option*>& options)
        {
            if (!options.empty())
            {
                description += std::string("\n") + label;
                for (const CLI::Option* other : options)
                {
                    description += " " + other->get_name();
                }
            }
        };
        list("(needs", option->get_needs());
        list(option->get_needs().empty() ? "(not with" : "; not with", option->get_excludes());
        if (!option->get_needs().empty() || !option->get_excludes().empty())
        {
            description += ")";
        }
        return description;
    }

    std::string make_usage(const CLI::App* app, std::string name) const override
    {
        return "Usage: " + name + " " + usage + "\n\n" + app->get_description() + "\n";
    }

private:
    std::string usage;
};

} // namespace

CLI::Option* AddFile(CLI::App& app, const std::string& option, std::string& file, const std::string& description)
{
    return app
        .add_option_function<std::string>(
            option, [&file, option](const std::string& text) { file = FileName(option, text); }, description)
        ->type_name("FILE");
}

std::uint64_t WholeNumber(const std::string& option, const std::string& text, std::uint64_t min, std::uint64_t max)
{
    std::uint64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || stop != end || value < min || value > max)
    {
        throw CLI::ValidationError(
            Bad(option, text, "a whole number from " + std::to_string(min) + " to " + std::to_string(max)));
    }
    return value;
}

void FormatHelp(CLI::App& app, const std::string& usage)
{
    app.formatter(std::make_shared<HelpFormatter>(usage));
    app.get_formatter()->column_width(21);
    app.option_defaults()->group("Options")->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    app.set_help_flag("-h,--help", "show this text");
}

std::unique_ptr<CLI::App> MakeCommandLine(Options& options)
{
    auto app = std::make_unique<CLI::App>(
        "Plays whole TryZone matches without a window, with the game's own match code, as fast as the machine "
        "allows,\nand reports what happened. Each match starts like the game: the kick-off formation, red on the "
        "ball.",
        "tryzone-sim");
    FormatHelp(*app, "[options]");
    app->footer(
        R"(The summary goes to standard output; its last two lines, the speed (frames per second of wall-clock time while
the matches play) and the pace (matches per minute, and the time 1000 and 100000 of them take), are the only ones
that differ between two runs of the same seed. A progress bar goes to standard error when it is a terminal.
Exit status: 0 on success, 2 for a bad command line or a settings file that does not load, 1 when an output
file cannot be written, 3 when --check finds a rule broken.)");

    app->add_option_function<std::string>(
           "--settings",
           [&options](const std::string& text)
           {
               options.settings = FileName("--settings", text);
               options.settingsGiven = true;
           },
           "players' settings to use (default: PlayersSettings.json in the working directory, or the\nten default "
           "players when there is no such file). A file that fails to load is an error;\nno settings file is ever "
           "written.")
        ->type_name("FILE");
    app->add_option_function<std::string>(
           "--matches",
           [&options](const std::string& text)
           { options.matches = static_cast<int>(WholeNumber("--matches", text, 1, kMaxMatches)); },
           "number of matches to play, 1 to " + std::to_string(kMaxMatches) + " (default 1)")
        ->type_name("N");
    std::array<char, 200> minutes{};
    std::snprintf(minutes.data(), minutes.size(),
                  "simulated minutes per match, %.6g (one frame) to %.0f (default 80); a frame\nadvances the match "
                  "by %g s, the game's capped frame time",
                  kMinMinutes, kMaxMinutes, kFrameSeconds);
    app->add_option_function<std::string>(
           "--minutes", [&options](const std::string& text) { options.minutes = Minutes(text); }, minutes.data())
        ->type_name("M");
    app->add_option_function<std::string>(
           "--seed",
           [&options](const std::string& text)
           { options.seed = WholeNumber("--seed", text, 0, std::numeric_limits<std::uint64_t>::max()); },
           "seed of the random numbers (0 to 18446744073709551615); the same seed, settings and\noptions give the "
           "same results, byte for byte. Without it a seed is drawn and printed.")
        ->type_name("S");
    AddFile(*app, "--json", options.jsonFile, "write every match's results and the totals as JSON");
    AddFile(*app, "--events", options.eventsFile,
            "write one JSON line per event: kick-off, pass attempt (with its roll and threshold),\npass, tackle "
            "attempt (with roll and threshold), tackle and try");
    AddFile(*app, "--heatmap", options.heatmapFile,
            "write a PNG picture of the pitch coloured by where the ball spent its time");
    app->add_flag("--check", options.checkRules,
                  "check the match's rules after every frame: the ball carrier is the ball's holder, the ball\nsits "
                  "on him, every player stays in his lane, every position, speed and timer is finite, the\nscores "
                  "never fall nor rise by more than one a frame, and a try puts everyone on his\nkick-off spot. The "
                  "first rule broken ends the run, naming the match, the frame and the rule.");
    AddBrainOptions(*app, options.brains);
    return app;
}

std::optional<int> ParseCommandLine(CLI::App& app, int argc, const char* const* argv)
{
    try
    {
        app.parse(argc, argv);
    }
    catch (const CLI::CallForHelp&)
    {
        std::cout << app.help();
        return 0;
    }
    catch (const CLI::ParseError& error)
    {
        std::string reason = error.what();
        // "The following ..." reads on after the program's name in lower case; a name such as "FILE" stays as it is.
        if (reason.size() > 1 && std::islower(static_cast<unsigned char>(reason[1])) != 0)
        {
            reason[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(reason[0])));
        }
        std::cerr << app.get_name() << ": " << reason << " (see --help)" << std::endl;
        return 2;
    }
    return std::nullopt;
}

} // namespace tryzone
