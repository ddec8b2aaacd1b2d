// The wizard header: which caption and comment a page shows, the symbol and the glyph at the
// right, and the gradient line along the bottom.

#include "ExLib/run/graphics/ExWizardHeader.h"

#include <gtest/gtest.h>

namespace {

struct HeaderFixture : ::testing::Test {
    TJvgWizardHeader header{nullptr};
    HeaderFixture() { header.resize(392, 60); }
};

} // namespace

TEST_F(HeaderFixture, EmptyListsShowTheirPlaceholders)
{
    const auto l = header.ComputeLayout();
    EXPECT_EQ(l.Caption, "Caption");
    EXPECT_EQ(l.Comment, "Some comment text");
    EXPECT_EQ(header.Height(), 60);
    EXPECT_TRUE(header.CaptionFont().Style().Contains(fsBold));
}

TEST_F(HeaderFixture, PageOneShowsTheOnlyCommentOrTheSecondOfThree)
{
    header.Comments().SetText("Only");
    EXPECT_EQ(header.ComputeLayout().Comment, "Only");
    header.Comments().SetText("First\nSecond\nThird");
    EXPECT_EQ(header.ComputeLayout().Comment, "Second");
    header.Captions().Add("Environment Options");
    EXPECT_EQ(header.ComputeLayout().Caption, "Environment Options");
    header.SetPageNo(-3);
    EXPECT_EQ(header.ComputeLayout().Comment, "First");
}

TEST_F(HeaderFixture, TheSymbolShowsItsFirstCharacterInABoxThatAGlyphReplaces)
{
    header.SetSymbol("ABC");
    auto l = header.ComputeLayout();
    EXPECT_EQ(l.Symbol, "A");
    EXPECT_EQ(l.SymbolRect, Rect(392 - 50, 5, 392 - 5, 60 - 8));
    header.Gradient().SetActive(false);
    EXPECT_EQ(header.ComputeLayout().SymbolRect.Bottom, 60 - 5);
    QImage glyph(32, 32, QImage::Format_RGB32);
    glyph.fill(Qt::red);
    header.SetGlyph(glyph);
    l = header.ComputeLayout();
    EXPECT_TRUE(l.ShowsGlyph);
    EXPECT_EQ(l.SymbolRect, TRect{});
    EXPECT_EQ(l.GlyphPos, (TPoint{392 - 32 - 14, 14}));
}

TEST_F(HeaderFixture, TheGradientLineRunsAboveTheEtchedEdge)
{
    header.Gradient().SetFromColor(clRed);
    header.Gradient().SetToColor(clBlue);
    const QImage shown = header.grab().toImage();
    EXPECT_EQ(QColor(shown.pixel(0, 56)), QColor(Qt::red));
    EXPECT_EQ(QColor(shown.pixel(391, 56)), QColor(Qt::blue));
    EXPECT_EQ(QColor(shown.pixel(200, 30)), ToQColor(ColorToRGB(clWindow)));
    EXPECT_EQ(QColor(shown.pixel(200, 59)), ToQColor(ColorToRGB(clBtnHighlight)));
}
