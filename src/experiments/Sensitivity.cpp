#include "experiments/Sensitivity.h"

#include "experiments/Plot.h"
#include "reports/Report.h"
#include "experiments/Variation.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <sstream>

namespace tryzone
{

namespace
{
using nlohmann::ordered_json;

std::string Percent(double change)
{
    std::array<char, 32> buffer{};
    std::snprintf(buffer.data(), buffer.size(), "%g%%", change);
    return buffer.data();
}

// "red's players", "slot 6's player"; `apostrophe` as the output writes one.
std::string Whose(const SensitivitySetup& setup, const std::string& apostrophe = "'")
{
    return setup.who.starts_with("slot:") ? "slot " + setup.who.substr(5) + apostrophe + "s player"
                                          : setup.who + apostrophe + "s players";
}

SensitivityRow RowOf(const SensitivitySetup& setup, const std::vector<MatchResult>& results, std::size_t lineup)
{
    SensitivityRow row;
    const auto matches = static_cast<std::size_t>(setup.matches);
    const auto side = static_cast<std::size_t>(setup.side);
    for (std::size_t i = lineup * matches; i < std::min(results.size(), (lineup + 1) * matches); ++i)
    {
        const int own = results[i].teams[side].tries;
        const int other = results[i].teams[1 - side].tries;
        ++row.matches;
        row.wins += own > other ? 1 : 0;
        row.draws += own == other ? 1 : 0;
        row.losses += own < other ? 1 : 0;
    }
    row.rate = row.matches > 0 ? static_cast<double>(row.wins) / row.matches : 0.0;
    row.interval = WilsonInterval(row.wins, row.matches);
    return row;
}

// Intervals that do not overlap: a difference more than the matches' luck.
bool Clear(const SensitivityRow& row, const SensitivityRow& unchanged)
{
    return row.interval.low > unchanged.interval.high || row.interval.high < unchanged.interval.low;
}

ordered_json RowAsJson(const SensitivitySetup& setup, const SensitivityRow& row, const SensitivityRow& unchanged)
{
    ordered_json json;
    if (!row.key.empty())
    {
        json["key"] = row.key;
        json["change_percent"] = row.direction * setup.change;
    }
    json.update({{"matches", row.matches},
                 {"wins", row.wins},
                 {"draws", row.draws},
                 {"losses", row.losses},
                 {"win_rate", Rounded(row.rate)},
                 {"low", Rounded(row.interval.low)},
                 {"high", Rounded(row.interval.high)}});
    if (!row.key.empty())
    {
        json["difference"] = Rounded(row.rate - unchanged.rate);
        json["clear"] = Clear(row, unchanged);
    }
    return json;
}
} // namespace

std::vector<std::vector<PlayerSettings>> SensitivityLineups(const SensitivitySetup& setup)
{
    std::vector<std::vector<PlayerSettings>> lineups{setup.lineup};
    for (const std::string& key : FloatKeys())
    {
        const auto field = FloatField(key);
        for (const int direction : {-1, 1})
        {
            std::vector<PlayerSettings> players = setup.lineup;
            // Each player's own value scaled, so that players who differ keep their differences.
            const double factor = 1.0 + direction * setup.change / 100.0;
            for (const int slot : setup.slots)
            {
                if (static_cast<std::size_t>(slot) < players.size())
                {
                    float& value = players[static_cast<std::size_t>(slot)].*field;
                    value = static_cast<float>(static_cast<double>(value) * factor);
                }
            }
            lineups.push_back(std::move(players));
        }
    }
    return lineups;
}

std::string ChangeLabel(const SensitivitySetup& setup, const SensitivityRow& row)
{
    return row.key.empty() ? "unchanged" : row.key + (row.direction < 0 ? " -" : " +") + Percent(setup.change);
}

std::vector<std::string> SensitivityLineupNames(const SensitivitySetup& setup)
{
    std::vector<std::string> names{"the players as they are"};
    for (const std::string& key : FloatKeys())
    {
        for (const int direction : {-1, 1})
        {
            SensitivityRow row;
            row.key = key;
            row.direction = direction;
            names.push_back(ChangeLabel(setup, row));
        }
    }
    return names;
}

SensitivityTable TabulateSensitivity(const SensitivitySetup& setup, const std::vector<MatchResult>& results)
{
    SensitivityTable table;
    table.unchanged = RowOf(setup, results, 0);
    std::size_t lineup = 1;
    for (const std::string& key : FloatKeys())
    {
        for (const int direction : {-1, 1})
        {
            SensitivityRow row = RowOf(setup, results, lineup++);
            row.key = key;
            row.direction = direction;
            table.ranked.push_back(row);
        }
    }
    // Stable: equal rates keep the keys' order, so the ranking depends on the results alone.
    std::stable_sort(table.ranked.begin(), table.ranked.end(),
                     [](const SensitivityRow& a, const SensitivityRow& b) { return a.rate > b.rate; });
    return table;
}

void PrintSensitivityHeader(std::ostream& out, const SensitivitySetup& setup)
{
    out << "TryZone sensitivity: each float key of " << Whose(setup) << " " << Percent(setup.change) << " down and up, "
        << setup.matches << (setup.matches == 1 ? " match" : " matches") << " of " << setup.minutes
        << (setup.minutes == 1.0 ? " minute (" : " minutes (") << setup.framesPerMatch
        << " frames each) per change, seed " << setup.seed << "; every change plays the same match seeds\n"
        << "Players: " << (setup.players == "defaults" ? "the ten defaults" : setup.players) << '\n';
    if (setup.laws != nullptr)
    {
        out << "Laws: " << setup.lawsFile << '\n';
    }
    if (!setup.brains.Empty())
    {
        out << "Brains: " << Describe(setup.brains) << '\n';
    }
    out << '\n';
}

void PrintSensitivity(std::ostream& out, const SensitivitySetup& setup, const SensitivityTable& table)
{
    const std::string side = setup.side == 0 ? "Blue" : "Red";
    const auto wins = [](const SensitivityRow& row)
    {
        return Fixed(100.0 * row.rate, 1) + "% (" + Fixed(100.0 * row.interval.low, 1) + "-" +
               Fixed(100.0 * row.interval.high, 1) + "%)";
    };
    const auto record = [](const SensitivityRow& row)
    { return std::to_string(row.wins) + "-" + std::to_string(row.draws) + "-" + std::to_string(row.losses); };
    std::array<char, 256> line{};
    std::snprintf(line.data(), line.size(), "%4s  %-29s  %10s  %20s  %12s\n", "Rank", "Change",
                  (side + " W-D-L").c_str(), (side + " wins (95% CI)").c_str(), "vs unchanged");
    out << line.data();
    std::snprintf(line.data(), line.size(), "%4s  %-29s  %10s  %20s\n", "", "unchanged",
                  record(table.unchanged).c_str(), wins(table.unchanged).c_str());
    out << line.data();
    int rank = 0;
    for (const SensitivityRow& row : table.ranked)
    {
        const std::string difference = (row.rate >= table.unchanged.rate ? "+" : "") +
                                       Fixed(100.0 * (row.rate - table.unchanged.rate), 1) +
                                       (Clear(row, table.unchanged) ? " *" : "  ");
        std::snprintf(line.data(), line.size(), "%4d  %-29s  %10s  %20s  %12s\n", ++rank,
                      ChangeLabel(setup, row).c_str(), record(row).c_str(), wins(row).c_str(), difference.c_str());
        out << line.data();
    }
    out << "\nvs unchanged: points of " << (setup.side == 0 ? "blue" : "red")
        << "'s win rate; * where the two 95% intervals (Wilson) do not overlap\n\n";
}

ordered_json SensitivityAsJson(const SensitivitySetup& setup, const SensitivityTable& table)
{
    ordered_json ranked = ordered_json::array();
    for (const SensitivityRow& row : table.ranked)
    {
        ranked.push_back(RowAsJson(setup, row, table.unchanged));
    }
    return {{"seed", setup.seed},
            {"players", setup.players},
            {"who", setup.who},
            {"side", SideName(setup.side)},
            {"change_percent", setup.change},
            {"matches_per_change", setup.matches},
            {"minutes", setup.minutes},
            {"frames_per_match", setup.framesPerMatch},
            {"unchanged", RowAsJson(setup, table.unchanged, table.unchanged)},
            {"ranked", ranked}};
}

std::string SensitivityCsv(const SensitivitySetup& setup, const SensitivityTable& table)
{
    const std::string side = SideName(setup.side);
    std::ostringstream csv;
    csv << "rank,key,change_percent,who,matches," << side << "_wins,draws," << side << "_losses," << side
        << "_win_rate," << side << "_win_rate_low," << side << "_win_rate_high,difference,clear\n";
    const auto write = [&](const std::string& rank, const SensitivityRow& row)
    {
        csv << rank << ',' << row.key << ',' << row.direction * setup.change << ',' << setup.who << ',' << row.matches
            << ',' << row.wins << ',' << row.draws << ',' << row.losses << ',' << Fixed(row.rate, 6) << ','
            << Fixed(row.interval.low, 6) << ',' << Fixed(row.interval.high, 6) << ','
            << Fixed(row.rate - table.unchanged.rate, 6) << ',' << (Clear(row, table.unchanged) ? "yes" : "no") << '\n';
    };
    write("", table.unchanged);
    int rank = 0;
    for (const SensitivityRow& row : table.ranked)
    {
        write(std::to_string(++rank), row);
    }
    return csv.str();
}

Expected<std::string> PlotSensitivity(const SensitivitySetup& setup, const SensitivityTable& table)
{
    const std::string side = SideName(setup.side);
    const auto rows = table.ranked.size();
    std::ostringstream commands;
    commands << "set terminal pngcairo size 1100," << 160 + 36 * rows << " font 'sans,11'\n"
             << "set title '" << (setup.side == 0 ? "Blue" : "Red") << " win rate with each float key of "
             << Whose(setup, "''") << " " << Percent(setup.change) << " down and up, " << setup.matches
             << (setup.matches == 1 ? " match" : " matches") << " each' font ',13'\n"
             << "set xlabel '" << side << " win rate (%)'\nset xrange [0:100]\nset yrange [" << rows
             << " + 0.6 : 0.4]\nset grid xtics\nset key below\nset lmargin 32\n"
             // The unchanged players' rate and band behind the changes.
             << "set object 1 rect from " << 100.0 * table.unchanged.interval.low << ", graph 0 to "
             << 100.0 * table.unchanged.interval.high << ", graph 1 fc rgb '#dddddd' fs solid 0.6 noborder behind\n"
             << "set arrow 1 from " << 100.0 * table.unchanged.rate << ", graph 0 to " << 100.0 * table.unchanged.rate
             << ", graph 1 nohead lc rgb '#555555' dt 2 lw 2\n$rows << EOD\n";
    int rank = 0;
    for (const SensitivityRow& row : table.ranked)
    {
        commands << ++rank << ' ' << Fixed(100.0 * row.rate, 6) << ' ' << Fixed(100.0 * row.interval.low, 6) << ' '
                 << Fixed(100.0 * row.interval.high, 6) << " \"" << ChangeLabel(setup, row) << "\"\n";
    }
    commands << "EOD\nplot $rows using 2:1:3:4:ytic(5) with xerrorbars pt 7 ps 1.5 lw 2 lc rgb '"
             << (setup.side == 0 ? "#1f4fbf" : "#c0392b") << "' title 'win rate, 95% (Wilson)', "
             << "NaN with lines lc rgb '#555555' dt 2 lw 2 title 'unchanged players (band: 95%)'\n";
    return RunPlotter(commands.str());
}

} // namespace tryzone
