// tryzone._tryzone: batches of matches for outside brains, with numpy arrays that are views of the batch's buffers.
// Every check that needs Python is made while the GIL is held; the matches are stepped with it released.
#include "Bindings.h"
#include "Inputs.h"
#include "agent/Observation.h"
#include "agent/VecMatch.h"
#include "run/MatchRunner.h"
#include "shape/MatchShape.h"
#include "view/MatchView.h"

#include <filesystem>
#include <mutex>
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

using namespace tryzone;

namespace py = pybind11;

namespace tryzone::python
{
std::unique_lock<std::mutex> Claim(Batch& self)
{
    std::unique_lock lock(self.busy, std::try_to_lock);
    if (!lock.owns_lock())
    {
        throw std::runtime_error("this VecMatch is being stepped by another thread");
    }
    return lock;
}
} // namespace tryzone::python

using namespace tryzone::python;

void tryzone::python::PlayStep(Batch& self, const void* actions, bool coarse)
{
    VecMatch& batch = self.batch;
    const auto* exact = static_cast<const AgentAction*>(actions);
    const auto* choices = static_cast<const std::int32_t*>(actions);
    Check(coarse ? batch.CheckChoices(choices) : batch.CheckActions(exact));
    const auto lock = Claim(self);
    Expected<void> stepped;
    {
        py::gil_scoped_release release;
        stepped = coarse ? batch.StepCoarse(choices) : batch.Step(exact);
    }
    Check(stepped, {}, false);
}

