#pragma once

#include "behaviour/PlayerOrder.h"

#include <cstdint>
#include <vector>

namespace tryzone
{

class MatchRunner;

// An order for the player in slot (0 to 9).
struct SlotOrder
{
    int slot = 0;
    PlayerOrder order;
};

// Whoever gives players orders from outside the match (the agent library's brains): asked before each frame is
// played, so that a timeline can keep the orders as inputs and a replay needs nothing but them.
class OrderSource
{
public:
    virtual ~OrderSource() = default;
    // The orders for the runner's next frame, `frame` (from 1 after each start), appended to orders.
    virtual void Decide(const MatchRunner& runner, std::int64_t frame, std::vector<SlotOrder>& orders) = 0;
};

} // namespace tryzone
