// The memo and its caret shape: the line limit while pasting, typing and lifting it, the
// scroll-only viewer with a hidden caret, clipboard commands that leave only copying, scroll
// events, and the caret's shapes and update brackets.

#include "ExLib/run/common/ExExceptions.h"
#include "ExLib/run/edits/ExMemo.h"

#include "Platform/controls/Forms.h"

#include <QApplication>
#include <QClipboard>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct MemoFixture : ::testing::Test {
    TCustomForm form{nullptr};
    TExMemo* memo = new TExMemo(&form, &form);

    MemoFixture()
    {
        form.resize(300, 200);
        memo->SetBounds(0, 0, 200, 100);
    }
    std::string Text() { return memo->Text(); }
};

} // namespace

TEST_F(MemoFixture, ThePasteOfFiveLinesUnderAThreeLineLimitKeepsTheFirstThree)
{
    memo->SetMaxLines(3);
    int changes = 0;
    memo->OnChange = [&](TObject*) { ++changes; };
    QApplication::clipboard()->setText("one\ntwo\nthree\nfour\nfive");
    memo->Perform(WM_PASTE);
    EXPECT_EQ(Text(), "one\r\ntwo\r\nthree");
    EXPECT_EQ(changes, 1);

    // Lifting the limit keeps what is there now, also what was typed under the limit.
    memo->moveCursor(QTextCursor::Start);
    QTest::keyClicks(memo, "X");
    memo->SetMaxLines(0);
    EXPECT_EQ(Text(), "Xone\r\ntwo\r\nthree");
}

TEST_F(MemoFixture, AtTheLimitEnterDoesNothingButTypingOnTheLinesWorks)
{
    memo->SetText("ab\r\ncd");
    memo->SetMaxLines(2);
    memo->moveCursor(QTextCursor::End);
    QTest::keyClick(memo, Qt::Key_Return);
    EXPECT_EQ(Text(), "ab\r\ncd");
    QTest::keyClicks(memo, "e");
    memo->moveCursor(QTextCursor::Start);
    QTest::keyClicks(memo, "z");
    EXPECT_EQ(Text(), "zab\r\ncde");
    QApplication::clipboard()->setText("x\ny");
    memo->Perform(WM_PASTE);
    EXPECT_EQ(memo->Lines().Count(), 2);

    // Lines given through Lines beyond the limit are kept in the full text.
    TStringList lines;
    lines.SetText("1\n2\n3\n4");
    memo->SetLines(lines);
    EXPECT_EQ(memo->Lines().Count(), 2);
    EXPECT_EQ(memo->FullText().Count(), 4);
}

TEST_F(MemoFixture, AHiddenCaretMakesTheMemoAScrollOnlyViewer)
{
    std::string lines;
    for (int i = 0; i < 100; ++i)
        lines += "line " + std::to_string(i) + "\r\n";
    memo->SetText(lines);
    memo->SetHideCaret(true);
    form.show();
    QApplication::setActiveWindow(&form);
    memo->moveCursor(QTextCursor::Start);
    QTest::keyClick(memo, Qt::Key_Down);
    QTest::keyClick(memo, Qt::Key_Down);
    EXPECT_EQ(memo->CaretLine(), 0);
    EXPECT_EQ(memo->verticalScrollBar()->value(), 2);
    QTest::keyClick(memo, Qt::Key_End);
    EXPECT_EQ(memo->verticalScrollBar()->value(), memo->verticalScrollBar()->maximum());
    QTest::keyClicks(memo, "typed");
    EXPECT_EQ(Text(), lines);
    // A click only focuses.
    QTest::mouseClick(memo->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(memo->CaretLine(), 0);
    EXPECT_TRUE(memo->hasFocus());
    EXPECT_EQ(memo->cursorWidth(), 0);
}

TEST_F(MemoFixture, OnlyCopyingLeftMakesTheMemoReadOnly)
{
    memo->SetText("log");
    memo->SetClipboardCommands({caCopy});
    EXPECT_TRUE(memo->ReadOnly());
    QApplication::clipboard()->setText("x");
    memo->Perform(WM_PASTE);
    memo->selectAll();
    memo->Perform(WM_CLEAR);
    EXPECT_EQ(Text(), "log");
}

TEST_F(MemoFixture, ScrollingRaisesTheScrollEvents)
{
    int vertical = 0;
    memo->OnVerticalScroll = [&](TObject*) { ++vertical; };
    std::string lines;
    for (int i = 0; i < 50; ++i)
        lines += "x\r\n";
    memo->SetText(lines);
    form.show();
    memo->verticalScrollBar()->setValue(5);
    EXPECT_GE(vertical, 1);
}

TEST_F(MemoFixture, HotTrackingIsFlatUntilTheMouseComesIn)
{
    memo->SetHotTrack(true);
    EXPECT_TRUE(memo->LooksFlat());
    memo->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(memo));
    EXPECT_FALSE(memo->LooksFlat());
    memo->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(memo));
    EXPECT_TRUE(memo->LooksFlat());
}

