// Colour values, names and system colours.

#include "Platform/graphics/Colors.h"
#include "Platform/core/Exceptions.h"

#include <QApplication>
#include <QPalette>
#include <gtest/gtest.h>

TEST(Colors, RgbComponentsFollowTheBgrLayout)
{
    const TColor c = RGBColor(0x12, 0x34, 0x56);
    EXPECT_EQ(c, 0x563412);
    EXPECT_EQ(GetRValue(c), 0x12);
    EXPECT_EQ(GetBValue(c), 0x56);
    EXPECT_EQ(ToQColor(clRed), QColor(255, 0, 0));
    EXPECT_EQ(FromQColor(QColor(0, 0, 255)), clBlue);
}

TEST(Colors, NamesAndNumbersRoundTrip)
{
    struct Case {
        TColor Color;
        const char* Text;
    };
    const Case cases[] = {
        {clRed, "clRed"}, {clBtnFace, "clBtnFace"}, {clNone, "clNone"}, {clDefault, "clDefault"},
        {0x00123456, "$00123456"}, {clMoneyGreen, "clMoneyGreen"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Text);
        EXPECT_EQ(ColorToString(c.Color), c.Text);
        EXPECT_EQ(StringToColor(c.Text), c.Color);
    }
    EXPECT_EQ(StringToColor("clred"), clRed);
    EXPECT_EQ(StringToColor("255"), clRed);
    EXPECT_EQ(StringToColor("-16777201"), clBtnFace);
    EXPECT_THROW(StringToColor("clNoSuchColor"), EConvertError);
}

TEST(Colors, SystemColorsFollowThePalette)
{
    const QPalette saved = QApplication::palette();
    QPalette p = saved;
    p.setColor(QPalette::Highlight, QColor(1, 2, 3));
    p.setColor(QPalette::Button, QColor(200, 201, 202));
    QApplication::setPalette(p);
    EXPECT_EQ(ColorToRGB(clHighlight), RGBColor(1, 2, 3));
    EXPECT_EQ(ColorToRGB(clBtnFace), RGBColor(200, 201, 202));
    QApplication::setPalette(saved);
    EXPECT_TRUE(IsSystemColor(clWindowText));
    EXPECT_FALSE(IsSystemColor(clWhite));
    EXPECT_EQ(ColorToRGB(clNone), clWhite);
    EXPECT_EQ(ColorToRGB(0x01FF0000), clBlue); // high byte ignored for plain colours
}