namespace
{

py::array Flags(py::handle owner, std::vector<std::uint8_t>& buffer)
{
    return py::array(py::dtype("bool"), {static_cast<py::ssize_t>(buffer.size())}, {}, buffer.data(), owner);
}

py::array Observations(py::handle owner, VecMatch& batch, std::vector<float>& buffer)
{
    return View(owner, buffer, {batch.Matches(), batch.Agents(), kObservationSize});
}

// The actions as the batch reads them: an int32 array of matches x agents x 3 (or, for coarse choices, matches x
// agents), in C order.
py::array CheckedActions(const VecMatch& batch, const py::object& actions, bool coarse)
{
    if (!py::isinstance<py::array>(actions))
    {
        throw py::type_error("actions must be a numpy array of int32, not " +
                             std::string(py::str(actions.get_type().attr("__name__"))));
    }
    auto array = py::reinterpret_borrow<py::array>(actions);
    if (!py::dtype::of<std::int32_t>().attr("__eq__")(array.dtype()).cast<bool>())
    {
        throw py::type_error("actions must have dtype int32, not " + std::string(py::str(array.dtype())));
    }
    std::vector<py::ssize_t> expected{batch.Matches(), batch.Agents(), 3};
    if (coarse)
    {
        expected.pop_back();
    }
    if (array.ndim() != static_cast<py::ssize_t>(expected.size()) ||
        !std::equal(expected.begin(), expected.end(), array.shape()))
    {
        throw py::value_error("actions must have shape " + std::string(py::str(py::cast(expected))) +
                              (coarse ? " (matches, agents)" : " (matches, agents, code and two arguments)") +
                              ", not " + std::string(py::str(actions.attr("shape"))));
    }
    return py::array_t<std::int32_t, py::array::c_style | py::array::forcecast>::ensure(array);
}

py::dict RawStateOf(Batch& self)
{
    const auto lock = Claim(self);
    VecMatch& batch = self.batch;
    const auto matches = static_cast<std::size_t>(batch.Matches());
    std::vector<RawState> raw(matches);
    for (std::size_t i = 0; i < matches; ++i)
    {
        raw[i] = batch.Raw(static_cast<int>(i));
    }
    const auto gather = [&raw, matches](auto member, std::vector<py::ssize_t> shape)
    {
        using T = typename std::remove_reference_t<decltype(raw[0].*member)>::value_type;
        py::array_t<T> out(shape);
        T* data = out.mutable_data();
        for (std::size_t i = 0; i < matches; ++i)
        {
            std::copy((raw[i].*member).begin(), (raw[i].*member).end(), data + i * (raw[i].*member).size());
        }
        return out;
    };
    const auto n = static_cast<py::ssize_t>(matches);
    py::array_t<std::int32_t> holder(n);
    py::array_t<std::int64_t> frame(n);
    for (std::size_t i = 0; i < matches; ++i)
    {
        holder.mutable_at(static_cast<py::ssize_t>(i)) = raw[i].holder;
        frame.mutable_at(static_cast<py::ssize_t>(i)) = raw[i].frame;
    }
    py::dict state;
    state["positions"] = gather(&RawState::positions, {n, kPlayerCount, 2});
    state["velocities"] = gather(&RawState::velocities, {n, kPlayerCount, 2});
    state["states"] = gather(&RawState::states, {n, kPlayerCount});
    state["orders"] = gather(&RawState::orders, {n, kPlayerCount, 3});
    state["ball"] = gather(&RawState::ball, {n, 2});
    state["holder"] = holder;
    state["tries"] = gather(&RawState::tries, {n, kTeams});
    state["frame"] = frame;
    state["match"] = py::array_t<std::int32_t>(n, batch.numbers.data());
    return state;
}

// Plays a step of every match; returns (observations, rewards, terminations, truncations, infos). With
// any_teammate, a pass to a slot out of range is played as a pass to any teammate instead of refused.
py::tuple Step(py::object owner, const py::object& actions, bool anyTeammate, bool coarse)
{
    Batch& self = owner.cast<Batch&>();
    VecMatch& batch = self.batch;
    py::array checked = CheckedActions(batch, actions, coarse);
    if (anyTeammate && !coarse)
    {
        checked = checked.attr("copy")();
        auto* action = static_cast<AgentAction*>(checked.mutable_data());
        for (py::ssize_t i = 0; i < batch.Matches() * batch.Agents(); ++i)
        {
            AnyTeammateOutOfRange(action[i]);
        }
    }
    PlayStep(self, checked.data(), coarse);
    py::dict infos;
    infos["match"] = View(owner, batch.numbers, {batch.Matches()});
    if (batch.truncations.front() != 0)
    {
        infos["final_observation"] = Observations(owner, batch, batch.finalObservations).attr("copy")();
    }
    return py::make_tuple(Observations(owner, batch, batch.observations),
                          View(owner, batch.rewards, {batch.Matches(), batch.Agents()}),
                          Flags(owner, batch.terminations), Flags(owner, batch.truncations), infos);
}

py::tuple StepExact(py::object owner, const py::object& actions, bool anyTeammate)
{
    return Step(std::move(owner), actions, anyTeammate, false);
}

py::tuple StepCoarse(py::object owner, const py::object& choices)
{
    return Step(std::move(owner), choices, false, true);
}

AgentMatch& MatchOf(Batch& self, int match)
{
    if (match < 0 || match >= self.batch.Matches())
    {
        throw py::index_error("no match " + std::to_string(match) + " in this VecMatch");
    }
    return self.batch.Match(match);
}

void BindView(py::module_& module)
{
    py::class_<MatchView>(module, "MatchView", "Pictures of a VecMatch's matches, drawn as the game draws them.")
        .def(py::init<bool>(), py::arg("in_window"))
        .def(
            "follow", [](MatchView& view, Batch& batch, int match) { view.Follow(MatchOf(batch, match)); },
            py::arg("batch"), py::arg("match"), "Draws the match's frames from its next one on.")
        .def(
            "draw",
            [](MatchView& view, Batch& batch, int match) -> py::object
            {
                const auto lock = Claim(batch);
                AgentMatch& played = MatchOf(batch, match);
                if (view.Show(played))
                {
                    return py::none();
                }
                auto rgb = view.Picture(played);
                py::array_t<std::uint8_t> picture({MatchView::kHeight, MatchView::kWidth, 3u});
                std::copy(rgb.begin(), rgb.end(), picture.mutable_data());
                return picture;
            },
            py::arg("batch"), py::arg("match"),
            "Shows the match's last frame in the window (None), or returns it as uint8 [720, 1280, 3].")
        .def("close", &MatchView::Close);
}

// The package's constants: the action codes, the observation's size and version, the coarse actions and the
// match's shape, so that Python counts players, slots and pixels as the C++ does.
void BindConstants(py::module_& module)
{
    module.doc() = "TryZone matches with players controlled from Python (see docs/agents.md).";
    module.attr("BUILTIN") = kBuiltin;
    module.attr("HOLD") = kHold;
    module.attr("MOVE") = kMove;
    module.attr("PASS") = kPass;
    module.attr("OBSERVATION_SIZE") = kObservationSize;
    module.attr("OBSERVATION_VERSION") = kObservationVersion;
    module.attr("DEFAULT_DECISION_FRAMES") = kDefaultDecisionFrames;
    // Each action set as its rows of the coarse table; COARSE_ACTIONS is the first set, as it has always been.
    py::dict sets;
    for (const CoarseActionSet& set : kCoarseActionSets)
    {
        py::array_t<std::int32_t> coarse({set.count, 3});
        std::copy_n(&kCoarseActions[0].code, set.count * 3, coarse.mutable_data());
        coarse.attr("setflags")(false);
        sets[set.name] = coarse;
    }
    module.attr("COARSE_ACTION_SETS") = sets;
    module.attr("COARSE_ACTIONS") = sets[kCoarseActionSets[0].name];
    module.def("frames_for", &FramesFor, py::arg("minutes"), "The frames of a match of so many simulated minutes.");
    module.attr("TEAM_SIZE") = kTeamSize;
    module.attr("PLAYERS") = kPlayerCount;
    module.attr("PITCH_WIDTH") = kPitchWidth;
    module.attr("PITCH_HEIGHT") = kPitchHeight;
    module.attr("RANDOM_TEAMMATE") = kRandomTeammate;
}

// What the last step played, as views into the batch: its match numbers and the episodes' returns and lengths.
void BindEpisodeViews(py::class_<Batch>& batch)
{
    batch.def_property_readonly("normalised", [](Batch& self) { return self.batch.Plan().normalise; })
        .def_property_readonly(
            "step_match",
            [](py::object owner)
            {
                VecMatch& match = owner.cast<Batch&>().batch;
                return View(owner, match.stepNumbers, {match.Matches()});
            },
            "The number of the match each entry's last step played (the ended one, in the step that ends it).")
        .def_property_readonly(
            "episode_returns",
            [](py::object owner)
            {
                VecMatch& match = owner.cast<Batch&>().batch;
                return View(owner, match.returns, {match.Matches(), match.Agents()});
            },
            "Each agent's rewards summed over the episode of the last step, its return once it has ended.")
        .def_property_readonly(
            "episode_lengths",
            [](py::object owner)
            {
                VecMatch& match = owner.cast<Batch&>().batch;
                return View(owner, match.lengths, {match.Matches()});
            },
            "Steps of the episode of the last step, its length once it has ended.");
}

// VecMatch(...): the plan from Python's arguments, checked whole before anything is written.
std::unique_ptr<Batch> MakeBatch(int numMatches, const std::vector<int>& controlled, std::uint64_t seed, double minutes,
                                 int decisionFrames, const py::object& settings, const py::object& threads,
                                 const py::object& events, const py::object& recordDir, bool normalise,
                                 const py::object& blueTactics, const py::object& redTactics,
                                 const py::object& blueBrain, const py::object& redBrain,
                                 const std::vector<std::string>& brains, const py::object& laws,
                                 const py::object& blueTeam, const py::object& redTeam)
{
    VecMatchPlan plan;
    plan.matches = numMatches;
    plan.controlled = controlled;
    plan.seed = seed;
    plan.minutes = minutes;
    plan.decisionFrames = decisionFrames;
    plan.players = LoadSettings(settings);
    std::array<std::string, 2> tacticsFiles{PathOrEmpty(blueTactics), PathOrEmpty(redTactics)};
    plan.brains =
        LoadBrains(brains, {blueBrain, redBrain}, {blueTeam, redTeam}, plan.players, decisionFrames, tacticsFiles);
    plan.tactics.blue = LoadTactics(tacticsFiles[0]);
    plan.tactics.red = LoadTactics(tacticsFiles[1]);
    plan.threads = threads.is_none() ? 1 : threads.cast<int>();
    plan.eventsPath = PathOrEmpty(events);
    plan.recordDir = PathOrEmpty(recordDir);
    plan.settingsPath = PathOrEmpty(settings);
    plan.lawsPath = PathOrEmpty(laws);
    plan.normalise = normalise;
    plan.laws = LoadLaws(laws);
    Check(CheckPlan(plan));
    // The plan is sound: what is left to fail is its outputs.
    return std::make_unique<Batch>(Value(VecMatch::Make(std::move(plan)), {}, false));
}

} // namespace

