// What VecMatch's constructor and tryzone.entrant take from Python: files by path (str or os.PathLike, None for
// none) and brains by name. A refused input raises ValueError with its reason.
#pragma once

#include "Bindings.h"
#include "agent/BrainDriver.h"
#include "laws/Laws.h"
#include "settings/PlayerSettings.h"
#include "tactics/Tactic.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace tryzone::python
{

std::vector<PlayerSettings> LoadSettings(const py::object& settings);
std::shared_ptr<const Laws> LoadLaws(const py::object& path);
std::string PathOrEmpty(const py::object& path);
// tacticsFiles are blue_tactics and red_tactics as given; a team file fills its side's in.
BrainPlan LoadBrains(const std::vector<std::string>& slots, const std::array<py::object, 2>& teamBrains,
                     const std::array<py::object, 2>& teamFiles, const std::vector<PlayerSettings>& players,
                     int decisionFrames, std::array<std::string, 2>& tacticsFiles);
py::dict EntrantOf(const std::string& text);
std::shared_ptr<const CompiledTactic> LoadTactics(const std::string& path);

} // namespace tryzone::python
