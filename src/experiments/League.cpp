#include "experiments/League.h"

#include "experiments/Plot.h"
#include "tactics/DefaultTactic.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <numeric>
#include <sstream>

namespace tryzone
{

std::vector<Pairing> LeaguePairings(int entries)
{
    std::vector<Pairing> pairings;
    for (int first = 0; first < entries; ++first)
    {
        for (int second = first + 1; second < entries; ++second)
        {
            pairings.push_back({first, second});
            pairings.push_back({second, first});
        }
    }
    return pairings;
}

std::vector<Sides> PairingSides(const std::vector<LeagueEntry>& entries, const std::vector<Pairing>& pairings,
                                const std::vector<PlayerSettings>& lineup)
{
    std::vector<Sides> sides;
    for (const Pairing& pairing : pairings)
    {
        sides.push_back(Place(entries[static_cast<std::size_t>(pairing.blue)],
                              entries[static_cast<std::size_t>(pairing.red)], lineup));
    }
    return sides;
}

namespace
{
constexpr double kEloPerNat = 400.0 / 2.302585092994046; // 400 log10(e)
constexpr double kNormal95 = 1.959963984540054;

// The inverse of a symmetric positive definite matrix, by Gauss-Jordan elimination (a league has few entrants).
std::vector<std::vector<double>> Inverse(std::vector<std::vector<double>> matrix)
{
    const std::size_t count = matrix.size();
    std::vector<std::vector<double>> inverse(count, std::vector<double>(count, 0.0));
    for (std::size_t i = 0; i < count; ++i)
    {
        inverse[i][i] = 1.0;
    }
    for (std::size_t column = 0; column < count; ++column)
    {
        const double pivot = matrix[column][column];
        for (std::size_t k = 0; k < count; ++k)
        {
            matrix[column][k] /= pivot;
            inverse[column][k] /= pivot;
        }
        for (std::size_t row = 0; row < count; ++row)
        {
            const double factor = row == column ? 0.0 : matrix[row][column];
            for (std::size_t k = 0; k < count && factor != 0.0; ++k)
            {
                matrix[row][k] -= factor * matrix[column][k];
                inverse[row][k] -= factor * inverse[column][k];
            }
        }
    }
    return inverse;
}
} // namespace

std::vector<Interval> RatingIntervals(const std::vector<std::vector<double>>& wins, const std::vector<double>& ratings)
{
    const std::size_t count = ratings.size();
    // In natural log-strengths: entry (i, j) is -n p q for the n matches of i and j, the diagonal the row's negated
    // sum. Its null space is the constant vector, which the ratings' mean of 0 removes: (I + J/n)^-1 - J/n.
    const double share = 1.0 / static_cast<double>(count);
    std::vector<std::vector<double>> information(count, std::vector<double>(count, share));
    for (std::size_t i = 0; i < count; ++i)
    {
        for (std::size_t j = 0; j < count; ++j)
        {
            if (i != j)
            {
                const double p = 1.0 / (1.0 + std::pow(10.0, (ratings[j] - ratings[i]) / 400.0));
                const double weight = (wins[i][j] + wins[j][i]) * p * (1.0 - p);
                information[i][j] -= weight;
                information[i][i] += weight;
            }
        }
    }
    const auto covariance = Inverse(std::move(information));
    std::vector<Interval> intervals;
    for (std::size_t i = 0; i < count; ++i)
    {
        const double half = kNormal95 * kEloPerNat * std::sqrt(std::max(0.0, covariance[i][i] - share));
        intervals.push_back({ratings[i] - half, ratings[i] + half});
    }
    return intervals;
}

std::vector<LeagueRow> TabulateLeague(const LeagueSetup& setup, const std::vector<MatchResult>& results)
{
    const std::size_t entries = setup.entries.size();
    const std::vector<Pairing> pairings = LeaguePairings(static_cast<int>(entries));
    std::vector<LeagueRow> rows(entries);
    // One drawn match between every pair keeps every rating finite.
    std::vector<std::vector<double>> wins(entries, std::vector<double>(entries, 0.5));
    for (std::size_t task = 0; task < results.size(); ++task)
    {
        const Pairing pairing = pairings[static_cast<std::size_t>(TaskNumbering{setup.matches, 1}.Group(static_cast<int>(task)))];
        const auto blue = static_cast<std::size_t>(pairing.blue);
        const auto red = static_cast<std::size_t>(pairing.red);
        const int blueTries = results[task].teams[0].tries;
        const int redTries = results[task].teams[1].tries;
        const MatchResult& result = results[task];
        const auto count = [&rows, &result](std::size_t side, std::size_t team, int scored, int conceded)
        {
            LeagueRow& row = rows[side];
            const TeamRecord& record = result.teams[team];
            row.frames += result.frames;
            row.possessionFrames += record.possessionFrames;
            row.passes += record.passes;
            row.tackles += record.tackles;
            row.tactic += record.tactic;
            ++row.matches;
            row.triesFor += scored;
            row.triesAgainst += conceded;
            row.wins += scored > conceded ? 1 : 0;
            row.draws += scored == conceded ? 1 : 0;
            row.losses += scored < conceded ? 1 : 0;
        };
        count(blue, 0, blueTries, redTries);
        count(red, 1, redTries, blueTries);
        const double blueShare = blueTries > redTries ? 1.0 : blueTries == redTries ? 0.5 : 0.0;
        wins[blue][red] += blueShare;
        wins[red][blue] += 1.0 - blueShare;
    }
    const std::vector<double> ratings = BradleyTerryRatings(wins);
    const std::vector<Interval> intervals = RatingIntervals(wins, ratings);
    for (std::size_t i = 0; i < entries; ++i)
    {
        rows[i].winRate = WilsonInterval(rows[i].wins, rows[i].matches);
        rows[i].rating = ratings[i];
        rows[i].ratingInterval = intervals[i];
    }
    return rows;
}

namespace
{
// Whether every entrant is a tactics file, as leagues were before any other could enter: they print as they did.
bool OnlyTactics(const LeagueSetup& setup)
{
    return std::all_of(setup.entries.begin(), setup.entries.end(),
                       [](const LeagueEntry& entry) { return entry.team.tactic != nullptr && entry.given.ends_with(".tactics.json"); });
}

// The entries from the best rating down; equal ratings keep the command line's order.
std::vector<std::size_t> Ranking(const std::vector<LeagueRow>& rows)
{
    std::vector<std::size_t> order(rows.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&rows](std::size_t a, std::size_t b) { return rows[a].rating > rows[b].rating; });
    return order;
}

double Share(int part, int whole)
{
    return whole > 0 ? static_cast<double>(part) / whole : 0.0;
}

double Possession(const LeagueRow& row)
{
    return row.frames > 0 ? static_cast<double>(row.possessionFrames) / static_cast<double>(row.frames) : 0.0;
}

double PerMatch(long long count, const LeagueRow& row)
{
    return row.matches > 0 ? static_cast<double>(count) / row.matches : 0.0;
}

// The value with the given digits after the point.
std::string Format(int digits, double value)
{
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "%.*f", digits, value);
    return text.data();
}
} // namespace

