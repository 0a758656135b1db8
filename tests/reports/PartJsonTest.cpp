#include "reports/PartJson.h"

#include "reports/Report.h"
#include "run/MatchRunner.h"

#include <cstddef>
#include <cstdint>
#include <gtest/gtest.h>

namespace tryzone
{

// Every count of a side, set through its bytes rather than by name, survives a part: a count the field list leaves
// out comes back as zero. The totals add up each of them.
TEST(PartJson, EveryCountOfAResultRoundTripsAndAddsUp)
{
    MatchResult result;
    result.match = 3;
    result.seed = 77;
    result.frames = 1000;
    for (std::size_t team = 0; team < 2; ++team)
    {
        // The counts come before the tactic's telemetry, which is set by name.
        auto* bytes = reinterpret_cast<unsigned char*>(&result.teams[team]);
        for (std::size_t i = 0; i < offsetof(TeamRecord, tactic); ++i)
        {
            bytes[i] = static_cast<unsigned char>(i % 7 == 0 ? 0 : 1 + team);
        }
        result.teams[team].tactic = {{5, 0, 7 + static_cast<std::int64_t>(team)}, {{1, 2}, {}, {3}}};
    }
    result.breach = RuleBreach{999, "the carrier leaves his lane"};
    const MatchResult back = ResultFromJson(ResultAsJson(result));
    EXPECT_EQ(back.match, 3);
    EXPECT_EQ(back.seed, 77u);
    EXPECT_EQ(back.frames, 1000);
    EXPECT_EQ(back.teams, result.teams);
    ASSERT_TRUE(back.breach);
    EXPECT_EQ(back.breach->rule, "the carrier leaves his lane");

    const Totals totals = Summarise({result, result});
    ForEachCount([](const CountField& field, long long sum, const auto& count)
                 { EXPECT_EQ(sum, 2 * static_cast<long long>(count)) << field.key; },
                 totals.teams[1], result.teams[1]);
    EXPECT_EQ(totals.teams[1].tactic, (TacticTelemetry{{10, 0, 16}, {{2, 4}, {}, {6}}}));
}

// A part's players are the settings file's entries, Team as "Blue" or "Red"; anything the file would refuse, or
// other than ten of them, is refused with the reason.
TEST(PartJson, PlayersAreSettingsFileEntriesAndInvalidOnesAreRefused)
{
    const auto defaults = DefaultPlayers();
    const std::vector<PlayerSettings> lineup(defaults.begin(), defaults.end());
    nlohmann::ordered_json players = SettingsAsJson(lineup);
    EXPECT_EQ(players[0].at("Team"), "Blue");
    EXPECT_EQ(players[9].at("Team"), "Red");
    const auto back = SettingsFromJson(players);
    ASSERT_TRUE(back) << back.Reason();
    EXPECT_EQ(*back, lineup);

    players[3]["Team"] = 1;
    const auto refused = SettingsFromJson(players);
    ASSERT_FALSE(refused);
    EXPECT_NE(refused.Reason().find("slot 3, Team"), std::string::npos) << refused.Reason();

    players.erase(3);
    EXPECT_EQ(SettingsFromJson(players).Reason(), "its players are not ten entries of a settings file");
}

} // namespace tryzone
