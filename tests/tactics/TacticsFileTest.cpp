#include "tactics/TacticsFile.h"

#include "tactics/DefaultTactic.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace tryzone
{

namespace
{
const std::filesystem::path kTactics = TRYZONE_TACTICS_PATH;

std::string Read(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A small valid tactic with one part replaced by the case's text.
std::string With(const std::string& start, const std::string& states)
{
    return R"({"start": )" + start + R"(, "states": )" + states + "}";
}

const std::string kTwoStates = R"([{"name": "A", "action": "Idle", "links": [{"target": "B", "conditions":
    [{"condition": "TeamHaveBall"}]}]}, {"name": "B", "action": "Attack", "links": [{"target": "A"}]}])";

struct BadFile
{
    const char* name;
    std::string text;
    const char* line; // what the one line must say, after "t.json: "
};

class TacticsValidation : public testing::TestWithParam<BadFile>
{
};

std::string ManyStates(int count)
{
    std::ostringstream states;
    for (int i = 0; i < count; ++i)
    {
        states << (i == 0 ? "[" : ",") << R"({"name": "S)" << i << R"(", "action": "Idle"})";
    }
    states << "]";
    return states.str();
}
} // namespace

TEST_P(TacticsValidation, EachFaultIsOneLineNamingFilePlaceAndReason)
{
    const TacticsRead read = ParseTactics(GetParam().text, "t.json");
    EXPECT_EQ(read.tactic, nullptr);
    EXPECT_EQ(read.error, std::string("t.json: ") + GetParam().line);
    EXPECT_EQ(read.error.find('\n'), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, TacticsValidation,
    testing::Values(
        BadFile{"UnknownAction", With(R"("A")", R"([{"name": "A", "action": "Run"}])"),
                "/states/0/action: unknown action \"Run\" (expected one of Idle, Support, Defend, Attack, Pass, Hold, Mark)"},
        BadFile{"UnknownCondition",
                With(R"("A")", R"([{"name": "A", "action": "Idle", "links": [{"target": "A", "conditions":
                     [{"condition": "TeamHaveBall"}, {"condition": "Raining"}]}]}])"),
                "/states/0/links/0/conditions/1/condition: unknown condition \"Raining\" (expected one of "
                "PlayerHaveBall, TeamHaveBall, EnemyIsNear, BallInZone, ScoreDifference)"},
        BadFile{"UnknownParameter",
                With(R"("A")", R"([{"name": "A", "action": "Support", "parameters": {"speed": 2}}])"),
                "/states/0/parameters/speed: unknown parameter \"speed\" of Support (expected behind, lanePosition)"},
        BadFile{"WrongType", With(R"("A")", R"([{"name": "A", "action": "Hold", "parameters": {"depth": "far"}}])"),
                "/states/0/parameters/depth: expected a number, not a string"},
        BadFile{"OutOfRange", With(R"("A")", R"([{"name": "A", "action": "Hold", "parameters": {"depth": 1.5}}])"),
                "/states/0/parameters/depth: 1.5 is out of range (0 to 1)"},
        BadFile{"MissingTarget", With(R"("A")", R"([{"name": "A", "action": "Idle", "links": [{"target": "C"}]}])"),
                "/states/0/links/0/target: link to state \"C\", which does not exist"},
        BadFile{"NoStart", R"({"states": [{"name": "A", "action": "Idle"}]})", "/start: no start state"},
        BadFile{"TooManyStates", With(R"("S0")", ManyStates(17)), "/states: 17 states, more than the limit of 16"},
        BadFile{"SyntaxError", "{\n  \"start\": \"A\",\n  \"states\": [,]\n}",
                "line 3, column 14: syntax error while parsing value - unexpected ','; expected '[', '{', or a "
                "literal"},
        BadFile{"HugeNumber", With(R"("A")", R"([{"name": "A", "action": "Hold", "parameters": {"depth": 1e400}}])"),
                "/states/0/parameters/depth: 1e400 is out of range (a number must fit a double)"},
        // A repeated key would silently change play: the last one would win.
        BadFile{"TwoDepths",
                With(R"("A")", R"([{"name": "A", "action": "Hold", "parameters": {"depth": 0.2, "depth": 0.9}}])"),
                "/states/0/parameters/depth: duplicate key \"depth\" (a key may appear once in an object)"},
        BadFile{"TwoExpected", With(R"("A")", R"([{"name": "A", "action": "Idle", "links": [{"target": "A",
                "conditions": [{"condition": "TeamHaveBall", "expected": true, "expected": false}]}]}])"),
                "/states/0/links/0/conditions/0/expected: duplicate key \"expected\" (a key may appear once in an "
                "object)"},
        BadFile{"TwoStarts", R"({"start": "A", "states": [{"name": "A", "action": "Idle"}], "start": "B"})",
                "/start: duplicate key \"start\" (a key may appear once in an object)"},
        // A misspelt key would be a setting silently not made.
        BadFile{"UnknownStateKey", With(R"("A")", R"([{"name": "A", "action": "Idle", "colour": "red"}])"),
                "/states/0/colour: unknown key \"colour\" (expected name, action, parameters, links)"},
        // Names are shown on one line in the graph and the status line: no tab, no DEL, not empty.
        BadFile{"TabInName", With(R"("A\tB")", R"([{"name": "A\tB", "action": "Idle"}])"),
                "/start: must be one line with no control character"},
        BadFile{"DeleteInName", With(R"("A")", R"([{"name": "A\u007f", "action": "Idle"}])"),
                "/states/0/name: must be one line with no control character"},
        BadFile{"EmptyAction", With(R"("A")", R"([{"name": "A", "action": ""}])"),
                "/states/0/action: must not be empty"}),
    [](const testing::TestParamInfo<BadFile>& param) { return param.param.name; });

