#include "experiments/Sweep.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string_view>
#include <system_error>
#include <utility>

namespace tryzone
{

namespace
{
using nlohmann::ordered_json;

std::optional<double> Share(long long part, long long whole)
{
    return whole > 0 ? std::optional<double>(static_cast<double>(part) / static_cast<double>(whole)) : std::nullopt;
}

std::string PercentOrDash(std::optional<double> share)
{
    return share ? Fixed(100.0 * *share, 1) + "%" : "-";
}

std::string FractionOrEmpty(std::optional<double> share)
{
    return share ? Fixed(*share, 6) : "";
}

} // namespace

int WhoseSide(const Variation& variation)
{
    constexpr int kFirstRedSlot = 5;
    return variation.who == "red" || (variation.who.starts_with("slot:") && !variation.slots.empty() &&
                                      variation.slots.front() >= kFirstRedSlot)
               ? 1
               : 0;
}

const char* SideName(int side)
{
    return side == 0 ? "blue" : "red";
}

double SweepRow::WinRate() const
{
    return results.empty() ? 0.0
                           : static_cast<double>(totals.teams[static_cast<std::size_t>(side)].wins) /
                                 static_cast<double>(results.size());
}

std::vector<SweepRow> SweepRows(const Variation& variation, int matchesPerValue, int firstTask,
                                const std::vector<MatchResult>& results)
{
    std::vector<SweepRow> rows;
    int current = -1;
    for (std::size_t i = 0; i < results.size(); ++i)
    {
        const int value = (firstTask + static_cast<int>(i)) / matchesPerValue;
        if (value != current)
        {
            rows.push_back(
                SweepRow{variation.values[static_cast<std::size_t>(value)], {}, {}, WhoseSide(variation), {}});
            current = value;
        }
        rows.back().results.push_back(results[i]);
    }
    for (SweepRow& row : rows)
    {
        row.totals = Summarise(row.results);
        row.wins = WilsonInterval(row.totals.teams[static_cast<std::size_t>(row.side)].wins,
                                  static_cast<int>(row.results.size()));
    }
    return rows;
}

void PrintSweep(std::ostream& out, const Variation& variation, const std::vector<SweepRow>& rows)
{
    const int keyWidth = std::max(8, static_cast<int>(variation.key.size()));
    const int side = WhoseSide(variation);
    const std::string whose = side == 0 ? "Blue" : "Red";
    std::array<char, 256> line{};
    std::snprintf(line.data(), line.size(), "%*s  %11s  %20s  %16s  %16s  %15s  %16s\n", keyWidth,
                  variation.key.c_str(), (whose + " W-D-L").c_str(), (whose + " wins (95% CI)").c_str(),
                  "Blue tries/match", "Red tries/match", "Passes blue/red", "Tackles blue/red");
    out << line.data();
    const auto pair = [](std::optional<double> blue, std::optional<double> red)
    { return PercentOrDash(blue) + " / " + PercentOrDash(red); };
    for (const SweepRow& row : rows)
    {
        const TeamTotals& blue = row.totals.teams[0];
        const TeamTotals& red = row.totals.teams[1];
        const TeamTotals& own = row.totals.teams[static_cast<std::size_t>(side)];
        const std::string record =
            std::to_string(own.wins) + "-" + std::to_string(own.draws) + "-" + std::to_string(own.losses);
        const std::string wins = Fixed(100.0 * row.WinRate(), 1) + "% (" + Fixed(100.0 * row.wins.low, 1) + "-" +
                                 Fixed(100.0 * row.wins.high, 1) + "%)";
        const std::string blueTries = Fixed(blue.triesMean, 1) + " \u00b1 " + Fixed(blue.triesSpread, 1);
        const std::string redTries = Fixed(red.triesMean, 1) + " \u00b1 " + Fixed(red.triesSpread, 1);
        // The tries hold a two-byte sign: one byte more keeps them as wide as their headings.
        std::snprintf(line.data(), line.size(), "%*s  %11s  %20s  %17s  %17s  %15s  %16s\n", keyWidth,
                      FloatText(row.value).c_str(), record.c_str(), wins.c_str(), blueTries.c_str(), redTries.c_str(),
                      pair(Share(blue.passes, blue.passAttempts), Share(red.passes, red.passAttempts)).c_str(),
                      pair(Share(blue.tackles, blue.tackleAttempts), Share(red.tackles, red.tackleAttempts)).c_str());
        out << line.data();
    }
}

std::string SweepCsv(const Variation& variation, const std::vector<SweepRow>& rows)
{
    const std::string side = SideName(WhoseSide(variation));
    std::string csv = "key,who,value,matches," + side + "_wins,draws," + side + "_losses," + side + "_win_rate," +
                      side + "_win_rate_low," + side +
                      "_win_rate_high,blue_tries_mean,blue_tries_sd,red_tries_mean,red_tries_sd,"
                      "blue_pass_completion,red_pass_completion,blue_tackle_success,red_tackle_success\n";
    for (const SweepRow& row : rows)
    {
        const TeamTotals& blue = row.totals.teams[0];
        const TeamTotals& red = row.totals.teams[1];
        const TeamTotals& own = row.totals.teams[static_cast<std::size_t>(row.side)];
        const auto matches = static_cast<long long>(row.results.size());
        const std::vector<std::string> fields{variation.key,
                                              variation.who,
                                              FloatText(row.value),
                                              std::to_string(matches),
                                              std::to_string(own.wins),
                                              std::to_string(own.draws),
                                              std::to_string(own.losses),
                                              FractionOrEmpty(Share(own.wins, matches)),
                                              Fixed(row.wins.low, 6),
                                              Fixed(row.wins.high, 6),
                                              Fixed(blue.triesMean, 6),
                                              Fixed(blue.triesSpread, 6),
                                              Fixed(red.triesMean, 6),
                                              Fixed(red.triesSpread, 6),
                                              FractionOrEmpty(Share(blue.passes, blue.passAttempts)),
                                              FractionOrEmpty(Share(red.passes, red.passAttempts)),
                                              FractionOrEmpty(Share(blue.tackles, blue.tackleAttempts)),
                                              FractionOrEmpty(Share(red.tackles, red.tackleAttempts))};
        for (std::size_t i = 0; i < fields.size(); ++i)
        {
            csv += (i == 0 ? "" : ",") + fields[i];
        }
        csv += '\n';
    }
    return csv;
}

ordered_json SweepAsJson(const RunDescription& run, const Variation& variation, const std::vector<SweepRow>& rows)
{
    ordered_json values = ordered_json::array();
    for (const SweepRow& row : rows)
    {
        // The single-value report, without the run's description that all values share.
        ordered_json one = ResultsAsJson(run, row.results, row.totals);
        values.push_back(
            {{"value", std::stod(FloatText(row.value))},
             {std::string(SideName(row.side)) + "_win_rate",
              {{"rate", Rounded(row.WinRate())}, {"low", Rounded(row.wins.low)}, {"high", Rounded(row.wins.high)}}},
             {"results", one["results"]},
             {"totals", one["totals"]}});
    }
    ordered_json vary = {{"key", variation.key}, {"who", variation.who}};
    if (variation.list.empty())
    {
        vary.update({{"from", variation.from}, {"to", variation.to}, {"step", variation.step}});
    }
    else
    {
        vary["list"] = variation.list;
    }
    vary["values"] = variation.values.size();
    return {{"seed", run.seed},       {"players", run.players},
            {"vary", vary},           {"matches_per_value", run.matches},
            {"minutes", run.minutes}, {"frames_per_match", run.framesPerMatch},
            {"values", values}};
}

} // namespace tryzone
