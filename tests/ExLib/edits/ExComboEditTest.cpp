// The combo edit in a dialog: its button and click key, read-only and direct-input modes,
// groups of edits, the button's width and pictures, and the disabled look.

#include "ExLib/run/edits/ExComboEdit.h"

#include "Platform/controls/Forms.h"

#include <QApplication>
#include <QClipboard>
#include <QCompleter>
#include <QStyle>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct ComboFixture : ::testing::Test {
    TCustomForm dialog{nullptr};
    TExCustomComboEdit* edit = Make("first", 0);
    int buttonClicks = 0;

    ComboFixture()
    {
        dialog.resize(300, 200);
        dialog.show();
        edit->OnButtonClick = [this](TObject*) { ++buttonClicks; };
    }
    TExCustomComboEdit* Make(const std::string& name, int top)
    {
        auto* e = new TExCustomComboEdit(&dialog, &dialog);
        e->SetName(name);
        e->SetBounds(0, top, 150, 21);
        return e;
    }
};

// The dark pixels of each row of a picture.
std::vector<int> DarkColumns(const QImage& image, int row)
{
    std::vector<int> columns;
    for (int x = 0; x < image.width(); ++x)
        if (qGray(image.pixel(x, row)) < 128)
            columns.push_back(x);
    return columns;
}

} // namespace

TEST_F(ComboFixture, AFreshEditIs21HighWithA21PixelButtonInsideItsRightEdge)
{
    EXPECT_GE(edit->Height(), 21);
    EXPECT_EQ(edit->ButtonWidth(), 21);
    const QRect button = edit->ButtonContainer()->geometry();
    EXPECT_LE(button.right(), edit->Width() - 1);
    EXPECT_GE(button.left(), edit->Width() - 21 - 3);
    EXPECT_EQ(edit->textMargins().right(), 21 + 2);
}

