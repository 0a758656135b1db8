#include "match/Formation.h"

#include <gtest/gtest.h>

namespace tryzone
{

TEST(Formation, KickOffSpotsAtTheWindowSize)
{
    const auto spots = KickOffFormation(1280.f, 720.f);
    const std::array<sf::Vector2f, 5> expected{
        {{192.f, 72.f}, {358.4f, 108.00000762939453f}, {448.f, 360.f}, {358.4f, 612.f}, {192.f, 648.f}}};
    for (std::size_t k = 0; k < spots.size(); ++k)
    {
        EXPECT_EQ(spots[k], expected[k]) << "spot " << k;
    }
    // Written out as doubles, the settings file shows these exact float values.
    EXPECT_EQ(static_cast<double>(spots[1].x), 358.3999938964844);
    EXPECT_EQ(static_cast<double>(spots[1].y), 108.00000762939453);
    EXPECT_EQ(static_cast<double>(1280.f - spots[1].x), 921.5999755859375);
}

} // namespace tryzone
