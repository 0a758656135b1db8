#include "view/MatchView.h"

#include "agent/AgentMatch.h"
#include "agent/Observation.h"

#include <array>
#include <gtest/gtest.h>

namespace tryzone
{

namespace
{
std::vector<PlayerSettings> Players()
{
    const auto defaults = DefaultPlayers();
    return {defaults.begin(), defaults.end()};
}

// The colour under a player's centre, as red, green and blue.
std::array<std::uint8_t, 3> ColourAt(const std::vector<std::uint8_t>& rgb, const RawState& raw, int slot)
{
    const auto x = static_cast<std::size_t>(raw.positions[static_cast<std::size_t>(2 * slot)]);
    const auto y = static_cast<std::size_t>(raw.positions[static_cast<std::size_t>(2 * slot + 1)]);
    const std::size_t at = (y * MatchView::kWidth + x) * 3;
    return {rgb[at], rgb[at + 1], rgb[at + 2]};
}
} // namespace

// Off screen: the view draws the match's last frame as it is played, the same frame the same way every time, each
// player where the match has him, in his team's colour.
TEST(MatchView, OffScreenPicturesFollowTheMatchFrameByFrame)
{
    AgentMatch match(Players(), {2}, 10000, false, false);
    match.Start(1234, 1);
    MatchView view(false);
    view.Follow(match);
    match.Advance(5);
    EXPECT_FALSE(view.Show(match));
    const std::vector<std::uint8_t> first = view.Picture(match);
    ASSERT_EQ(first.size(), std::size_t{MatchView::kWidth} * MatchView::kHeight * 3);
    EXPECT_EQ(view.Picture(match), first);
    MatchView other(false);
    other.Follow(match);
    match.Advance(1);
    const std::vector<std::uint8_t> next = view.Picture(match);
    EXPECT_EQ(other.Picture(match), next);

    match.Advance(60);
    const std::vector<std::uint8_t> later = view.Picture(match);
    EXPECT_NE(later, next);
    const RawState raw = match.Raw();
    // Players without the ball, whose carrier is marked.
    ASSERT_TRUE(raw.holder != 3 && raw.holder != 4 && raw.holder != 8 && raw.holder != 9);
    EXPECT_EQ(ColourAt(later, raw, 3), ColourAt(later, raw, 4));
    EXPECT_EQ(ColourAt(later, raw, 8), ColourAt(later, raw, 9));
    EXPECT_NE(ColourAt(later, raw, 3), ColourAt(later, raw, 8));
}

} // namespace tryzone
