#pragma once

#include "shape/MatchShape.h"
#include "agent/Brain.h"
#include "run/FrameObserver.h"

#include <array>
#include <cstdint>
#include <memory>
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

// "slot 3 hold, slots 5 to 9 random, deciding every 12 frames"; empty for a plan without brains.
[[nodiscard]] std::string Describe(const BrainPlan& plan);

// Lets a plan's brains play one match: before each frame that starts a decision, every controlled player is
// observed, his brain decides and the runner is given the order.
class BrainDriver : public FrameObserver
{
public:
    // Each brain's engine is seeded from the match's seed and its slot.
    BrainDriver(const BrainPlan& plan, std::uint32_t matchSeed, std::int64_t framesPerMatch);

    // Before the runner plays frame `frame` (from 1).
    void BeforeFrame(MatchRunner& runner, std::int64_t frame) override;

private:
    std::vector<int> slots;
    std::vector<std::unique_ptr<Brain>> brains;
    int decisionFrames;
    std::int64_t framesPerMatch;
};

} // namespace tryzone
