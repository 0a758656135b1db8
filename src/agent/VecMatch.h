#pragma once

#include "agent/AgentAction.h"
#include "agent/AgentMatch.h"
#include "agent/BrainDriver.h"
#include "agent/WorkerThreads.h"
#include "files/Expected.h"
#include "laws/Laws.h"
#include "settings/PlayerSettings.h"

#include <cstdint>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tryzone
{

struct VecMatchPlan
{
    int matches = 1;
    std::vector<int> controlled; // slots 0 to 9, each at most once
    std::uint64_t seed = 0;
    double minutes = 80.0;
    int decisionFrames = kDefaultDecisionFrames;
    std::vector<PlayerSettings> players; // ten
    MatchTactics tactics;                // null ones play the built-in wiring
    BrainPlan brains;                    // outside brains on slots Python does not control
    int threads = 1;
    std::string settingsPath;         // the file the players were read from, never to be written; empty: none
    std::string lawsPath;             // the laws file read, likewise
    std::string eventsPath;           // empty: none
    std::string recordDir;            // empty: none
    bool normalise = false;           // observations brought into [-1, 1] (Normalise) instead of the raw values
    std::shared_ptr<const Laws> laws; // null: the game's own
};

// Why the plan cannot be played, if it cannot.
[[nodiscard]] Expected<void> CheckPlan(const VecMatchPlan& plan);

// A batch of matches stepped together, each in its world, spread over a team of threads. Match i of the batch first
// plays match i + 1 of the simulator's run with the same seed (the same per-match seed and number); when the batch's
// episodes end, after the frames the simulator gives a match of `minutes`, each match starts over as the next
// match of that run: episode e of match i is match e * matches + i + 1. Nothing depends on the thread count.
class VecMatch
{
public:
    // The batch, or why not: the reason CheckPlan gives, or an output that cannot be written or that the file gate
    // refuses (an input, a FIFO, a recording folder holding links), before any play.
    [[nodiscard]] static Expected<std::unique_ptr<VecMatch>> Make(VecMatchPlan plan);

    // Starts every match afresh as the next matches of the run and observes them; a match under way is dropped,
    // its events and recording unwritten.
    void Reset();
    // Every controlled player of every match acts, then each match plays decisionFrames frames (fewer at its end).
    // actions: matches x controlled actions. Refused, before anything is played, before the first Reset and when
    // CheckActions refuses them; fails when an ended episode's events or recording cannot be written.
    [[nodiscard]] Expected<void> Step(const AgentAction* actions);
    // As Step, with one coarse choice (kCoarseActions) per controlled player, which CheckChoices must accept.
    [[nodiscard]] Expected<void> StepCoarse(const std::int32_t* choices);
    // Why the actions (or coarse choices) of a step cannot be played, naming the match, the agent and his slot.
    [[nodiscard]] Expected<void> CheckActions(const AgentAction* actions) const;
    [[nodiscard]] Expected<void> CheckChoices(const std::int32_t* choices) const;

    [[nodiscard]] int Matches() const { return plan.matches; }
    [[nodiscard]] int Agents() const { return static_cast<int>(plan.controlled.size()); }
    [[nodiscard]] const VecMatchPlan& Plan() const { return plan; }
    [[nodiscard]] std::int64_t FramesPerMatch() const { return framesPerMatch; }

    // The batch's own buffers, rewritten by each Reset and Step.
    std::vector<float> observations;        // matches x agents x kObservationSize
    std::vector<float> rewards;             // matches x agents: tries scored less tries conceded in the step
    std::vector<std::uint8_t> terminations; // matches: never set, a match has no end but its clock
    std::vector<std::uint8_t> truncations;  // matches: the episode ended in this step and restarted
    std::vector<float> finalObservations;   // as observations; the ended episodes' last ones
    std::vector<std::int32_t> numbers;      // matches: the run's match number each is playing
    // The episode each match's last step played: its number and, once it has ended (truncations), its return (per
    // agent) and length in steps.
    std::vector<std::int32_t> stepNumbers;
    std::vector<float> returns;
    std::vector<std::int32_t> lengths;

    [[nodiscard]] RawState Raw(int match) const { return matches[static_cast<std::size_t>(match)]->Raw(); }
    // One match of the batch, to show or draw it.
    [[nodiscard]] AgentMatch& Match(int match) { return *matches[static_cast<std::size_t>(match)]; }

private:
    VecMatch(VecMatchPlan plan, std::ofstream events);
    void StartEpisodes();
    void ObserveInto(AgentMatch& match, std::size_t index, float* out);
    [[nodiscard]] Expected<void> WriteFinished();
    // job(i, end) for every match i, each thread on its own block of matches, which ends before end.
    template <class Job> void ForEachMatch(const Job& job);

    VecMatchPlan plan;
    std::int64_t framesPerMatch = 0;
    std::vector<std::unique_ptr<AgentMatch>> matches;
    std::optional<WorkerThreads> workers;
    std::ofstream events;
    std::vector<float> raw;              // the raw observations, where normalised ones are returned
    std::vector<AgentAction> fromCoarse; // the actions of StepCoarse's choices
    int nextNumber = 1;
    bool started = false;
};

} // namespace tryzone