void PrintLeague(std::ostream& out, const LeagueSetup& setup, const std::vector<LeagueRow>& rows)
{
    out << "TryZone league: " << setup.entries.size() << (OnlyTactics(setup) ? " tactics" : " entrants")
        << ", every pair both ways round, " << setup.matches
        << (setup.matches == 1 ? " match" : " matches") << " each way of " << setup.minutes
        << (setup.minutes == 1.0 ? " minute (" : " minutes (") << setup.framesPerMatch << " frames each), seed "
        << setup.seed << "; both ways play the same match seeds\n";
    if (setup.laws != nullptr)
    {
        out << "Laws: " << setup.lawsFile << '\n';
    }
    out << "Players: " << setup.playersFrom << "\n\n";
    std::size_t width = 6;
    for (const LeagueEntry& entry : setup.entries)
    {
        width = std::max(width, entry.name.size());
    }
    std::array<char, 240> line{};
    std::snprintf(line.data(), line.size(), "%-*s %7s %5s %5s %5s %9s %9s %8s %15s %7s %13s %10s %7s %8s\n",
                  static_cast<int>(width), OnlyTactics(setup) ? "Tactic" : "Entrant", "Matches", "W", "D", "L",
                  "Tries for", "against", "Win rate", "95% (Wilson)", "Rating", "95% (Fisher)", "Possession",
                  "Passes", "Tackles");
    out << line.data();
    for (const std::size_t i : Ranking(rows))
    {
        const LeagueRow& row = rows[i];
        const std::string interval =
            Format(1, 100.0 * row.winRate.low) + "-" + Format(1, 100.0 * row.winRate.high) + "%";
        std::array<char, 40> ratings{};
        std::snprintf(ratings.data(), ratings.size(), "%+.0f..%+.0f", row.ratingInterval.low,
                      row.ratingInterval.high);
        std::snprintf(line.data(), line.size(),
                      "%-*s %7d %5d %5d %5d %9lld %9lld %7.1f%% %15s %+7.0f %13s %9.1f%% %7.1f %8.1f\n",
                      static_cast<int>(width), setup.entries[i].name.c_str(), row.matches, row.wins, row.draws,
                      row.losses, row.triesFor, row.triesAgainst, 100.0 * Share(row.wins, row.matches),
                      interval.c_str(), row.rating, ratings.data(), 100.0 * Possession(row),
                      PerMatch(row.passes, row), PerMatch(row.tackles, row));
        out << line.data();
    }
    out << "\nRating: Bradley-Terry fitted to every match (a draw is half a win to each side), on the Elo scale "
           "(400 log10 of the strength), averaging 0; its 95% interval from the fitted model's Fisher information\n"
           "Possession: share of the frames the tactic's team held the "
           "ball; passes (completed) and tackles (successful): per match\n";
}