TEST(Caret, ACaretNeedsAnOwner)
{
    try {
        TExCaret caret(nullptr);
        FAIL() << "no exception";
    } catch (const EExLibException& e) {
        EXPECT_EQ(e.Message(), "TExCaret: cannot be created without a valid Owner");
    }
}

TEST(Caret, APictureReplacesASizedShapeUntilASizeIsSetAgain)
{
    TWinControl owner(nullptr);
    TExCaret caret(&owner);
    EXPECT_TRUE(caret.IsDefault());
    caret.SetWidth(2);
    caret.SetBitmap(QImage(3, 8, QImage::Format_RGB32));
    EXPECT_EQ(caret.Width(), 0);
    EXPECT_TRUE(caret.IsBitmap());
    caret.SetWidth(2);
    EXPECT_FALSE(caret.IsBitmap());
    EXPECT_FALSE(caret.Bitmap().isNull());
}

TEST(Caret, ChangesInsideUpdateBracketsAreReportedOnce)
{
    TWinControl owner(nullptr);
    TExCaret caret(&owner);
    int changes = 0;
    caret.OnChanged = [&](TObject*) { ++changes; };
    caret.BeginUpdate();
    caret.BeginUpdate();
    caret.SetWidth(2);
    caret.SetHeight(10);
    caret.SetGray(true);
    caret.EndUpdate();
    EXPECT_EQ(changes, 0);
    caret.EndUpdate();
    EXPECT_EQ(changes, 1);
    TExCaret copy(&owner);
    int copied = 0;
    copy.OnChanged = [&](TObject*) { ++copied; };
    copy.Assign(caret);
    EXPECT_EQ(copied, 1);
    EXPECT_TRUE(copy.Gray());
}

TEST(Caret, OnlyAFocusedOwnerGetsACaretAndOnlyAShapeThatIsNotTheDefault)
{
    TCustomForm form(nullptr);
    auto* memo = new TExMemo(&form, &form);
    TExCaret& caret = memo->Caret();
    caret.CreateCaret();
    EXPECT_FALSE(caret.Created()); // default shape
    caret.SetWidth(4);
    caret.CreateCaret();
    EXPECT_FALSE(caret.Created()); // no focus
    form.show();
    QApplication::setActiveWindow(&form);
    memo->SetFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return memo->hasFocus(); }));
    EXPECT_TRUE(caret.Created());
    EXPECT_EQ(memo->cursorWidth(), 0); // the memo draws the shape itself
    caret.SetBitmap(QImage());
    EXPECT_FALSE(caret.Created());
}

TEST(Caret, AnEmptyPictureIsNotStoredAndAPictureRoundTrips)
{
    TWinControl owner(nullptr);
    TExCaret caret(&owner);
    EXPECT_TRUE(caret.CaretBitmapData().isEmpty());
    QImage picture(2, 6, QImage::Format_RGB32);
    picture.fill(Qt::red);
    caret.SetBitmap(picture);
    TExCaret other(&owner);
    other.ReadCaretBitmap(caret.CaretBitmapData());
    EXPECT_EQ(other.Bitmap().size(), QSize(2, 6));
    EXPECT_EQ(QColor(other.Bitmap().pixel(1, 5)), QColor(Qt::red));
}
