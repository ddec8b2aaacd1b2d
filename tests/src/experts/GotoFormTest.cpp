// The Go To dialog: where each kind of text moves the caret, and the dialog's own buttons.

#include "experts/zuGotoForm.h"

#include "src/run/ShellTestSupport.h"

#include <QLineEdit>
#include <QPushButton>

namespace {

struct TGotoCase {
    const char* Text;
    TBufferCoord From;
    TBufferCoord Expected;
};

} // namespace

TEST(GotoTarget, AbsoluteRelativeAndInvalidParts)
{
    const TBufferCoord caret = MakeBufferCoord(7, 20);
    const TGotoCase cases[] = {
        {"25", caret, MakeBufferCoord(7, 25)},        // the column stays
        {"+3", caret, MakeBufferCoord(7, 23)},
        {"-3", caret, MakeBufferCoord(7, 17)},
        {"10:5", caret, MakeBufferCoord(5, 10)},
        {":8", caret, MakeBufferCoord(8, 20)},        // an empty line part keeps the line
        {"-2:+4", caret, MakeBufferCoord(11, 18)},
        {"abc", caret, caret},                       // no number: nothing changes
        {"+x", caret, caret},                        // a relative part that is no number adds 0
        {"12:+", caret, MakeBufferCoord(7, 12)},
        {"", caret, caret},
        {"5:", caret, MakeBufferCoord(7, 5)},         // an empty column part keeps the column
        {"3:4:5", caret, MakeBufferCoord(7, 3)},      // "4:5" is no number
        {"-50", caret, MakeBufferCoord(7, 1)},        // never before the first line
        {":-50", caret, MakeBufferCoord(1, 20)},
        {"0", caret, MakeBufferCoord(7, 1)},
    };
    for (const TGotoCase& c : cases) {
        const TBufferCoord got = GotoTarget(c.Text, c.From);
        EXPECT_EQ(got.LineNumber, c.Expected.LineNumber) << '"' << c.Text << '"';
        EXPECT_EQ(got.CharIndex, c.Expected.CharIndex) << '"' << c.Text << '"';
    }
}

TEST(GotoTarget, AColumnPartIsReadUpTo255Characters)
{
    const std::string longColumn = "4" + std::string(300, ' ');
    EXPECT_EQ(GotoTarget("2:" + longColumn, MakeBufferCoord(1, 1)).CharIndex, 1)
        << "the first 255 characters are '4' and blanks, which is no number";
    EXPECT_EQ(GotoTarget("2:+4", MakeBufferCoord(1, 1)).CharIndex, 5);
}

struct GotoForm : ShellTest {};

TEST_F(GotoForm, GoToMovesTheCaretMarksTheLineAndCloses)
{
    Start();
    std::string text;
    for (int i = 1; i <= 40; ++i)
        text += "line " + std::to_string(i) + " with some text\n";
    TCodeEditorForm* document = Open(WriteWork("a.php", text));
    document->Editor()->SetCaretCoord(MakeBufferCoord(3, 10));
    TGotoForm dialog(document);
    EXPECT_EQ(dialog.PositionEdit->maxLength(), 21);
    dialog.PositionEdit->setText(QStringLiteral("+5:9"));
    dialog.GotoClick();
    EXPECT_EQ(document->Editor()->CaretLine(), 15);
    EXPECT_EQ(document->Editor()->CaretChar(), 9);
    EXPECT_EQ(document->MarkedLine(), 15);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST_F(GotoForm, EnterInTheBoxGoesThereAndCloseChangesNothing)
{
    Start();
    TCodeEditorForm* document = Open(WriteWork("a.php", "a\nb\nc\nd\n"));
    {
        TGotoForm dialog(document);
        dialog.show();
        QTest::keyClicks(dialog.PositionEdit, QStringLiteral("3"));
        QTest::keyClick(dialog.PositionEdit, Qt::Key_Return);
        EXPECT_EQ(document->Editor()->CaretLine(), 3);
        EXPECT_FALSE(dialog.isVisible());
    }
    TGotoForm dialog(document);
    dialog.show();
    dialog.PositionEdit->setText(QStringLiteral("1"));
    for (QPushButton* button : dialog.findChildren<QPushButton*>())
        if (button->text() == QStringLiteral("&Close"))
            button->click();
    EXPECT_EQ(document->Editor()->CaretLine(), 3);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}