nlohmann::ordered_json LeagueAsJson(const LeagueSetup& setup, const std::vector<LeagueRow>& rows,
                                    const std::vector<MatchResult>& results)
{
    nlohmann::ordered_json table = nlohmann::ordered_json::array();
    for (const std::size_t i : Ranking(rows))
    {
        const LeagueRow& row = rows[i];
        table.push_back({{"tactic", setup.entries[i].name},
                         {"file", setup.entries[i].given},
                         {"matches", row.matches},
                         {"wins", row.wins},
                         {"draws", row.draws},
                         {"losses", row.losses},
                         {"tries_for", row.triesFor},
                         {"tries_against", row.triesAgainst},
                         {"win_rate", Share(row.wins, row.matches)},
                         {"win_rate_low", row.winRate.low},
                         {"win_rate_high", row.winRate.high},
                         {"rating", row.rating},
                         {"rating_low", row.ratingInterval.low},
                         {"rating_high", row.ratingInterval.high},
                         {"possession", Possession(row)},
                         {"passes", row.passes},
                         {"tackles", row.tackles}});
        if (!row.tactic.Empty())
        {
            const auto& tactic = setup.entries[i].team.tactic;
            table.back()["telemetry"] = TelemetryAsJson(tactic != nullptr ? *tactic : DefaultTactic(), row.tactic);
        }
    }
    nlohmann::ordered_json matches = nlohmann::ordered_json::array();
    const std::vector<Pairing> pairings = LeaguePairings(static_cast<int>(setup.entries.size()));
    for (std::size_t task = 0; task < results.size(); ++task)
    {
        const Pairing pairing = pairings[static_cast<std::size_t>(TaskNumbering{setup.matches, 1}.Group(static_cast<int>(task)))];
        matches.push_back({{"blue", setup.entries[static_cast<std::size_t>(pairing.blue)].name},
                           {"red", setup.entries[static_cast<std::size_t>(pairing.red)].name},
                           {"match", results[task].match},
                           {"seed", results[task].seed},
                           {"blue_tries", results[task].teams[0].tries},
                           {"red_tries", results[task].teams[1].tries}});
    }
    nlohmann::ordered_json league = {
        {"seed", setup.seed},
        {"matches_each_way", setup.matches},
        {"minutes", setup.minutes},
        {"frames_per_match", setup.framesPerMatch},
        {"players", setup.playersFrom},
        {"rating", "Bradley-Terry, Elo scale (400 log10 strength), mean 0; a draw is half a win; rating_low and "
                   "rating_high: 95% interval from the Fisher information"}};
    if (setup.laws != nullptr)
    {
        league["laws"] = {{"file", setup.lawsFile}, {"laws", LawsToJson(*setup.laws)}};
    }
    league["table"] = std::move(table);
    league["matches"] = std::move(matches);
    return league;
}

std::string LeagueCsv(const LeagueSetup& setup, const std::vector<LeagueRow>& rows)
{
    std::ostringstream csv;
    csv << "tactic,matches,wins,draws,losses,tries_for,tries_against,win_rate,win_rate_low,win_rate_high,rating,"
           "possession,passes,tackles,rating_low,rating_high\n";
    for (const std::size_t i : Ranking(rows))
    {
        const LeagueRow& row = rows[i];
        csv << setup.entries[i].name << ',' << row.matches << ',' << row.wins << ',' << row.draws << ',' << row.losses
            << ',' << row.triesFor << ',' << row.triesAgainst << ',' << Format(6, Share(row.wins, row.matches)) << ','
            << Format(6, row.winRate.low) << ',' << Format(6, row.winRate.high) << ',' << Format(3, row.rating) << ','
            << Format(6, Possession(row)) << ',' << row.passes << ',' << row.tackles << ','
            << Format(3, row.ratingInterval.low) << ',' << Format(3, row.ratingInterval.high) << '\n';
    }
    return csv.str();
}

Expected<std::string> PlotLeague(const LeagueSetup& setup, const std::vector<LeagueRow>& rows)
{
    std::ostringstream commands;
    commands << "$league << EOD\n";
    for (const std::size_t i : Ranking(rows))
    {
        const LeagueRow& row = rows[i];
        commands << '"' << setup.entries[i].name << "\" " << 100.0 * Share(row.wins, row.matches) << ' '
                 << 100.0 * row.winRate.low << ' ' << 100.0 * row.winRate.high << '\n';
    }
    commands << "EOD\n"
             << "set terminal pngcairo size 900,600 font \"sans,11\"\n"
             << "set title \"League: win rate with its 95% Wilson interval, " << setup.matches
             << " matches each way\"\n"
             << "set ylabel \"win rate (%)\"\nset yrange [0:100]\nset grid ytics\nset style fill solid 0.6\n"
             << "set boxwidth 0.6\nset xtics noenhanced\nunset key\n"
             << "plot $league using 0:2:xtic(1) with boxes lc rgb \"#1f4fbf\", "
                "$league using 0:2:3:4 with yerrorbars lc rgb \"black\" pt 7\n";
    return RunPlotter(commands.str());
}

} // namespace tryzone
