#include "shape/MatchShape.h"

#include <gtest/gtest.h>

namespace tryzone
{

// Slots, pass targets and sides at and past their ends: every layer that checks an order or a recording's slot, and
// every reward and observation that takes a side, leans on these.
TEST(MatchShape, SlotsTargetsAndSidesAtTheirEnds)
{
    struct Case
    {
        int slot;
        bool isSlot;
        bool isTarget;
    };
    for (const Case& c : {Case{-2, false, false}, Case{-1, false, true}, Case{0, true, true}, Case{9, true, true},
                          Case{10, false, false}})
    {
        EXPECT_EQ(IsSlot(c.slot), c.isSlot) << c.slot;
        EXPECT_EQ(IsPassTarget(c.slot), c.isTarget) << c.slot;
    }
    for (int slot = 0; slot < kPlayerCount; ++slot)
    {
        const Side side = SideOfSlot(slot);
        EXPECT_EQ(side, slot <= 4 ? Side::Blue : Side::Red) << slot;
        EXPECT_LE(FirstSlotOf(side), slot);
        EXPECT_LT(slot, FirstSlotOf(side) + kTeamSize);
        EXPECT_NE(OtherSide(side), side);
        EXPECT_EQ(OtherSide(OtherSide(side)), side);
    }
    EXPECT_EQ(FirstSlotOf(Side::Red), 5);
    EXPECT_EQ(kTeamSlots * kTeams, kPlayerSlots);
}

} // namespace tryzone
