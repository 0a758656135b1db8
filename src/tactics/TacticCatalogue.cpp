#include "tactics/TacticCatalogue.h"

#include <cmath>
#include <stdexcept>
#include <sstream>

namespace tryzone
{

namespace
{
template <class Enum, std::size_t N> std::vector<std::string_view> Words(const std::array<WordFor<Enum>, N>& table)
{
    std::vector<std::string_view> words;
    for (const WordFor<Enum>& entry : table)
    {
        words.push_back(entry.word);
    }
    return words;
}

template <class Enum, std::size_t N> std::string WordOf(const std::array<WordFor<Enum>, N>& table, Enum value)
{
    for (const WordFor<Enum>& entry : table)
    {
        if (entry.value == value)
        {
            return std::string(entry.word);
        }
    }
    throw std::logic_error("a value with no word");
}

// The step was checked against the catalogue, so its word is in the table: anything else is a fault of ours.
template <class Enum, std::size_t N>
Enum Parsed(const std::array<WordFor<Enum>, N>& table, const TacticStep& step, std::string_view name)
{
    const std::string_view word = step.Word(name);
    for (const WordFor<Enum>& entry : table)
    {
        if (entry.word == word)
        {
            return entry.value;
        }
    }
    throw TacticError({"", std::string(step.kind) + "." + std::string(name) + ": \"" + std::string(word) +
                               "\" was never checked"});
}

float Float(const TacticStep& step, std::string_view name)
{
    return static_cast<float>(step.Number(name));
}

// A number, or the player's own value for the word.
float NumberOrOwn(const TacticStep& step, std::string_view name)
{
    return step.Word(name).empty() ? Float(step, name) : kPlayersOwn;
}

ParameterValue OwnOrNumber(float value, std::string_view word)
{
    return value < 0.f ? ParameterValue(std::string(word)) : ParameterValue(static_cast<double>(value));
}
} // namespace

const std::vector<CatalogueEntry>& CatalogueActions()
{
    static const std::vector<CatalogueEntry> actions{
        {"Idle", "stands still", {}, [](const TacticStep&) -> ActionStep { return IdleStep{}; }},
        {"Support",
         "runs level with the carrier, behind him, at the top edge or the middle of its own lane",
         {{"behind", ParameterType::Number, 0.0, 10.0, {}, double{SupportStep{}.behind},
           "how far behind the carrier, in carrier radii"},
          {"lanePosition", ParameterType::Word, 0.0, 0.0, Words(kLanePositionWords),
           WordOf(kLanePositionWords, SupportStep{}.lanePosition),
           "the lane's top edge, its middle, or either drawn at random (50%) at each entry"}},
         [](const TacticStep& step) -> ActionStep
         { return SupportStep{Float(step, "behind"), Parsed(kLanePositionWords, step, "lanePosition")}; }},
        {"Defend",
         "chases the carrier; away from the carrier's lane, with an opponent within the player's "
         "EnemyIsTooNearDistance, heads for an evasive point level with the carrier",
         {{"evasive", ParameterType::Word, 0.0, 0.0, Words(kEvasionWords), WordOf(kEvasionWords, DefendStep{}.evasive),
           "the evasive point's x: the player's own mirrored through the opponent's (mirror), minus the opponent's "
           "(sign), the player's 25% draw between those two (player), or no evasion (none)"}},
         [](const TacticStep& step) -> ActionStep { return DefendStep{Parsed(kEvasionWords, step, "evasive")}; }},
        {"Attack",
         "runs straight at its own height for the opponents' goal line",
         {{"speedFactor", ParameterType::NumberOrWord, 0.1, 3.0, {"player"},
           OwnOrNumber(AttackStep{}.speedFactor, "player"),
           "multiplies the running speed: a number, or the player's own factor (1)"}},
         [](const TacticStep& step) -> ActionStep { return AttackStep{NumberOrOwn(step, "speedFactor")}; }},
        {"Pass",
         "keeps running and tries a pass (luck x 85%) once both pass timers have run out",
         {{"receiver", ParameterType::Word, 0.0, 0.0, Words(kReceiverWords), WordOf(kReceiverWords, PassStep{}.receiver),
           "who gets the ball: a random teammate, the nearest one, or the one nearest the opponents' goal line"}},
         [](const TacticStep& step) -> ActionStep { return PassStep{Parsed(kReceiverWords, step, "receiver")}; }},
        {"Hold",
         "runs to a spot of its own lane and waits there",
         {{"depth", ParameterType::Number, 0.0, 1.0, {}, double{HoldStep{}.depth},
           "the spot's distance from the team's own goal line, as a share of the pitch's length"}},
         [](const TacticStep& step) -> ActionStep { return HoldStep{Float(step, "depth")}; }},
        {"Mark",
         "follows one opponent, keeping a gap between him and its own goal line",
         {{"opponent", ParameterType::Word, 0.0, 0.0, Words(kMarkChoiceWords),
           WordOf(kMarkChoiceWords, MarkStep{}.opponent),
           "whom to follow: the nearest opponent in its own lane, the nearest opponent no teammate marks, or the "
           "opponent of slot `slot`"},
          {"slot", ParameterType::Integer, 0.0, 4.0, {}, double{MarkStep{}.slot},
           "with \"slot\": the opponent's slot counted within his team, 0 to 4"},
          {"gap", ParameterType::Number, 0.0, 400.0, {}, double{MarkStep{}.gap},
           "pixels between the opponent's centre and the marker's, on the marker's goal side"}},
         [](const TacticStep& step) -> ActionStep
         {
             return MarkStep{Parsed(kMarkChoiceWords, step, "opponent"), static_cast<int>(step.Number("slot")),
                             Float(step, "gap")};
         }},
    };
    return actions;
}

const std::vector<CatalogueEntry>& CatalogueConditions()
{
    static const std::vector<CatalogueEntry> conditions{
        {"PlayerHaveBall", "the player holds the ball", {}, nullptr,
         [](const TacticStep&) -> ConditionTest { return PlayerHaveBallTest{}; }},
        {"TeamHaveBall", "the player's team holds the ball (the carrier himself included)", {}, nullptr,
         [](const TacticStep&) -> ConditionTest { return TeamHaveBallTest{}; }},
        {"EnemyIsNear",
         "the opponent nearest to the ball is within a distance of the player, on whole-pixel centres",
         {{"distance", ParameterType::NumberOrWord, 0.0, 2000.0, {"player"},
           OwnOrNumber(EnemyIsNearTest{}.distance, "player"),
           "the distance in pixels, or the player's EnemyIsTooNearDistance"}},
         nullptr, [](const TacticStep& step) -> ConditionTest { return EnemyIsNearTest{NumberOrOwn(step, "distance")}; }},
        {"BallInZone",
         "the ball's centre lies in a band across the pitch, measured from the team's own goal line",
         {{"from", ParameterType::Number, 0.0, 1.0, {}, double{BallInZoneTest{}.from},
           "the band's near edge, as a share of the pitch's length"},
          {"to", ParameterType::Number, 0.0, 1.0, {}, double{BallInZoneTest{}.to},
           "the band's far edge (0.5: the team's own half)"}},
         nullptr,
         [](const TacticStep& step) -> ConditionTest { return BallInZoneTest{Float(step, "from"), Float(step, "to")}; }},
        {"ScoreDifference",
         "the team's score minus the opponents' lies in a range",
         {{"atLeast", ParameterType::Integer, -1000.0, 1000.0, {}, double{ScoreDifferenceTest{}.atLeast},
           "the smallest difference"},
          {"atMost", ParameterType::Integer, -1000.0, 1000.0, {}, double{ScoreDifferenceTest{}.atMost},
           "the largest difference"}},
         nullptr,
         [](const TacticStep& step) -> ConditionTest {
             return ScoreDifferenceTest{static_cast<int>(step.Number("atLeast")),
                                        static_cast<int>(step.Number("atMost"))};
         }},
    };
    return conditions;
}

namespace
{
const CatalogueEntry* FindIn(const std::vector<CatalogueEntry>& entries, std::string_view name)
{
    for (const CatalogueEntry& entry : entries)
    {
        if (entry.name == name)
        {
            return &entry;
        }
    }
    return nullptr;
}

std::string Number(double value)
{
    std::ostringstream text;
    text << value;
    return text.str();
}
} // namespace

const CatalogueEntry* FindAction(std::string_view name)
{
    return FindIn(CatalogueActions(), name);
}

const CatalogueEntry* FindCondition(std::string_view name)
{
    return FindIn(CatalogueConditions(), name);
}

const ParameterRule* FindParameter(const CatalogueEntry& entry, std::string_view name)
{
    for (const ParameterRule& rule : entry.parameters)
    {
        if (rule.name == name)
        {
            return &rule;
        }
    }
    return nullptr;
}

TacticStep DefaultStep(std::string_view kind)
{
    const CatalogueEntry* entry = FindAction(kind);
    if (entry == nullptr)
    {
        entry = FindCondition(kind);
    }
    TacticStep step{std::string(kind), {}};
    if (entry != nullptr)
    {
        for (const ParameterRule& rule : entry->parameters)
        {
            step.parameters.push_back({std::string(rule.name), rule.byDefault});
        }
    }
    return step;
}

Expected<void> CheckParameter(const ParameterRule& rule, const ParameterValue& value)
{
    const bool numbers = rule.type != ParameterType::Word;
    const bool words = rule.type == ParameterType::Word || rule.type == ParameterType::NumberOrWord;
    if (const auto* number = std::get_if<double>(&value))
    {
        if (!numbers)
        {
            return Unexpected{"expected one of " + WordList(rule.words) + ", not a number"};
        }
        if (!(*number >= rule.min && *number <= rule.max))
        {
            return Unexpected{Number(*number) + " is out of range (" + Number(rule.min) + " to " + Number(rule.max) + ")"};
        }
        if (rule.type == ParameterType::Integer && std::floor(*number) != *number)
        {
            return Unexpected{"expected a whole number, not " + Number(*number)};
        }
        return {};
    }
    const std::string& word = std::get<std::string>(value);
    if (!words)
    {
        return Unexpected{"expected a number, not a string"};
    }
    for (std::string_view allowed : rule.words)
    {
        if (allowed == word)
        {
            return {};
        }
    }
    const std::string expected = numbers ? "a number or " + WordList(rule.words) : "one of " + WordList(rule.words);
    return Unexpected{"\"" + word + "\" is not accepted (expected " + expected + ")"};
}

Expected<void> CheckStep(const TacticStep& step)
{
    const auto swapped = [&step](std::string_view low, std::string_view high) -> Expected<void>
    {
        if (step.Number(low) > step.Number(high))
        {
            return Unexpected{std::string(low) + " is above " + std::string(high) + ": no value lies between them"};
        }
        return {};
    };
    if (step.kind == "BallInZone")
    {
        return swapped("from", "to");
    }
    if (step.kind == "ScoreDifference")
    {
        return swapped("atLeast", "atMost");
    }
    return {};
}

std::string CatalogueNames(const std::vector<CatalogueEntry>& entries)
{
    std::string names;
    for (const CatalogueEntry& entry : entries)
    {
        names += (names.empty() ? "" : ", ") + std::string(entry.name);
    }
    return names;
}

std::string WordList(const std::vector<std::string_view>& words)
{
    std::string list;
    for (std::string_view word : words)
    {
        list += (list.empty() ? "\"" : ", \"") + std::string(word) + "\"";
    }
    return list;
}

} // namespace tryzone
