// Speed buttons in a dialog: clicks, groups, repeat while held, drop-down menus that do not
// replay the click that closed them, the picture strip and its states, the content layout and
// the classic border.

#include "ExLib/run/buttons/ExSpeedButton.h"
#include "ExLib/run/controls/ExThemes.h"

#include "Platform/controls/Forms.h"

#include <QApplication>
#include <QMenu>
#include <QPainter>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

struct ThemesOff {
    ThemesOff() { CurrentThemeServices().SetThemesEnabled(false); }
    ~ThemesOff() { CurrentThemeServices().SetThemesEnabled(true); }
};

QImage Strip(int pictures, int size = 16)
{
    QImage strip(pictures * size, size, QImage::Format_RGB32);
    strip.fill(Qt::magenta);
    const QColor colors[] = {Qt::red, Qt::green, Qt::blue, Qt::yellow, Qt::cyan};
    QPainter p(&strip);
    for (int i = 0; i < pictures; ++i)
        p.fillRect(i * size + 4, 4, size - 8, size - 8, colors[i % 5]);
    return strip;
}

struct ButtonFixture : ::testing::Test {
    TCustomForm dialog{nullptr};
    TExSpeedButton* button = Make(0);
    int clicks = 0;

    ButtonFixture() { dialog.resize(300, 200); }

    TExSpeedButton* Make(int left)
    {
        auto* b = new TExSpeedButton(&dialog, &dialog);
        b->SetBounds(left, 0, 25, 25);
        b->OnClick = [this](TObject*) { ++clicks; };
        return b;
    }
    void Tick(TExCustomSpeedButton* b) { QMetaObject::invokeMethod(b->RepeatTimer(), "timeout", Qt::DirectConnection); }
};

} // namespace

TEST_F(ButtonFixture, AClickInsideClicksOnceAndAReleaseOutsideDoesNot)
{
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(clicks, 1);
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(button->State(), TExButtonState::bsDown);
    QTest::mouseMove(button, QPoint(40, 5));
    EXPECT_EQ(button->State(), TExButtonState::bsUp);
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(40, 5));
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(button->Down());
}

TEST_F(ButtonFixture, InAGroupOneButtonIsDownAndCannotBeReleasedUnlessAllMayBeUp)
{
    TExSpeedButton* other = Make(30);
    button->SetGroupIndex(1);
    other->SetGroupIndex(1);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(button->Down());
    QTest::mouseClick(other, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(other->Down());
    EXPECT_FALSE(button->Down());
    EXPECT_EQ(button->State(), TExButtonState::bsUp);
    // A second click does not release the down button...
    QTest::mouseClick(other, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(other->Down());
    // ...unless the group allows all up, which the whole group takes over.
    other->SetAllowAllUp(true);
    EXPECT_TRUE(button->AllowAllUp());
    QTest::mouseClick(other, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(other->Down());
    EXPECT_EQ(clicks, 4);
    // Without a group a button never stays down.
    TExSpeedButton* single = Make(60);
    single->SetDown(true);
    EXPECT_FALSE(single->Down());
}

TEST_F(ButtonFixture, HoldingARepeatingButtonClicksAfterTheInitialPauseThenAtTheInterval)
{
    button->SetAllowTimer(true);
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_NE(button->RepeatTimer(), nullptr);
    EXPECT_EQ(button->RepeatTimer()->interval(), 500);
    EXPECT_EQ(clicks, 0);
    Tick(button);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(button->RepeatTimer()->interval(), 100);
    Tick(button);
    EXPECT_EQ(clicks, 2);
    // Outside the button the repetition pauses.
    QTest::mouseMove(button, QPoint(40, 5));
    Tick(button);
    EXPECT_EQ(clicks, 2);
    QTest::mouseMove(button, QPoint(5, 5));
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(clicks, 3); // the release inside clicks once more
    EXPECT_FALSE(button->RepeatTimer()->isActive());
    button->SetAllowTimer(false);
    EXPECT_EQ(button->RepeatTimer(), nullptr);
}

TEST_F(ButtonFixture, ADropDownButtonOpensItsMenuBelowItsLeftEdgeAndNeverClicks)
{
    auto* menu = new TPopupMenu(&dialog);
    auto* item = new TMenuItem(&dialog);
    item->SetCaption("Page number");
    menu->Items()->Add(item);
    button->SetDropDownMenu(menu);
    button->move(40, 30);
    dialog.show();
    QApplication::processEvents();

    int presses = 0;
    button->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++presses; };
    bool shown = false;
    QTimer::singleShot(0, [&] {
        shown = menu->Menu()->isVisible();
        // A click on the button closes the menu.
        const QPoint onButton = menu->Menu()->mapFromGlobal(button->mapToGlobal(QPoint(5, 5)));
        QTest::mouseClick(menu->Menu(), Qt::LeftButton, {}, onButton);
        if (menu->Menu()->isVisible())
            menu->Menu()->close();
    });
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, 5));
    QApplication::processEvents();
    EXPECT_TRUE(shown);
    EXPECT_EQ(menu->PopupPoint(), button->ClientToScreen({-1, 25}));
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(button->State(), TExButtonState::bsUp);
    // The press that closed the menu reached nothing else.
    EXPECT_EQ(presses, 1);
    EXPECT_FALSE(menu->Menu()->isVisible());

    // To the right: at the button's right edge, one pixel up.
    button->MenuPosition = TExDropDownMenuPos::dmpRight;
    EXPECT_EQ(button->DropDownMenuOrigin(), button->ClientToScreen({25, -1}));

    // A freed menu is forgotten.
    delete menu;
    EXPECT_EQ(button->DropDownMenu(), nullptr);
}

