#pragma once

#include "agent/Brain.h"
#include "run/FrameObserver.h"
#include "run/OrderSource.h"
#include "settings/PlayerSettings.h"
#include "shape/MatchShape.h"

#include <array>
#include <cstdint>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace tryzone
{

// Which built-in brain plays which slot: an empty name leaves the slot to its state graph.
struct BrainPlan
{
    std::array<std::string, kPlayerSlots> brains;
    int decisionFrames = kDefaultDecisionFrames;

    [[nodiscard]] bool Empty() const;
};

// Reads "SLOTS=NAME": slots as a list of slots and ranges ("0-4", "2,7", "0-1,5"), NAME one of BrainNames(). Sets
// the brain of those slots in plan; returns what is wrong with the text, or an empty string.
[[nodiscard]] std::string AddBrains(const std::string& text, BrainPlan& plan);

// Lets the brain play every player of the team (0 blue, 1 red) as the lineup places them, but the slots the plan
// already gives a brain; an empty name changes nothing.
void SetTeamBrain(BrainPlan& plan, const std::vector<PlayerSettings>& lineup, int team, const std::string& name);
// Lets each brain play the team's player of its rank (the team's players counted in slot order), but on the slots the
// plan already gives a brain; an empty name leaves its player be.
void SetTeamBrains(BrainPlan& plan, const std::vector<PlayerSettings>& lineup, int team,
                   const std::array<std::string, kTeamSlots>& byRank);

// Whether every brain can decide at the plan's pace: a policy plays at the interval it was trained with.
[[nodiscard]] Expected<void> CheckPace(const BrainPlan& plan);
// Sets the plan's interval to its first policy's, when it has one.
void TakePace(BrainPlan& plan);

// "slot 3 hold, slots 5 to 9 random, deciding every 12 frames"; empty for a plan without brains.
[[nodiscard]] std::string Describe(const BrainPlan& plan);

// The plan as runs and recordings keep it: {"slots": [ten names or null], "decision_frames": N}. Read back, each
// name is checked as the command line checks it.
[[nodiscard]] nlohmann::ordered_json BrainPlanAsJson(const BrainPlan& plan);
[[nodiscard]] Expected<BrainPlan> BrainPlanFromJson(const nlohmann::ordered_json& kept);

// Lets a plan's brains play one match: before each frame that starts a decision, every controlled player is
// observed, his brain decides and the runner is given the order. As an order source it only decides, for a timeline
// that keeps the orders.
class BrainDriver : public FrameObserver, public OrderSource
{
public:
    // Each brain's engine is seeded from the match's seed and its slot. Throws std::invalid_argument for a brain that
    // cannot play (a policy file that no longer reads).
    BrainDriver(const BrainPlan& plan, std::uint32_t matchSeed, std::int64_t framesPerMatch);

    // Before the runner plays frame `frame` (from 1).
    void BeforeFrame(MatchRunner& runner, std::int64_t frame) override;
    void Decide(const MatchRunner& runner, std::int64_t frame, std::vector<SlotOrder>& orders) override;
    // Each order that changes a player's is appended to the text as a recording's input line from now on; null for
    // none. Not owned.
    void RecordTo(std::string* recording) { recorded = recording; }

private:
    std::vector<SlotOrder> decided;
    std::string* recorded = nullptr;
    std::vector<int> slots;
    std::vector<std::unique_ptr<Brain>> brains;
    int decisionFrames;
    std::int64_t framesPerMatch;
};

} // namespace tryzone
