// Scaling between points and pixels: MulDiv's rounding and the font's size and height.

#include "Platform/graphics/Graphics.h"

#include <gtest/gtest.h>

TEST(MulDiv, RoundsHalfAwayFromZeroAndAnswersMinusOneWhenThereIsNoResult)
{
    struct Case {
        int Number, Numerator, Denominator, Expected;
    };
    const std::vector<Case> cases = {
        {10, 96, 72, 13},          // 13.33
        {3, 1, 2, 2},              // 1.5 rounds up
        {-3, 1, 2, -2},            // -1.5 rounds away from zero
        {1, 255, 3, 85},
        {70000, 70000, 70000, 70000}, // the product passes 32 bits
        {5, 7, 0, -1},
        {1 << 30, 8, 2, -1}, // the result does not fit
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Number << " * " << c.Numerator << " / " << c.Denominator);
        EXPECT_EQ(MulDiv(c.Number, c.Numerator, c.Denominator), c.Expected);
    }
}

TEST(FontSize, PointsAndPixelHeightFollowThePixelsPerInch)
{
    TFont font;
    font.SetPixelsPerInch(96);
    font.SetSize(10);
    EXPECT_EQ(font.Height(), -13);
    EXPECT_EQ(font.Size(), 10);
    font.SetPixelsPerInch(120);
    font.SetSize(9);
    EXPECT_EQ(font.Height(), -15);
    EXPECT_EQ(font.Size(), 9);
}
