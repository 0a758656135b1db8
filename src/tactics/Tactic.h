#pragma once

#include "tactics/TacticSteps.h"

#include <cstddef>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tryzone
{

// A team's state graph as data: the states by name, each with one action from the catalogue, and its links in
// priority order, each to a state named by the link and guarded by conditions from the catalogue.

// A number, or one of the words a parameter accepts.
using ParameterValue = std::variant<double, std::string>;

struct Parameter
{
    std::string name;
    ParameterValue value;

    bool operator==(const Parameter&) const = default;
};

// One action or condition of the catalogue with every one of its parameters, in the catalogue's order.
struct TacticStep
{
    std::string kind;
    std::vector<Parameter> parameters;

    // The parameter's number; 0 when it has none or holds a word.
    [[nodiscard]] double Number(std::string_view name) const;
    // The parameter's word; empty when it has none or holds a number.
    [[nodiscard]] std::string_view Word(std::string_view name) const;

    bool operator==(const TacticStep&) const = default;
};

struct TacticCondition
{
    TacticStep test;
    bool expected = true; // the result the test must give for the condition to be met

    bool operator==(const TacticCondition&) const = default;
};

struct TacticLink
{
    std::string target;
    std::vector<TacticCondition> conditions; // all must be met, tested in order

    bool operator==(const TacticLink&) const = default;
};

struct TacticState
{
    std::string name;
    TacticStep action;
    std::vector<TacticLink> links; // the first whose conditions are met is taken

    bool operator==(const TacticState&) const = default;
};

struct Tactic
{
    std::string description; // one line: what the tactic tries
    std::string start;       // the state every player starts in
    std::vector<TacticState> states;

    bool operator==(const Tactic&) const = default;
};

// More states than a graph can hold; snapshots keep a fixed record per state.
inline constexpr std::size_t kMaxTacticStates = 16;

// What is wrong with a tactic, at a JSON pointer into its file (such as "/states/3/links/0").
struct TacticProblem
{
    std::string place;
    std::string what;

    bool operator==(const TacticProblem&) const = default;
};

class TacticError : public std::runtime_error
{
public:
    explicit TacticError(TacticProblem found) : std::runtime_error(found.place + ": " + found.what), problem(found) {}

    TacticProblem problem;
};

struct CompiledCondition
{
    ConditionTest test;
    bool expected = true;
};

struct CompiledLink
{
    int target = -1;
    std::vector<TacticCondition> conditions; // as the file gives them
    std::vector<CompiledCondition> tests;    // the same, typed
};

struct CompiledState
{
    std::string name;
    TacticStep action; // as the file gives it
    ActionStep step;   // the same, typed
    std::vector<CompiledLink> links;
};

// A tactic with its states named by index, ready to wire a player's graph.
struct CompiledTactic
{
    Tactic source;
    std::vector<CompiledState> states;
    int start = 0;
    // What is legal but most likely a mistake (states never reached, links never taken, ...).
    std::vector<TacticProblem> warnings;

    // The state's name; "Unknown" for an index the tactic does not have.
    [[nodiscard]] const char* StateName(int state) const;
};

// Turns state names into indices. Throws TacticError for no state, too many states, two states of one name, a start
// or a link target that names no state, and an action or condition the catalogue does not have.
[[nodiscard]] CompiledTactic CompileTactic(const Tactic& tactic);

struct Laws;

// The blue and the red team's tactics for a match, null for the default tactic, and the laws they play under, null
// for the game's own: everything a match is set up from besides its players and seed travels together.
struct MatchTactics
{
    std::shared_ptr<const CompiledTactic> blue;
    std::shared_ptr<const CompiledTactic> red;
    std::shared_ptr<const Laws> laws;

    [[nodiscard]] bool Any() const { return blue != nullptr || red != nullptr; }
    bool operator==(const MatchTactics&) const = default;
};

} // namespace tryzone
