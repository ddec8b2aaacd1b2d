// The editor's properties and deferred updates: clamping writers, the paint lock and status
// reports, line-store notifications with their highlighter rescans, the highlighter and the font.

#include "SrcEdit/view/EditorTestSupport.h"
#include "SrcEdit/highlighters/TestHighlighter.h"

#include "Platform/core/Messages.h"
#include "Platform/files/Streams.h"

#include <climits>

namespace {

using EditorUpdates = EditorTest;

// Counts the lines the highlighter is asked to scan.
class TCountingSyn : public TTestSyn {
public:
    using TTestSyn::TTestSyn;
    void StartLine(std::string_view lineText, int lineNumber) override
    {
        Scanned.push_back(lineNumber);
        TTestSyn::StartLine(lineText, lineNumber);
    }
    std::vector<int> Scanned;
};

// Records what the editor asks to repaint.
class TInvalidateProbe : public TSrcEdit {
public:
    using TSrcEdit::TSrcEdit;
    void InvalidateArea(const TRect& rect, bool erase) override
    {
        Areas.push_back(rect);
        TSrcEdit::InvalidateArea(rect, erase);
    }
    std::vector<TRect> Areas;
};

TEST_F(EditorUpdates, WritersClampOrIgnoreOutOfRangeValues)
{
    Edit->SetTabWidth(0);
    EXPECT_EQ(Edit->TabWidth(), 1);
    Edit->SetTabWidth(300);
    EXPECT_EQ(Edit->TabWidth(), 256);
    EXPECT_EQ(Edit->Lines().TabWidth(), 256);
    Edit->SetMaxScrollWidth(0);
    EXPECT_EQ(Edit->MaxScrollWidth(), 1);
    Edit->SetMaxScrollWidth(INT_MAX);
    EXPECT_EQ(Edit->MaxScrollWidth(), 2147483646);
    Edit->SetMaxUndo(5);
    Edit->SetMaxUndo(-1);
    EXPECT_EQ(Edit->UndoList().MaxEntries(), 5);
    EXPECT_EQ(Edit->RedoList().MaxEntries(), 5);
}

TEST_F(EditorUpdates, TheDefaultsAreThoseOfTheControl)
{
    TSrcEdit edit;
    EXPECT_EQ(edit.Options().Bits(), 0x026C0192u);
    EXPECT_EQ(edit.Width(), 200);
    EXPECT_EQ(edit.Height(), 150);
    EXPECT_EQ(edit.Font().Name(), "Courier New");
    EXPECT_EQ(edit.Font().Size(), 10);
    EXPECT_EQ(edit.RightEdge(), 80);
    EXPECT_EQ(edit.TabWidth(), 8);
    EXPECT_EQ(edit.MaxScrollWidth(), 1024);
    EXPECT_TRUE(edit.InsertMode());
    EXPECT_TRUE(edit.WantReturns());
    EXPECT_FALSE(edit.WantTabs());
    EXPECT_EQ(edit.GutterWidth(), edit.Gutter().Width());
    EXPECT_GT(edit.Keystrokes().Count(), 80);
}

TEST_F(EditorUpdates, ABurstOfChangesIsReportedOnce)
{
    SetText("one\r\ntwo\r\nthree");
    std::vector<TSrcStatusChanges> reports;
    Edit->OnStatusChange = [&](TObject*, TSrcStatusChanges changes) { reports.push_back(changes); };
    Edit->LockPainting();
    Edit->MoveCaret(MakeBufferCoord(2, 1));
    Edit->LockPainting();
    Edit->MoveCaret(MakeBufferCoord(2, 2));
    Edit->UnlockPainting();
    Edit->MoveCaret(MakeBufferCoord(3, 3));
    EXPECT_TRUE(reports.empty());
    Edit->UnlockPainting();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_TRUE(reports[0].Contains(scCaretX));
    EXPECT_TRUE(reports[0].Contains(scCaretY));
    EXPECT_THROW(Edit->UnlockPainting(), EAssertionFailed);
}

TEST_F(EditorUpdates, WithoutAHandlerTheChangesWaitForTheFirstOne)
{
    SetText("abc");
    Edit->MoveCaret(MakeBufferCoord(3, 1));
    Edit->SetReadOnly(true);
    TSrcStatusChanges got;
    Edit->OnStatusChange = [&](TObject*, TSrcStatusChanges changes) { got = changes; };
    Edit->SetInsertMode(false);
    EXPECT_TRUE(got.Contains(scCaretX));
    EXPECT_TRUE(got.Contains(scReadOnly));
    EXPECT_TRUE(got.Contains(scInsertMode));
}

TEST_F(EditorUpdates, ClearingTheLinesResetsCaretViewAndHistory)
{
    std::string text;
    for (int i = 0; i < 200; ++i)
        text += std::string(200, 'x') + "\r\n";
    SetText(text);
    Type("more");
    Edit->MoveCaret(MakeBufferCoord(150, 150));
    ASSERT_GT(Edit->FirstVisibleRow(), 1);
    TSrcStatusChanges got;
    Edit->OnStatusChange = [&](TObject*, TSrcStatusChanges changes) { got += changes; };
    Edit->Lines().Clear();
    EXPECT_EQ(Caret(), MakeBufferCoord(1, 1));
    EXPECT_EQ(Edit->FirstVisibleRow(), 1);
    EXPECT_EQ(Edit->FirstVisibleColumn(), 1);
    EXPECT_FALSE(Edit->UndoAvailable());
    EXPECT_FALSE(Edit->RedoAvailable());
    got = {};
    Type("a"); // scAll waits for the next report
    EXPECT_TRUE(got.Contains(scAll));
}

TEST_F(EditorUpdates, RangesAreRescannedOnlyAsFarAsTheyChange)
{
    TCountingSyn highlighter;
    SetText("a\r\nb\r\nc\r\nd\r\ne\r\nf");
    Edit->SetHighlighter(&highlighter);
    EXPECT_EQ(highlighter.Scanned.size(), 6u); // attaching scans everything

    highlighter.Scanned.clear();
    Edit->Lines().Put(2, "c changed");
    EXPECT_EQ(highlighter.Scanned, (std::vector<int>{2}));

    highlighter.Scanned.clear();
    Edit->Lines().Put(1, "b /* open");
    EXPECT_EQ(highlighter.Scanned, (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(Edit->Lines().LineRange(5), TTestSyn::rsComment);

    highlighter.Scanned.clear();
    Edit->Lines().Put(3, "*/ closed");
    EXPECT_EQ(highlighter.Scanned, (std::vector<int>{3, 4, 5}));
    EXPECT_EQ(Edit->Lines().LineRange(5), TTestSyn::rsNormal);

    highlighter.Scanned.clear();
    Edit->Lines().InsertBlankLines(1, 3); // unchanged ranges inside the block still get scanned
    EXPECT_EQ(highlighter.Scanned, (std::vector<int>{1, 2, 3, 4}));
    Edit->SetHighlighter(nullptr);
}

TEST_F(EditorUpdates, TypingRepaintsOnlyTheChangedRows)
{
    TInvalidateProbe edit;
    edit.resize(600, 400);
    edit.show();
    edit.SetAllText("one\r\ntwo\r\nthree\r\nfour\r\nfive");
    edit.SetCaretCoord(MakeBufferCoord(1, 2));
    QApplication::processEvents();
    edit.Areas.clear();
    edit.DispatchCommand(ecChar, U'x', nullptr);
    TRect all;
    for (const TRect& r : edit.Areas)
        UnionRect(all, all, r);
    EXPECT_GE(all.Top, edit.LineHeight() * 1);
    EXPECT_LE(all.Bottom, edit.LineHeight() * 2 + 1);
}

TEST_F(EditorUpdates, InvalidatedRowsAreOrderedAndClipped)
{
    TInvalidateProbe edit;
    edit.resize(600, 400);
    edit.show();
    std::string text;
    for (int i = 0; i < 50; ++i)
        text += "line\r\n";
    edit.SetAllText(text);
    QApplication::processEvents();
    const int lh = edit.LineHeight();
    edit.Areas.clear();
    edit.InvalidateTextRows(5, 3);
    ASSERT_EQ(edit.Areas.size(), 1u);
    EXPECT_EQ(edit.Areas[0], Rect(edit.GutterWidth(), 2 * lh, edit.ClientWidth(), 5 * lh));
    edit.Areas.clear();
    edit.InvalidateTextRows(-1, -1);
    ASSERT_EQ(edit.Areas.size(), 1u);
    EXPECT_EQ(edit.Areas[0], Rect(edit.GutterWidth(), 0, edit.ClientWidth(), edit.ClientHeight()));
    edit.Areas.clear();
    edit.InvalidateGutterRows(2, 2);
    ASSERT_EQ(edit.Areas.size(), 1u);
    EXPECT_EQ(edit.Areas[0], Rect(0, lh, edit.GutterWidth(), 2 * lh));

    // Changes inside one update of the line store are invalidated once, as one rectangle.
    edit.Areas.clear();
    edit.Lines().BeginUpdate();
    edit.Lines().Put(2, "changed");
    edit.Lines().Put(6, "changed");
    EXPECT_TRUE(edit.Areas.empty());
    edit.Lines().EndUpdate();
    ASSERT_EQ(edit.Areas.size(), 1u);
    EXPECT_EQ(edit.Areas[0].Top, 2 * lh);
    EXPECT_EQ(edit.Areas[0].Bottom, 7 * lh);
}

TEST_F(EditorUpdates, SettingTheSameOptionsDoesNothing)
{
    TInvalidateProbe edit;
    edit.show();
    QApplication::processEvents();
    int reports = 0;
    edit.OnStatusChange = [&](TObject*, TSrcStatusChanges) { ++reports; };
    edit.Areas.clear();
    edit.SetOptions(edit.Options());
    EXPECT_TRUE(edit.Areas.empty());
    EXPECT_EQ(reports, 0);
    TSrcEditorOptions options = edit.Options();
    options.Include(eoShowSpecialChars);
    edit.SetOptions(options);
    EXPECT_FALSE(edit.Areas.empty());
}

TEST_F(EditorUpdates, AProportionalFontIsReplacedByAFixedPitchOne)
{
    TFont proportional;
    proportional.SetName("DejaVu Sans");
    proportional.SetSize(12);
    proportional.SetStyle({fsBold});
    proportional.SetColor(clMaroon);
    Edit->SetFont(proportional);
    EXPECT_EQ(Edit->Font().Name(), "DejaVu Sans");
    EXPECT_EQ(Edit->Font().Pitch(), TFontPitch::fpFixed);
    EXPECT_EQ(Edit->Font().Size(), 12);
    EXPECT_EQ(Edit->Font().Color(), clMaroon);
    EXPECT_TRUE(Edit->Font().Style().Contains(fsBold));

    TFont fixed;
    fixed.SetName("DejaVu Sans Mono");
    fixed.SetSize(9);
    Edit->SetFont(fixed);
    EXPECT_EQ(Edit->Font().Name(), "DejaVu Sans Mono");
    EXPECT_EQ(Edit->Font().Pitch(), TFontPitch::fpDefault);
}

TEST_F(EditorUpdates, ExtraLineSpacingAddsToTheTallestStyle)
{
    TTestSyn highlighter;
    Edit->SetHighlighter(&highlighter);
    const int height = Edit->LineHeight();
    Edit->SetExtraLineSpacing(3);
    EXPECT_EQ(Edit->LineHeight(), height + 3);
    Edit->SetHighlighter(nullptr);
}

TEST_F(EditorUpdates, TheEditorForgetsAHighlighterThatIsDestroyed)
{
    auto highlighter = std::make_unique<TTestSyn>();
    Edit->SetHighlighter(highlighter.get());
    SetText("if x");
    highlighter.reset();
    EXPECT_EQ(Edit->Highlighter(), nullptr);
    Type("y"); // no rescan through a dead highlighter
    EXPECT_EQ(Text(), "yif x");
    (void)Edit->viewport()->grab();
}

TEST_F(EditorUpdates, AnAttributeChangeRepaintsWithoutRescanning)
{
    TCountingSyn highlighter;
    Edit->SetHighlighter(&highlighter);
    SetText("a\r\nb");
    highlighter.Scanned.clear();
    highlighter.KeyAttri->SetForeground(clRed);
    EXPECT_TRUE(highlighter.Scanned.empty());
    highlighter.SetEnabled(false);
    EXPECT_TRUE(highlighter.Scanned.empty());
    Edit->SetHighlighter(nullptr);
}

TEST_F(EditorUpdates, TextMessagesReadAndReplaceTheWholeText)
{
    SetText("ab\r\ncd");
    char buffer[5] = {};
    EXPECT_EQ(Edit->Perform(WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer)), 4);
    EXPECT_STREQ(buffer, "ab\r\n");
    EXPECT_EQ(Edit->Perform(WM_SETTEXT, 0, reinterpret_cast<LPARAM>("new\ntext")), -1);
    EXPECT_EQ(Text(), "new\r\ntext");
    GoTo(2, 2);
    Edit->SetCaretLineText("line");
    EXPECT_EQ(Text(), "new\r\nline");
    EXPECT_EQ(Edit->GetCaretLineText(), "line");
}

TEST_F(EditorUpdates, KeystrokesCanBeClearedOrCopied)
{
    TSrcEditKeyStrokes other;
    other.AddBinding(ecUndo, 'Q', {ssCtrl});
    Edit->SetKeystrokes(&other);
    EXPECT_EQ(Edit->Keystrokes().Count(), 1);
    Edit->SetKeystrokes(nullptr);
    EXPECT_EQ(Edit->Keystrokes().Count(), 0);
}

TEST_F(EditorUpdates, LoadingAFileClearsTheHistoryAndKeepsTheBytes)
{
    SetText("old");
    Type("x");
    const std::string bytes = "alpha\nbeta\n";
    TMemoryStream stream;
    stream.Write(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    Edit->Lines().LoadFromStream(stream);
    EXPECT_FALSE(Edit->UndoAvailable());
    TMemoryStream out;
    Edit->Lines().SaveToStream(out);
    EXPECT_EQ(std::string(out.Memory(), static_cast<size_t>(out.Size())), bytes);
}

} // namespace