TEST_F(ComboFixture, AltDownClicksTheButtonUnlessItHasNoWidth)
{
    QTest::keyClick(edit, Qt::Key_Down, Qt::AltModifier);
    EXPECT_EQ(buttonClicks, 1);
    QTest::mouseClick(edit->Button(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(buttonClicks, 2);
    edit->SetButtonWidth(0);
    QTest::keyClick(edit, Qt::Key_Down, Qt::AltModifier);
    EXPECT_EQ(buttonClicks, 2);
}

TEST_F(ComboFixture, WithoutDirectInputTypingCutAndPasteDoNothingButTheButtonWorks)
{
    edit->SetText("kept");
    edit->SetDirectInput(false);
    QTest::keyClicks(edit, "xy");
    QApplication::clipboard()->setText("pasted");
    edit->selectAll();
    edit->Perform(WM_PASTE);
    edit->Perform(WM_CUT);
    EXPECT_EQ(edit->Text(), "kept");
    QTest::keyClick(edit, Qt::Key_Down, Qt::AltModifier);
    EXPECT_EQ(buttonClicks, 1);

    // Read-only: no button action either, and only copying is left.
    edit->SetDirectInput(true);
    edit->SetReadOnly(true);
    QTest::keyClick(edit, Qt::Key_Down, Qt::AltModifier);
    EXPECT_EQ(buttonClicks, 1);
    EXPECT_EQ(edit->ClipboardCommands(), TExClipboardCommands{caCopy});
}

TEST_F(ComboFixture, TypingIntoAnEditOfAGroupEmptiesTheOthersOfThatGroup)
{
    TExCustomComboEdit* second = Make("second", 30);
    TExCustomComboEdit* third = Make("third", 60);
    TExCustomComboEdit* outsider = Make("outsider", 90);
    for (TExCustomComboEdit* e : {edit, second, third})
        e->SetGroupIndex(1);
    second->SetText("two");
    third->SetText("three");
    outsider->SetText("four");
    QTest::keyClicks(edit, "a");
    EXPECT_EQ(edit->Text(), "a");
    EXPECT_EQ(second->Text(), "");
    EXPECT_EQ(third->Text(), "");
    EXPECT_EQ(outsider->Text(), "four");
}

TEST_F(ComboFixture, AWidthBelowTwoHidesTheButtonAndALaterWidthShowsItAgain)
{
    edit->SetButtonWidth(1);
    EXPECT_FALSE(edit->ButtonContainer()->isVisibleTo(edit));
    EXPECT_EQ(edit->ButtonWidth(), 0);
    EXPECT_EQ(edit->textMargins().right(), 0);
    edit->SetButtonWidth(20);
    EXPECT_TRUE(edit->ButtonContainer()->isVisibleTo(edit));
    EXPECT_EQ(edit->ButtonWidth(), 20);
    edit->SetShowButton(false);
    EXPECT_FALSE(edit->ButtonContainer()->isVisibleTo(edit));
    EXPECT_EQ(edit->ButtonWidth(), 20);
    edit->SetShowButton(true);
    EXPECT_EQ(edit->Button()->Width(), 20);
    // A button as wide as the edit is refused.
    edit->SetButtonWidth(150);
    EXPECT_EQ(edit->ButtonWidth(), 20);
}

TEST(ComboGlyphs, TheEllipsisOfA21PixelButtonHasThreeDotsAt1And6And11)
{
    const QImage dots = EllipsisGlyph(21);
    ASSERT_EQ(dots.size(), QSize(15, 4));
    EXPECT_EQ(DarkColumns(dots, 1), (std::vector<int>{1, 2, 6, 7, 11, 12}));
    EXPECT_EQ(DarkColumns(dots, 2), DarkColumns(dots, 1));
    EXPECT_TRUE(DarkColumns(dots, 0).empty());
    EXPECT_TRUE(DarkColumns(dots, 3).empty());
    EXPECT_EQ(EllipsisGlyph(4).width(), 1);
    EXPECT_EQ(DarkColumns(EllipsisGlyph(13), 1), (std::vector<int>{0, 1, 3, 4, 6}));
}

TEST_F(ComboFixture, PictureKindsGiveTheButtonItsPicture)
{
    edit->SetImageKind(TExImageKind::ikEllipsis);
    EXPECT_EQ(edit->Glyph().size(), QSize(15, 4));
    edit->SetButtonFlat(true);
    edit->SetImageKind(TExImageKind::ikDropDown);
    EXPECT_EQ(edit->ButtonWidth(), QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    EXPECT_FALSE(edit->Button()->ThemedDropDown);
    EXPECT_EQ(edit->Glyph().size(), QSize(7, 4));
    // A stored legacy kind loads as the picture kind of the same position.
    EXPECT_TRUE(edit->ReadLegacyProperty("GlyphKind", "GKELLIPSIS"));
    EXPECT_EQ(edit->ImageKind(), TExImageKind::ikEllipsis);
    EXPECT_FALSE(edit->ReadLegacyProperty("Caption", "x"));
}

TEST_F(ComboFixture, ADisabledEditShowsItsTextInItsDisabledColours)
{
    edit->SetText("C:/Program Files/a rather long path that does not fit");
    edit->SetEnabled(false);
    EXPECT_EQ(edit->palette().color(QPalette::Disabled, QPalette::Base), ToQColor(clWindow));
    EXPECT_EQ(edit->palette().color(QPalette::Disabled, QPalette::Text), ToQColor(clGrayText));
    EXPECT_FALSE(edit->Button()->Enabled());
    edit->SetDisabledColor(clYellow);
    EXPECT_EQ(edit->palette().color(QPalette::Disabled, QPalette::Base), QColor(Qt::yellow));
}

TEST_F(ComboFixture, CompletionOffersTheEditsItems)
{
    edit->CompletionItems().Add("alpha");
    edit->CompletionItems().Add("beta");
    edit->SetAutoCompleteOptions({acoAutoSuggest});
    ASSERT_NE(edit->Completer(), nullptr);
    EXPECT_EQ(edit->completer(), edit->Completer());
    EXPECT_EQ(edit->Completer()->model()->rowCount(), 2);
    edit->SetAutoCompleteOptions({});
    EXPECT_EQ(edit->completer(), nullptr);
}