TEST_F(ButtonFixture, AStripWhoseWidthIsAMultipleOfItsHeightHoldsThatManyPictures)
{
    struct Case {
        QSize Size;
        int Glyphs;
    };
    for (const Case& c : std::vector<Case>{{{64, 16}, 4}, {{96, 16}, 1}, {{16, 16}, 1}, {{80, 16}, 5}}) {
        QImage strip(c.Size, QImage::Format_RGB32);
        strip.fill(Qt::white);
        button->SetGlyph(strip);
        EXPECT_EQ(button->NumGlyphs(), c.Glyphs) << c.Size.width();
    }
    button->SetNumGlyphs(7);
    EXPECT_EQ(button->NumGlyphs(), 5);
    // The bottom-left colour of the strip is transparent.
    button->SetGlyph(Strip(1));
    EXPECT_EQ(button->GlyphObject().TransparentColor(), clFuchsia);
    EXPECT_EQ(qAlpha(button->GlyphObject().StatePicture(TExButtonState::bsUp).pixel(0, 0)), 0);
}

TEST_F(ButtonFixture, StatesTakeTheirOwnPicturesOrDeriveThem)
{
    button->SetGlyph(Strip(4));
    TJvxButtonGlyph& glyph = button->GlyphObject();
    const auto centre = [&](TExButtonState s) { return QColor(glyph.StatePicture(s).pixel(8, 8)); };
    EXPECT_EQ(centre(TExButtonState::bsUp), QColor(Qt::red));
    EXPECT_EQ(centre(TExButtonState::bsDisabled), QColor(Qt::green));
    EXPECT_EQ(centre(TExButtonState::bsDown), QColor(Qt::blue));
    EXPECT_EQ(centre(TExButtonState::bsExclusive), QColor(Qt::yellow));
    // Inactive with fewer than five pictures: the grey of picture 0.
    const int gray = (77 * 255) >> 8;
    EXPECT_EQ(centre(TExButtonState::bsInactive), QColor(gray, gray, gray));

    // With two pictures the down state uses the up picture.
    button->SetGlyph(Strip(2));
    EXPECT_EQ(centre(TExButtonState::bsDown), QColor(Qt::red));
    // One picture: the disabled look is derived, not the picture itself.
    button->SetGlyph(Strip(1));
    EXPECT_NE(centre(TExButtonState::bsDisabled), QColor(Qt::red));
}

TEST_F(ButtonFixture, PicturesOfOneSizeShareOneListThatGoesWithTheLastPicture)
{
    TExSpeedButton* other = Make(30);
    button->SetGlyph(Strip(1));
    other->SetGlyph(Strip(1));
    button->GlyphObject().StatePicture(TExButtonState::bsUp);
    other->GlyphObject().StatePicture(TExButtonState::bsUp);
    ASSERT_NE(GlyphCache(), nullptr);
    EXPECT_EQ(GlyphCache()->ListCount(), 1);
    other->SetGlyph(Strip(1, 24));
    other->GlyphObject().StatePicture(TExButtonState::bsUp);
    EXPECT_EQ(GlyphCache()->ListCount(), 2);
    button->SetGlyph(QImage());
    other->SetGlyph(QImage());
    EXPECT_EQ(GlyphCache()->ListCount(), 0);
}

