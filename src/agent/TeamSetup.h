#pragma once

#include "agent/BrainDriver.h"
#include "tactics/Tactic.h"

#include <array>
#include <memory>
#include <string>

namespace tryzone
{

// One side's way of playing: its tactics file (empty for the built-in wiring) and the tactic read from it.
struct TeamSetup
{
    std::string tacticsFile;
    std::shared_ptr<const CompiledTactic> tactic;
};

// Who plays a match: both teams and the slots outside brains play.
struct Sides
{
    std::array<TeamSetup, 2> teams;
    BrainPlan brains;
};

} // namespace tryzone
