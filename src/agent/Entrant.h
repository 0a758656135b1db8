#pragma once

#include "agent/TeamSetup.h"
#include "files/Expected.h"
#include "settings/PlayerSettings.h"
#include "shape/MatchShape.h"

#include <array>
#include <string>
#include <vector>

namespace tryzone
{

// One way of playing that a league rates: a team's tactics (null: the built-in wiring) and, for any of its five
// players (counted in slot order within the team), a brain.
struct Entrant
{
    std::string name; // the row's name, unique in its league
    std::string given; // as the command line gave it
    TeamSetup team;
    std::array<std::string, kTeamSize> brains; // empty: his state graph
    std::vector<std::string> warnings; // the tactics file's, to be shown
};

// An entrant from its text: "builtin", a brain name (runner, random, hold; every player), "policy:FILE" or a
// FILE.safetensors (a trained policy on every player), a FILE.tactics.json, or a FILE.team.json that says
// {"tactics": FILE or null, "brain": NAME, "brains": {"SLOTS": NAME}} with files relative to it and slots 0 to 4
// counted within the team. The one line that says why, naming the text, when it is none of them.
[[nodiscard]] Expected<Entrant> ReadEntrant(const std::string& text);

// Names for the entrants that no two share: each file's name without its folder and suffix, and where two would
// share one, as much of the path as tells them apart ("a/fast-break", "b/fast-break"), then "#2" and on.
[[nodiscard]] std::vector<std::string> UniqueNames(const std::vector<std::string>& given);

// Both entrants placed in the lineup: the first as blue, the second as red, each brain on the slot of his team's
// player of that rank; the plan decides at the pace of its policies, when it has any.
[[nodiscard]] Sides Place(const Entrant& blue, const Entrant& red, const std::vector<PlayerSettings>& lineup);

} // namespace tryzone
