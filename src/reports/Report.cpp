#include "reports/Report.h"

#include "tactics/DefaultTactic.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

namespace tryzone
{

namespace
{
using nlohmann::ordered_json;

constexpr const char* kTeamNames[2] = {"blue", "red"};

const char* Winner(const MatchResult& result)
{
    const int blue = result.teams[0].tries;
    const int red = result.teams[1].tries;
    return blue > red ? "blue" : red > blue ? "red" : "draw";
}

std::string Percent(double share)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.1f%%", 100.0 * share);
    return buffer;
}

// The counts shown in groups, under the group then the side: passes: {blue: {attempted, completed}, red: ...}.
void AddGroups(ordered_json& match, const char* side, const TeamRecord& record)
{
    ForEachCount(
        [&match, side](const CountField& field, const auto& count)
        {
            if (field.group != nullptr && (!field.law || count != 0))
            {
                match[field.group][side][field.name] = count;
            }
        },
        record);
}

std::string MeanAndSpread(double mean, double spread)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.1f \u00b1 %.1f", mean, spread);
    return buffer;
}
} // namespace

std::string Fixed(double value, int places)
{
    std::array<char, 64> buffer{};
    std::snprintf(buffer.data(), buffer.size(), "%.*f", places, value);
    return buffer.data();
}

// Shares and means to six places keep the JSON readable; the counts behind them are exact.
double Rounded(double value)
{
    return std::round(value * 1e6) / 1e6;
}

Totals Summarise(const std::vector<MatchResult>& results)
{
    Totals totals;
    const auto n = static_cast<double>(results.size());
    for (const MatchResult& result : results)
    {
        totals.frames += result.frames;
        for (std::size_t team = 0; team < 2; ++team)
        {
            const TeamRecord& record = result.teams[team];
            const TeamRecord& other = result.teams[1 - team];
            TeamTotals& sum = totals.teams[team];
            sum.wins += record.tries > other.tries ? 1 : 0;
            sum.draws += record.tries == other.tries ? 1 : 0;
            sum.losses += record.tries < other.tries ? 1 : 0;
            sum.triesMean += record.tries / n;
            ForEachCount([](const CountField&, long long& total, const auto& count) { total += count; }, sum, record);
            sum.tactic += record.tactic;
        }
    }
    for (std::size_t team = 0; team < 2; ++team)
    {
        TeamTotals& sum = totals.teams[team];
        sum.possession =
            totals.frames > 0 ? static_cast<double>(sum.possessionFrames) / static_cast<double>(totals.frames) : 0.0;
        double squares = 0.0;
        for (const MatchResult& result : results)
        {
            const double deviation = result.teams[team].tries - sum.triesMean;
            squares += deviation * deviation;
        }
        sum.triesSpread = results.size() > 1 ? std::sqrt(squares / (n - 1.0)) : 0.0;
    }
    return totals;
}

void PrintSummary(std::ostream& out, const Totals& totals)
{
    const TeamTotals& blue = totals.teams[0];
    const TeamTotals& red = totals.teams[1];
    // Columns are counted in characters, not bytes: the plus-minus sign takes two bytes.
    const auto cell = [&out](const std::string& text)
    {
        const auto characters = std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; });
        out << std::string(characters < 17 ? static_cast<std::size_t>(17 - characters) : 1, ' ') << text;
    };
    const auto row = [&out, &cell](const char* label, const std::string& b, const std::string& r)
    {
        char name[32];
        std::snprintf(name, sizeof name, "%-22s", label);
        out << name;
        cell(b);
        cell(r);
        out << '\n';
    };
    const auto count = [](long long value) { return std::to_string(value); };
    const auto rate = [](long long part, long long whole)
    {
        char buffer[32] = "";
        if (whole > 0)
        {
            std::snprintf(buffer, sizeof buffer, " (%.1f%%)",
                          100.0 * static_cast<double>(part) / static_cast<double>(whole));
        }
        return std::string(buffer);
    };

    row("", "Blue", "Red");
    row("Wins", count(blue.wins), count(red.wins));
    row("Draws", count(blue.draws), count(red.draws));
    row("Losses", count(blue.losses), count(red.losses));
    row("Tries per match", MeanAndSpread(blue.triesMean, blue.triesSpread),
        MeanAndSpread(red.triesMean, red.triesSpread));
    row("Possession", Percent(blue.possession), Percent(red.possession));
    // Each count the report shows in groups has its row, a rated one with its share of the count before it.
    std::array<long long, 2> before{};
    ForEachCount(
        [&](const CountField& field, long long b, long long r)
        {
            if (field.label != nullptr && (!field.law || b != 0 || r != 0))
            {
                row(field.label, count(b) + (field.rated ? rate(b, before[0]) : ""),
                    count(r) + (field.rated ? rate(r, before[1]) : ""));
            }
            before = {b, r};
        },
        blue, red);
    out << "(\u00b1: sample standard deviation over the matches; Blue is slots 0 to 4 and Red slots 5 to 9, whatever "
           "an entry's Team says)\n\nFrames simulated: "
        << totals.frames << '\n';
}

ordered_json ResultsAsJson(const RunDescription& run, const std::vector<MatchResult>& results, const Totals& totals)
{
    ordered_json matches = ordered_json::array();
    for (const MatchResult& result : results)
    {
        ordered_json match = {{"match", result.match}, {"seed", result.seed}, {"frames", result.frames}};
        for (std::size_t team = 0; team < 2; ++team)
        {
            match["score"][kTeamNames[team]] = result.teams[team].tries;
        }
        match["winner"] = Winner(result);
        for (std::size_t team = 0; team < 2; ++team)
        {
            match["possession"][kTeamNames[team]] =
                Rounded(static_cast<double>(result.teams[team].possessionFrames) / static_cast<double>(result.frames));
        }
        for (std::size_t team = 0; team < 2; ++team)
        {
            AddGroups(match, kTeamNames[team], result.teams[team]);
        }
        matches.push_back(match);
    }

    ordered_json teams;
    for (std::size_t team = 0; team < 2; ++team)
    {
        const TeamTotals& sum = totals.teams[team];
        ordered_json side = {
            {"wins", sum.wins},
            {"draws", sum.draws},
            {"losses", sum.losses},
            {"tries_per_match", {{"mean", Rounded(sum.triesMean)}, {"spread", Rounded(sum.triesSpread)}}},
            {"possession", Rounded(sum.possession)}};
        ForEachCount(
            [&side](const CountField& field, long long count)
            {
                if (field.group != nullptr && (!field.law || count != 0))
                {
                    side[field.group][field.name] = count;
                }
            },
            sum);
        if (!sum.tactic.Empty())
        {
            const CompiledTactic* tactic = run.tactics[team];
            side["tactic"] = TelemetryAsJson(tactic != nullptr ? *tactic : DefaultTactic(), sum.tactic);
        }
        teams[kTeamNames[team]] = side;
    }
    return {{"seed", run.seed},
            {"players", run.players},
            {"matches", run.matches},
            {"minutes", run.minutes},
            {"frames_per_match", run.framesPerMatch},
            {"results", matches},
            {"totals", {{"frames", totals.frames}, {"teams", teams}}}};
}

} // namespace tryzone