TEST(ButtonLayout, MarginAndSpacingPlaceThePicture)
{
    TCanvas canvas;
    const TRect content = Rect(0, 0, 40, 30);
    const TSize glyph{16, 16};
    struct Case {
        int Margin, Spacing;
        TButtonLayout Layout;
        TPoint Expected;
    };
    const std::vector<Case> cases = {
        {-1, -1, TButtonLayout::blGlyphLeft, {(40 - 16) / 3, 7}},
        {-1, 1, TButtonLayout::blGlyphLeft, {12, 7}},
        {-1, 1, TButtonLayout::blGlyphTop, {12, 7}},
        {4, 1, TButtonLayout::blGlyphLeft, {4, 7}},
        {4, 1, TButtonLayout::blGlyphRight, {40 - 4 - 16, 7}},
        {2, 1, TButtonLayout::blGlyphBottom, {12, 30 - 2 - 16}},
    };
    for (const Case& c : cases) {
        const TExContentLayout l =
            ComputeContentLayout(canvas, content, {}, false, "", c.Layout, c.Margin, c.Spacing, glyph, false, false);
        EXPECT_EQ(l.GlyphPos, c.Expected) << c.Margin << " " << c.Spacing << " " << static_cast<int>(c.Layout);
    }
    // A caption beside the picture starts after it and the spacing; the offset moves the picture.
    const TExContentLayout l = ComputeContentLayout(canvas, Rect(0, 0, 120, 30), {1, 1}, false, "Print",
                                                    TButtonLayout::blGlyphLeft, 4, 6, glyph, false, false);
    EXPECT_EQ(l.GlyphPos, (TPoint{5, 8}));
    EXPECT_EQ(l.TextRect.Left, 4 + 16 + 6);
}

TEST_F(ButtonFixture, ClassicBordersAreRaisedUpAndSunkenWhenPressed)
{
    ThemesOff off;
    button->SetColor(RGBColor(128, 128, 128));
    const QColor light(192, 192, 192), dark(64, 64, 64);
    QImage up = button->grab().toImage();
    EXPECT_EQ(QColor(up.pixel(0, 0)), light);
    EXPECT_EQ(QColor(up.pixel(24, 24)), ToQColor(ColorToRGB(clWindowFrame)));
    EXPECT_EQ(QColor(up.pixel(23, 23)), dark);
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
    QImage pressed = button->grab().toImage();
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(QColor(pressed.pixel(0, 0)), ToQColor(ColorToRGB(clWindowFrame)));
    EXPECT_EQ(QColor(pressed.pixel(1, 1)), dark);
    EXPECT_EQ(QColor(pressed.pixel(24, 24)), light);

    // A flat button shows no border and its inactive picture until the mouse is over it.
    button->SetFlat(true);
    button->SetGlyph(Strip(1));
    QImage flat = button->grab().toImage();
    EXPECT_EQ(QColor(flat.pixel(0, 0)), QColor(128, 128, 128));
    const int gray = (77 * 255) >> 8;
    EXPECT_EQ(QColor(flat.pixel(12, 12)), QColor(gray, gray, gray));
}

TEST_F(ButtonFixture, AnAltAcceleratorClicksAnEnabledButton)
{
    button->SetCaption("&Print");
    auto dialogChar = [&](char32_t key, LPARAM altBit) { return button->Perform(CM_DIALOGCHAR, key, altBit); };
    EXPECT_EQ(dialogChar('p', KF_ALTDOWN_BIT), 1);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(dialogChar('p', 0), 0);
    EXPECT_EQ(dialogChar('r', KF_ALTDOWN_BIT), 0);
    button->SetEnabled(false);
    EXPECT_EQ(dialogChar('p', KF_ALTDOWN_BIT), 0);
    EXPECT_EQ(clicks, 1);
}

TEST_F(ButtonFixture, AnImageButtonDrawsFromItsListAndItsHotIndexUnderTheMouse)
{
    ThemesOff off;
    TImageList images(nullptr, 16, 16);
    images.Add(Strip(3));
    auto* imageButton = new TExImageSpeedButton(&dialog, &dialog);
    imageButton->SetBounds(0, 40, 25, 25);
    imageButton->SetImages(&images);
    imageButton->SetImageIndex(0);
    imageButton->SetHotTrackImageIndex(2);
    EXPECT_EQ(QColor(imageButton->grab().toImage().pixel(12, 12)), QColor(Qt::red));
    imageButton->SetHotTrack(true);
    imageButton->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(imageButton));
    EXPECT_EQ(QColor(imageButton->grab().toImage().pixel(12, 12)), QColor(Qt::blue));
}
