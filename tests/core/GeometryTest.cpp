#include "core/Geometry.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace tryzone
{

TEST(Distance, IntegerAndFloatPoints)
{
    EXPECT_FLOAT_EQ(Distance(0, 0, 3, 4), 5.f);
    EXPECT_FLOAT_EQ(Distance(3, 4, 0, 0), 5.f);
    EXPECT_FLOAT_EQ(Distance(0.5f, 0.5f, 3.5f, 4.5f), 5.f);
}

TEST(Distance, IntegerExtremesDoNotOverflow)
{
    constexpr int lo = std::numeric_limits<int>::min();
    constexpr int hi = std::numeric_limits<int>::max();
    const double span = static_cast<double>(hi) - lo;
    EXPECT_FLOAT_EQ(Distance(lo, 0, hi, 0), static_cast<float>(span));
    EXPECT_FLOAT_EQ(Distance(lo, lo, hi, hi), static_cast<float>(span * std::sqrt(2.0)));
    // Within whole-pixel window coordinates the result is the exact square root.
    EXPECT_EQ(Distance(0, 0, 32767, 32767), static_cast<float>(std::sqrt(2.0 * 32767.0 * 32767.0)));
}

TEST(Normalize, ZeroVectorIsRefusedAndLeftAlone)
{
    sf::Vector2f zero(0.f, 0.f);
    EXPECT_FALSE(Normalize(zero));
    EXPECT_EQ(zero, sf::Vector2f(0.f, 0.f));

    sf::Vector2f v(3.f, 4.f);
    EXPECT_TRUE(Normalize(v));
    EXPECT_FLOAT_EQ(v.x, 0.6f);
    EXPECT_FLOAT_EQ(v.y, 0.8f);
}

TEST(TruncToInt, TruncatesTowardsZeroInRange)
{
    EXPECT_EQ(TruncToInt(10.9f), 10);
    EXPECT_EQ(TruncToInt(-10.9f), -10);
    EXPECT_EQ(TruncToInt(-0.5f), 0);
    EXPECT_EQ(TruncToInt(2147483520.f), 2147483520); // the largest float below 2^31
    EXPECT_EQ(TruncToInt(-2147483648.f), std::numeric_limits<int>::min());
}

TEST(TruncToInt, SaturatesWhatNoIntCanHold)
{
    EXPECT_EQ(TruncToInt(std::numeric_limits<float>::quiet_NaN()), 0);
    EXPECT_EQ(TruncToInt(std::numeric_limits<float>::infinity()), std::numeric_limits<int>::max());
    EXPECT_EQ(TruncToInt(-std::numeric_limits<float>::infinity()), std::numeric_limits<int>::min());
    EXPECT_EQ(TruncToInt(2147483648.f), std::numeric_limits<int>::max());
    EXPECT_EQ(TruncToInt(-3e9f), std::numeric_limits<int>::min());
}

} // namespace tryzone
