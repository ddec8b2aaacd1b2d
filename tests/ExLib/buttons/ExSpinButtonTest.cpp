// The drawn spin button: which half a point falls in, stepping and repeating while held, the
// pictures it shows, and the cache that spin buttons of one size share.

#include "ExLib/run/buttons/ExSpinButton.h"
#include "ExLib/run/controls/ExThemes.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

struct ThemesOff {
    ThemesOff() { CurrentThemeServices().SetThemesEnabled(false); }
    ~ThemesOff() { CurrentThemeServices().SetThemesEnabled(true); }
};

struct SpinButtonFixture : ::testing::Test {
    std::unique_ptr<TExSpinButton> button = std::make_unique<TExSpinButton>(nullptr);
    int up = 0;
    int down = 0;

    SpinButtonFixture()
    {
        button->OnTopClick = [this](TObject*) { ++up; };
        button->OnBottomClick = [this](TObject*) { ++down; };
    }
    QImage Shown() { return button->grab().toImage(); }
    // One tick of the repeat timer, without waiting for it.
    void Tick() { QMetaObject::invokeMethod(button->RepeatTimer(), "timeout", Qt::DirectConnection); }
};

} // namespace

TEST_F(SpinButtonFixture, TheDiagonalAndTheMiddleSplitTheHalves)
{
    button->resize(20, 10);
    struct Case {
        TExSpinButtonStyle Style;
        int X, Y;
        bool Bottom;
    };
    const std::vector<Case> cases = {
        {TExSpinButtonStyle::sbsDefault, 0, 9, false},  {TExSpinButtonStyle::sbsDefault, 0, 10, false},
        {TExSpinButtonStyle::sbsDefault, 10, 6, true},  {TExSpinButtonStyle::sbsDefault, 10, 5, false},
        {TExSpinButtonStyle::sbsDefault, 19, 1, true},  {TExSpinButtonStyle::sbsDefault, 2, 2, false},
        {TExSpinButtonStyle::sbsClassic, 0, 5, false},  {TExSpinButtonStyle::sbsClassic, 19, 6, true},
        {TExSpinButtonStyle::sbsClassic, 19, 0, false},
    };
    for (const Case& c : cases) {
        button->SetButtonStyle(c.Style);
        EXPECT_EQ(button->InBottomHalf(c.X, c.Y), c.Bottom) << c.X << "," << c.Y;
    }
}

