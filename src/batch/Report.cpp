#include "batch/Report.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

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
            sum.possession += static_cast<double>(record.possessionFrames);
            sum.passAttempts += record.passAttempts;
            sum.passes += record.passes;
            sum.tackleAttempts += record.tackleAttempts;
            sum.tackles += record.tackles;
        }
    }
    for (std::size_t team = 0; team < 2; ++team)
    {
        TeamTotals& sum = totals.teams[team];
        sum.possession = totals.frames > 0 ? sum.possession / static_cast<double>(totals.frames) : 0.0;
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
    row("Passes attempted", count(blue.passAttempts), count(red.passAttempts));
    row("Passes completed", count(blue.passes) + rate(blue.passes, blue.passAttempts),
        count(red.passes) + rate(red.passes, red.passAttempts));
    row("Tackles attempted", count(blue.tackleAttempts), count(red.tackleAttempts));
    row("Tackles successful", count(blue.tackles) + rate(blue.tackles, blue.tackleAttempts),
        count(red.tackles) + rate(red.tackles, red.tackleAttempts));
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
        ordered_json score;
        ordered_json possession;
        ordered_json passes;
        ordered_json tackles;
        for (std::size_t team = 0; team < 2; ++team)
        {
            const TeamRecord& record = result.teams[team];
            score[kTeamNames[team]] = record.tries;
            possession[kTeamNames[team]] =
                Rounded(static_cast<double>(record.possessionFrames) / static_cast<double>(result.frames));
            passes[kTeamNames[team]] = {{"attempted", record.passAttempts}, {"completed", record.passes}};
            tackles[kTeamNames[team]] = {{"attempted", record.tackleAttempts}, {"successful", record.tackles}};
        }
        match["score"] = score;
        match["winner"] = Winner(result);
        match["possession"] = possession;
        match["passes"] = passes;
        match["tackles"] = tackles;
        matches.push_back(match);
    }

    ordered_json teams;
    for (std::size_t team = 0; team < 2; ++team)
    {
        const TeamTotals& sum = totals.teams[team];
        teams[kTeamNames[team]] = {
            {"wins", sum.wins},
            {"draws", sum.draws},
            {"losses", sum.losses},
            {"tries_per_match", {{"mean", Rounded(sum.triesMean)}, {"spread", Rounded(sum.triesSpread)}}},
            {"possession", Rounded(sum.possession)},
            {"passes", {{"attempted", sum.passAttempts}, {"completed", sum.passes}}},
            {"tackles", {{"attempted", sum.tackleAttempts}, {"successful", sum.tackles}}}};
    }
    return {{"seed", run.seed},
            {"players", run.players},
            {"matches", run.matches},
            {"minutes", run.minutes},
            {"frames_per_match", run.framesPerMatch},
            {"results", matches},
            {"totals", {{"frames", totals.frames}, {"teams", teams}}}};
}
