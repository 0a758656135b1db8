#pragma once

#include "files/Expected.h"
#include "tactics/Tactic.h"
#include "tactics/TacticSteps.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tryzone
{

// The closed set of actions and conditions a tactic may name, with their parameters. The players' behaviour builds
// each entry; the tactics file is checked against this list before anything is built.

enum class ParameterType
{
    Number,       // a number from min to max
    Integer,      // a whole number from min to max
    Word,         // one of words
    NumberOrWord, // a number from min to max, or one of words
};

struct ParameterRule
{
    std::string_view name;
    ParameterType type;
    double min = 0.0;
    double max = 0.0;
    std::vector<std::string_view> words;
    ParameterValue byDefault;
    std::string_view help;
};

struct CatalogueEntry
{
    std::string_view name;
    std::string_view help;
    std::vector<ParameterRule> parameters;
    // The entry as a typed value, from a step whose parameters were checked: an action's or a condition's.
    ActionStep (*action)(const TacticStep&) = nullptr;
    ConditionTest (*condition)(const TacticStep&) = nullptr;
};

[[nodiscard]] const std::vector<CatalogueEntry>& CatalogueActions();
[[nodiscard]] const std::vector<CatalogueEntry>& CatalogueConditions();
// Null for a name the catalogue does not have.
[[nodiscard]] const CatalogueEntry* FindAction(std::string_view name);
[[nodiscard]] const CatalogueEntry* FindCondition(std::string_view name);
[[nodiscard]] const ParameterRule* FindParameter(const CatalogueEntry& entry, std::string_view name);

// The entry with every parameter at its default, today's behaviour.
[[nodiscard]] TacticStep DefaultStep(std::string_view kind);

// Whether the value suits the parameter; if not, what is wrong with it.
[[nodiscard]] Expected<void> CheckParameter(const ParameterRule& rule, const ParameterValue& value);
// Whether the step's parameters agree; if not, what is wrong between them (a range whose ends are swapped).
[[nodiscard]] Expected<void> CheckStep(const TacticStep& step);

// The names joined by ", ", for messages and help.
[[nodiscard]] std::string CatalogueNames(const std::vector<CatalogueEntry>& entries);
[[nodiscard]] std::string WordList(const std::vector<std::string_view>& words);

} // namespace tryzone
