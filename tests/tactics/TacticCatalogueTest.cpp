#include "tactics/TacticCatalogue.h"

#include "tactics/TacticsFile.h"

#include <cmath>
#include <gtest/gtest.h>

namespace tryzone
{

namespace
{
std::vector<const CatalogueEntry*> EveryEntry()
{
    std::vector<const CatalogueEntry*> entries;
    for (const auto* list : {&CatalogueActions(), &CatalogueConditions()})
    {
        for (const CatalogueEntry& entry : *list)
        {
            entries.push_back(&entry);
        }
    }
    return entries;
}

bool Accepts(const ParameterRule& rule, const ParameterValue& value)
{
    return static_cast<bool>(CheckParameter(rule, value));
}
} // namespace

// Each parameter of the catalogue takes both ends of its range, every word it names and its own default, and
// refuses a hair past either end, a fraction where it wants a whole number, and a value of the wrong kind.
TEST(CatalogueRules, EveryParameterTakesItsWholeRangeAndNothingPast)
{
    int rules = 0;
    for (const CatalogueEntry* entry : EveryEntry())
    {
        for (const ParameterRule& rule : entry->parameters)
        {
            SCOPED_TRACE(std::string(entry->name) + "." + std::string(rule.name));
            ++rules;
            EXPECT_TRUE(Accepts(rule, rule.byDefault));
            for (std::string_view word : rule.words)
            {
                EXPECT_TRUE(Accepts(rule, std::string(word))) << word;
            }
            EXPECT_FALSE(Accepts(rule, std::string("sometimes")));
            if (rule.type == ParameterType::Word)
            {
                EXPECT_EQ(CheckParameter(rule, 0.0).Reason().rfind("expected one of \"", 0), 0u);
                continue;
            }
            EXPECT_TRUE(Accepts(rule, rule.min));
            EXPECT_TRUE(Accepts(rule, rule.max));
            EXPECT_TRUE(Accepts(rule, std::round((rule.min + rule.max) / 2)));
            EXPECT_FALSE(Accepts(rule, std::nextafter(rule.min, -1e9)));
            EXPECT_FALSE(Accepts(rule, std::nextafter(rule.max, 1e9)));
            EXPECT_FALSE(Accepts(rule, std::nan("")));
            EXPECT_EQ(Accepts(rule, rule.min + 0.5), rule.type != ParameterType::Integer);
            if (rule.type == ParameterType::Number || rule.type == ParameterType::Integer)
            {
                EXPECT_EQ(CheckParameter(rule, std::string("player")).Reason(), "expected a number, not a string");
            }
        }
    }
    EXPECT_EQ(rules, 14);
}

namespace
{
struct OneCondition
{
    const char* name;
    std::string condition; // one condition of the only link
    const char* error;     // empty: accepted
};

class ConditionRanges : public testing::TestWithParam<OneCondition>
{
};
} // namespace

// The two-ended conditions through the whole reader: equal ends are a legal range of one value, swapped ends are not.
TEST_P(ConditionRanges, EqualEndsLoadAndSwappedOnesAreRefused)
{
    const std::string text = R"({"start": "A", "states": [{"name": "A", "action": "Attack", "links": [{"target": "A",
        "conditions": [)" + GetParam().condition +
                             "]}]}]}";
    const TacticsRead read = ParseTactics(text, "t.json");
    if (*GetParam().error == '\0')
    {
        ASSERT_NE(read.tactic, nullptr) << read.error;
        // And what was read is what is played and saved.
        EXPECT_EQ(ParseTactics(TacticText(read.tactic->source), "t.json").tactic->source, read.tactic->source);
    }
    else
    {
        EXPECT_EQ(read.tactic, nullptr);
        EXPECT_EQ(read.error, std::string("t.json: /states/0/links/0/conditions/0/parameters") + GetParam().error);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Catalogue, ConditionRanges,
    testing::Values(
        OneCondition{"LevelScore", R"({"condition": "ScoreDifference", "parameters": {"atLeast": 0, "atMost": 0}})",
                     ""},
        OneCondition{"WidestScore",
                     R"({"condition": "ScoreDifference", "parameters": {"atLeast": -1000, "atMost": 1000}})", ""},
        OneCondition{"SwappedScore", R"({"condition": "ScoreDifference", "parameters": {"atLeast": 2, "atMost": 1}})",
                     ": atLeast is above atMost: no value lies between them"},
        // The default atMost is 1000: an atLeast above it alone is no range either.
        OneCondition{"ScoreBelowDefault", R"({"condition": "ScoreDifference", "parameters": {"atMost": 0}})",
                     ": atLeast is above atMost: no value lies between them"},
        OneCondition{"HalfScore", R"({"condition": "ScoreDifference", "parameters": {"atLeast": 0.5}})",
                     "/atLeast: expected a whole number, not 0.5"},
        OneCondition{"LineOfBall", R"({"condition": "BallInZone", "parameters": {"from": 0.3, "to": 0.3}})", ""},
        OneCondition{"WholePitch", R"({"condition": "BallInZone", "parameters": {"from": 0, "to": 1}})", ""},
        OneCondition{"SwappedZone", R"({"condition": "BallInZone", "parameters": {"from": 0.6}})",
                     ": from is above to: no value lies between them"},
        OneCondition{"ZonePastPitch", R"({"condition": "BallInZone", "parameters": {"to": 1.01}})",
                     "/to: 1.01 is out of range (0 to 1)"},
        OneCondition{"OwnDistance", R"({"condition": "EnemyIsNear", "parameters": {"distance": "player"}})", ""},
        OneCondition{"FarDistance", R"({"condition": "EnemyIsNear", "parameters": {"distance": 2000}})", ""},
        OneCondition{"WordDistance", R"({"condition": "EnemyIsNear", "parameters": {"distance": "near"}})",
                     "/distance: \"near\" is not accepted (expected a number or \"player\")"},
        OneCondition{"NoParameters", R"({"condition": "TeamHaveBall", "parameters": {"distance": 3}})",
                     "/distance: unknown parameter \"distance\" of TeamHaveBall (it has none)"}),
    [](const testing::TestParamInfo<OneCondition>& param) { return param.param.name; });

// Every parameter given a value other than its default, each word in turn, saves and reads back to the same tactic,
// and to the typed step the players are built from.
TEST(CatalogueRules, EveryNonDefaultValueSavesAndReadsBack)
{
    for (const CatalogueEntry& entry : CatalogueActions())
    {
        for (const ParameterRule& rule : entry.parameters)
        {
            std::vector<ParameterValue> values;
            for (std::string_view word : rule.words)
            {
                values.emplace_back(std::string(word));
            }
            if (rule.type != ParameterType::Word)
            {
                values.emplace_back(rule.max);
            }
            for (const ParameterValue& value : values)
            {
                Tactic tactic{"", "A", {{"A", DefaultStep(entry.name), {{"A", {}}}}}};
                for (Parameter& parameter : tactic.states[0].action.parameters)
                {
                    parameter.value = parameter.name == rule.name ? value : parameter.value;
                }
                const TacticsRead read = ParseTactics(TacticText(tactic), "t.json");
                ASSERT_NE(read.tactic, nullptr) << read.error;
                EXPECT_EQ(read.tactic->source, tactic) << entry.name << "." << rule.name;
            }
        }
    }
}

// The typed steps carry the file's numbers, not the defaults: each entry, built from a step with its parameters moved.
TEST(CatalogueRules, TypedStepsCarryTheFilesValues)
{
    const auto built = [](const char* json)
    {
        const TacticsRead read = ParseTactics(
            std::string(R"({"start": "A", "states": [{"name": "A", "action": "Attack", "links": [{"target": "A", )"
                        R"("conditions": [)") +
                json + "]}]}]}",
            "t.json");
        return read.tactic->states[0].links[0].tests[0].test;
    };
    const auto zone =
        std::get<BallInZoneTest>(built(R"({"condition": "BallInZone", "parameters": {"from": 0.2, "to": 0.7}})"));
    EXPECT_FLOAT_EQ(zone.from, 0.2f);
    EXPECT_FLOAT_EQ(zone.to, 0.7f);
    const auto score = std::get<ScoreDifferenceTest>(
        built(R"({"condition": "ScoreDifference", "parameters": {"atLeast": -3, "atMost": 4}})"));
    EXPECT_EQ(score.atLeast, -3);
    EXPECT_EQ(score.atMost, 4);
    EXPECT_EQ(
        std::get<EnemyIsNearTest>(built(R"({"condition": "EnemyIsNear", "parameters": {"distance": 40}})")).distance,
        40.f);
    EXPECT_EQ(std::get<EnemyIsNearTest>(built(R"({"condition": "EnemyIsNear"})")).distance, kPlayersOwn);

    TacticStep mark = DefaultStep("Mark");
    mark.parameters = {{"opponent", std::string("slot")}, {"slot", 3.0}, {"gap", 55.0}};
    const auto marked = std::get<MarkStep>(FindAction("Mark")->action(mark));
    EXPECT_EQ(marked.opponent, MarkChoice::Slot);
    EXPECT_EQ(marked.slot, 3);
    EXPECT_EQ(marked.gap, 55.f);
    TacticStep support = DefaultStep("Support");
    support.parameters = {{"behind", 2.5}, {"lanePosition", std::string("centre")}};
    const auto supported = std::get<SupportStep>(FindAction("Support")->action(support));
    EXPECT_EQ(supported.behind, 2.5f);
    EXPECT_EQ(supported.lanePosition, LanePosition::Centre);
    TacticStep attack = DefaultStep("Attack");
    attack.parameters[0].value = 0.1;
    EXPECT_FLOAT_EQ(std::get<AttackStep>(FindAction("Attack")->action(attack)).speedFactor, 0.1f);
}

} // namespace tryzone