PYBIND11_MODULE(_tryzone, module)
{
    BindConstants(module);
    module.def("entrant", &EntrantOf, py::arg("text"),
               "A league entrant (builtin, runner, FILE.tactics.json, FILE.safetensors, FILE.team.json) as a dict: "
               "name, tactics (a file or None) and brains (five names or None, the team's players in slot order).");
    BindView(module);
    py::class_<Batch> batch(module, "VecMatch");
    batch
        .def(py::init(&MakeBatch), py::arg("num_matches"), py::arg("controlled"), py::kw_only(), py::arg("seed"),
             py::arg("minutes"), py::arg("decision_frames") = kDefaultDecisionFrames, py::arg("settings") = py::none(),
             py::arg("threads") = py::none(), py::arg("events") = py::none(), py::arg("record_dir") = py::none(),
             py::arg("normalise") = false, py::arg("blue_tactics") = py::none(), py::arg("red_tactics") = py::none(),
             py::arg("blue_brain") = py::none(), py::arg("red_brain") = py::none(),
             py::arg("brains") = std::vector<std::string>{}, py::arg("laws") = py::none(),
             py::arg("blue_team") = py::none(), py::arg("red_team") = py::none())
        .def_property_readonly("num_matches", [](Batch& self) { return self.batch.Matches(); })
        .def_property_readonly("controlled", [](Batch& self) { return self.batch.Plan().controlled; })
        .def_property_readonly("decision_frames", [](Batch& self) { return self.batch.Plan().decisionFrames; })
        .def_property_readonly("frames_per_match", [](Batch& self) { return self.batch.FramesPerMatch(); })
        .def(
            "reset",
            [](py::object owner)
            {
                Batch& self = owner.cast<Batch&>();
                const auto lock = Claim(self);
                {
                    py::gil_scoped_release release;
                    self.batch.Reset();
                }
                return Observations(owner, self.batch, self.batch.observations);
            },
            "Starts every match afresh as the next matches of the run; returns the observations.")
        .def("step", &StepExact, py::arg("actions"), py::kw_only(), py::arg("any_teammate") = false,
             "Plays decision_frames frames; returns (observations, rewards, terminations, truncations, infos).")
        .def("step_coarse", &StepCoarse, py::arg("choices"),
             "As step, with an int32 [matches, agents] array of indices into COARSE_ACTIONS.")
        .def("step_agents", &StepAgents, py::arg("actions"), py::arg("agents"), py::kw_only(),
             py::arg("coarse") = false,
             "One match's step from a dict of actions by agent name (a missing agent plays BUILTIN); returns "
             "PettingZoo's five dicts, the observations copies.")
        .def(
            "builtin_actions",
            [](Batch& self)
            {
                py::array_t<std::int32_t> actions({self.batch.Matches(), self.batch.Agents(), 3});
                std::fill_n(actions.mutable_data(), actions.size(), kBuiltin);
                return actions;
            },
            "A new action array with BUILTIN for every controlled player.")
        .def("raw_state", &RawStateOf, "The whole state of every match, in the pitch frame, as copies.");
    BindEpisodeViews(batch);
}