TEST(TacticsFile, AStateNoLinkReachesIsAWarningNotAnError)
{
    const TacticsRead read = ParseTactics(
        With(R"("A")", kTwoStates.substr(0, kTwoStates.size() - 1) + R"(, {"name": "Lost", "action": "Attack"}])"),
        "t.json");
    ASSERT_NE(read.tactic, nullptr) << read.error;
    ASSERT_EQ(read.warnings.size(), 1u);
    EXPECT_EQ(read.warnings[0], "Warning: t.json: /states/2: state \"Lost\" is never reached from the start state");
    EXPECT_TRUE(ParseTactics(With(R"("A")", kTwoStates), "t.json").warnings.empty());
}

TEST(TacticsFile, ShippedFilesLoadAndSaveBackToTheirOwnText)
{
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(kTactics))
    {
        const std::string text = Read(entry.path());
        const TacticsRead read = ParseTactics(text, entry.path().string());
        ASSERT_NE(read.tactic, nullptr) << read.error;
        EXPECT_TRUE(read.warnings.empty()) << entry.path();
        EXPECT_FALSE(read.tactic->source.description.empty()) << entry.path();
        EXPECT_EQ(TacticText(read.tactic->source), text) << entry.path();
        ++files;
    }
    EXPECT_GE(files, 3);
}

TEST(TacticsFile, TheDefaultFileIsTheBuiltInWiring)
{
    const TacticsRead read = ReadTacticsFile((kTactics / "default.tactics.json").string());
    ASSERT_NE(read.tactic, nullptr) << read.error;
    EXPECT_EQ(read.tactic->source, DefaultTacticModel());
    // Parameters left out take their defaults, which are the built-in wiring's.
    const Tactic bare = ParseTactics(With(R"("A")", R"([{"name": "A", "action": "Support"}])"), "t").tactic->source;
    EXPECT_EQ(bare.states[0].action, DefaultTacticModel().states[1].action);
}

} // namespace tryzone
