#include "agent/Entrant.h"

#include "run/MatchRunner.h"
#include "support/Files.h"

#include <fstream>
#include <gtest/gtest.h>

namespace tryzone
{

namespace
{
std::vector<PlayerSettings> Lineup()
{
    const auto players = DefaultPlayers();
    return {players.begin(), players.end()};
}
} // namespace

// Each entrant's brains land on its own team's players, counted in slot order within the team, whichever side it
// plays; a team file's files are found beside it.
TEST(Entrant, BrainsLandOnTheirOwnTeamsPlayersOnEitherSide)
{
    TemporaryFolder folder;
    std::ofstream(folder.Path() / "two.team.json")
        << R"({"tactics": ")" TRYZONE_TACTICS_PATH R"(/fast-break.tactics.json", "brains": {"0-1": "runner", "4": "hold"}})";
    const auto two = ReadEntrant((folder.Path() / "two.team.json").string());
    ASSERT_TRUE(two) << two.Reason();
    ASSERT_NE(two->team.tactic, nullptr);
    const auto builtin = ReadEntrant("builtin");
    ASSERT_TRUE(builtin);

    const std::vector<PlayerSettings> lineup = Lineup();
    const Sides blue = Place(*two, *builtin, lineup);
    const Sides red = Place(*builtin, *two, lineup);
    for (std::size_t slot = 0; slot < 10; ++slot)
    {
        const bool blueSlot = lineup[slot].Team == 0;
        const std::size_t rank = slot % 5; // the defaults: blue 0 to 4, red 5 to 9
        const std::string expected = rank < 2 ? "runner" : rank == 4 ? "hold" : "";
        EXPECT_EQ(blue.brains.brains[slot], blueSlot ? expected : "") << slot;
        EXPECT_EQ(red.brains.brains[slot], blueSlot ? "" : expected) << slot;
    }
    EXPECT_EQ(blue.teams[0].tactic, two->team.tactic);
    EXPECT_EQ(blue.teams[1].tactic, nullptr);
    EXPECT_EQ(red.teams[1].tactic, two->team.tactic);
}

TEST(Entrant, NamesNeverRepeatAndBadEntrantsSayWhy)
{
    EXPECT_EQ(UniqueNames({"a/fast-break.tactics.json", "b/fast-break.tactics.json", "runner", "runner",
                           "policy:x/red.safetensors", "hold-the-line.team.json"}),
              (std::vector<std::string>{"a/fast-break", "b/fast-break", "runner", "runner#2", "red",
                                        "hold-the-line"}));
    for (const auto& [text, reason] : std::vector<std::pair<std::string, std::string>>{
             {"genius", "unknown brain 'genius'"},
             {"missing.tactics.json", "missing.tactics.json"},
             {"missing.safetensors", "cannot read the policy file missing.safetensors"},
             {"missing.team.json", "cannot read missing.team.json"}})
    {
        const auto entrant = ReadEntrant(text);
        ASSERT_FALSE(entrant) << text;
        EXPECT_NE(entrant.Reason().find(reason), std::string::npos) << entrant.Reason();
    }
    TemporaryFolder folder;
    std::ofstream(folder.Path() / "bad.team.json") << R"({"brains": {"5": "runner"}})";
    const auto bad = ReadEntrant((folder.Path() / "bad.team.json").string());
    ASSERT_FALSE(bad);
    EXPECT_NE(bad.Reason().find("not one of a team's five"), std::string::npos) << bad.Reason();
}

} // namespace tryzone