TEST_F(SpinButtonFixture, HoldingAHalfStepsAtOnceThenAfter400msThenEvery100ms)
{
    QTest::mousePress(button.get(), Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_EQ(up, 1);
    EXPECT_EQ(button->DownState(), TSpinButtonState::dsTop);
    ASSERT_NE(button->RepeatTimer(), nullptr);
    EXPECT_TRUE(button->RepeatTimer()->isActive());
    EXPECT_EQ(button->RepeatTimer()->interval(), 400);
    Tick();
    EXPECT_EQ(up, 2);
    EXPECT_EQ(button->RepeatTimer()->interval(), 100);

    // Dragging onto the other half pauses the repetition, dragging back resumes it.
    QTest::mouseMove(button.get(), QPoint(17, 17));
    EXPECT_EQ(button->DownState(), TSpinButtonState::dsNone);
    Tick();
    EXPECT_EQ(up, 2);
    QTest::mouseMove(button.get(), QPoint(4, 4));
    Tick();
    EXPECT_EQ(up, 3);
    EXPECT_EQ(down, 0);

    QTest::mouseRelease(button.get(), Qt::LeftButton, {}, QPoint(4, 4));
    EXPECT_EQ(button->DownState(), TSpinButtonState::dsNone);
    EXPECT_FALSE(button->RepeatTimer()->isActive());

    QTest::mouseClick(button.get(), Qt::LeftButton, {}, QPoint(17, 17));
    EXPECT_EQ(down, 1);
    EXPECT_EQ(up, 3);
}

TEST_F(SpinButtonFixture, ARealHoldRepeatsOnTheTimer)
{
    QTest::mousePress(button.get(), Qt::LeftButton, {}, QPoint(17, 17));
    QTest::qWait(650);
    QTest::mouseRelease(button.get(), Qt::LeftButton, {}, QPoint(17, 17));
    // At once, after 400 ms, then at least once more before 650 ms.
    EXPECT_GE(down, 3);
}

TEST_F(SpinButtonFixture, ADisabledButtonShowsItsDisabledPictureAndIgnoresPresses)
{
    ThemesOff off;
    button->setEnabled(false);
    const QImage shown = Shown();
    ASSERT_NE(button->Bitmaps(), nullptr);
    EXPECT_EQ(shown, button->Bitmaps()->Image(TSpinButtonBitmaps::DisabledPicture).convertToFormat(shown.format()));
    QTest::mouseClick(button.get(), Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_EQ(up, 0);
}

TEST_F(SpinButtonFixture, PicturesFollowTheStateWithoutThemes)
{
    ThemesOff off;
    const QImage normal = Shown();
    TSpinButtonBitmaps* bitmaps = button->Bitmaps();
    EXPECT_EQ(normal, bitmaps->Image(TSpinButtonBitmaps::Normal).convertToFormat(normal.format()));
    EXPECT_TRUE(bitmaps->Image(TSpinButtonBitmaps::HotUp).isNull());
    QTest::mousePress(button.get(), Qt::LeftButton, {}, QPoint(17, 17));
    const QImage pressed = Shown();
    EXPECT_EQ(pressed, bitmaps->Image(TSpinButtonBitmaps::PressedDown).convertToFormat(pressed.format()));
    QTest::mouseRelease(button.get(), Qt::LeftButton, {}, QPoint(17, 17));
    // The down arrow of a 20 x 20 button starts at (round(15 - 3) - 1, round(15 - 3) - 1).
    EXPECT_EQ(QColor(normal.pixel(11 + 2, 11 + 5)), ToQColor(ColorToRGB(clBtnText)));
    EXPECT_NE(QColor(normal.pixel(11, 11 + 5)), ToQColor(ColorToRGB(clBtnText)));
}

TEST_F(SpinButtonFixture, ButtonsOfOneSizeShareTheirPicturesAndTheLastOneFreesTheCache)
{
    auto second = std::make_unique<TExSpinButton>(nullptr);
    Shown();
    second->grab();
    EXPECT_EQ(button->Bitmaps(), second->Bitmaps());
    EXPECT_EQ(button->Bitmaps()->RefCount, 2);
    EXPECT_EQ(SpinButtonBitmapsManager().EntryCount(), 1);

    second->resize(15, 20);
    second->grab();
    EXPECT_NE(button->Bitmaps(), second->Bitmaps());
    EXPECT_EQ(SpinButtonBitmapsManager().EntryCount(), 2);
    second.reset();
    EXPECT_EQ(SpinButtonBitmapsManager().EntryCount(), 1);
    button.reset();
    EXPECT_FALSE(SpinButtonBitmapsManagerExists());
}

TEST_F(SpinButtonFixture, CustomGlyphsReplaceTheArrowsAndAColourChangeRendersAgain)
{
    ThemesOff off;
    QImage glyph(4, 4, QImage::Format_RGB32);
    glyph.fill(Qt::white);
    glyph.setPixel(1, 1, qRgb(255, 0, 0));
    button->SetUpGlyph(glyph);
    const QImage shown = Shown();
    TSpinButtonBitmaps* bitmaps = button->Bitmaps();
    EXPECT_TRUE(bitmaps->CustomGlyphs());
    // No arrow in the cached picture, the glyph on the shown one.
    const QImage cached = bitmaps->Image(TSpinButtonBitmaps::Normal);
    EXPECT_NE(QColor(cached.pixel(13, 16)), ToQColor(ColorToRGB(clBtnText)));
    const int gx = 5 - 2 + 1, gy = 5 - 2 + 1;
    EXPECT_EQ(QColor(shown.pixel(gx + 1, gy + 1)), QColor(255, 0, 0));

    const int renders = bitmaps->RenderCount;
    button->Perform(CM_SYSCOLORCHANGE);
    EXPECT_TRUE(bitmaps->NeedsRender);
    Shown();
    EXPECT_EQ(bitmaps->RenderCount, renders + 1);
}

TEST(SpinArrows, ArrowPicturesHaveTheirRows)
{
    const QImage up = SpinArrowPicture(true, false);
    ASSERT_EQ(up.size(), QSize(6, 6));
    auto dark = [](const QImage& image, int row) {
        int n = 0;
        for (int x = 0; x < image.width(); ++x)
            n += qGray(image.pixel(x, row)) < 128;
        return n;
    };
    EXPECT_EQ((std::vector<int>{dark(up, 0), dark(up, 1), dark(up, 2), dark(up, 3), dark(up, 5)}),
              (std::vector<int>{2, 4, 6, 2, 2}));
    const QImage pole = SpinArrowPicture(false, true);
    ASSERT_EQ(pole.size(), QSize(7, 4));
    EXPECT_EQ((std::vector<int>{dark(pole, 0), dark(pole, 3)}), (std::vector<int>{7, 1}));
}
