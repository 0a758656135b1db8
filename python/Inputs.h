// What VecMatch's constructor and tryzone.entrant take from Python: files by path (str or os.PathLike, None for
// none) and brains by name. A refused input raises ValueError with its reason.
#pragma once

#include "Bindings.h"
#include "agent/BrainDriver.h"
#include "laws/Laws.h"
#include "settings/PlayerSettings.h"
#include "tactics/Tactic.h"

#include <memory>
#include <string>
#include <vector>

namespace tryzone::python
{

std::vector<PlayerSettings> LoadSettings(const py::object& settings);
std::shared_ptr<const Laws> LoadLaws(const py::object& path);
std::string PathOrEmpty(const py::object& path);
BrainPlan LoadBrains(const std::vector<std::string>& slots, const py::object& blue, const py::object& red,
                     const std::vector<PlayerSettings>& players, int decisionFrames);
py::dict EntrantOf(const std::string& text);
std::shared_ptr<const CompiledTactic> LoadTactics(const py::object& path);

} // namespace tryzone::python
