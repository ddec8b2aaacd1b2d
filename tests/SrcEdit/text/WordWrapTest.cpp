// Word wrap: how lines are cut into rows, the conversions between lines and rows, and the
// row map kept in step with the line store's changes.

#include "SrcEdit/Source/text/SrcEditWordWrap.h"

#include "SrcEdit/Source/text/SrcEditStringList.h"

#include "Platform/core/Exceptions.h"
#include "Platform/text/TextChars.h"

#include <gtest/gtest.h>
#include <memory>
#include <random>

namespace {

TSrcCharSet HighlighterIdentChars()
{
    TSrcCharSet set;
    for (int c = 0; c < 256; ++c)
        set.set(static_cast<size_t>(c), TextChars::IsIdentChar(static_cast<unsigned char>(c)));
    return set;
}

// The editor's default without a highlighter: #33..#255.
TSrcCharSet EditorIdentChars()
{
    TSrcCharSet set;
    for (int c = 33; c < 256; ++c)
        set.set(static_cast<size_t>(c));
    return set;
}

// Stands in for the editor: owns the lines and forwards the store's changes to the plug-in.
class WrapOwner : public ISrcWordWrapOwner {
public:
    WrapOwner()
    {
        Lines.OnLinesInserted = [this](TObject*, int i, int n) { Forward(&ISrcEditBufferPlugin::LinesAdded, i, n); };
        Lines.OnLinesDeleted = [this](TObject*, int i, int n) { Forward(&ISrcEditBufferPlugin::LinesRemoved, i, n); };
        Lines.OnLinesPut = [this](TObject*, int i, int n) { Forward(&ISrcEditBufferPlugin::LinesReplaced, i, n); };
        Lines.OnCleared = [this](TObject*) {
            if (Plugin)
                Plugin->Rewrap();
        };
    }

    const TSrcEditStringList& LineStore() const override { return Lines; }
    int CharsInWindow() const override { return Chars; }
    int TabWidth() const override { return Lines.TabWidth(); }
    TSrcCharSet GetIdentifierChars() const override { return Ident; }

    void WrapOn() { Plugin = std::make_unique<TSrcWordWrapPlugin>(this); }

    std::vector<int> Rows() const
    {
        std::vector<int> rows;
        for (int r = 1; r <= Plugin->RowCount(); ++r)
            rows.push_back(Plugin->RowLength(r));
        return rows;
    }

    TSrcEditStringList Lines;
    int Chars = 10;
    TSrcCharSet Ident = HighlighterIdentChars();
    std::unique_ptr<TSrcWordWrapPlugin> Plugin;
    int LastChange = 0;

private:
    void Forward(int (ISrcEditBufferPlugin::*operation)(int, int), int index, int count)
    {
        if (Plugin)
            LastChange = (Plugin.get()->*operation)(index, count);
    }
};

const std::string Han = "\xE6\xBC\xA2"; // two columns

std::string Repeat(const std::string& s, int n)
{
    std::string out;
    for (int i = 0; i < n; ++i)
        out += s;
    return out;
}

} // namespace

TEST(WordWrapRows, LinesAreCutAtBlanksBreakCharactersOrHard)
{
    struct Case {
        std::string Name;
        std::string Line;
        int Width;
        int TabWidth;
        bool EditorDefaultIdent;
        std::vector<int> Rows;
    };
    const std::vector<Case> cases = {
        {"blank before the next word", "aaaa bbbb cccc", 10, 8, false, {10, 4}},
        {"no break character", std::string(25, 'a'), 10, 8, false, {10, 10, 5}},
        {"break character ends the row", "abcdefgh.ijklm", 10, 8, false, {9, 5}},
        {"break too early is ignored", "ab.cdefghijklm", 10, 8, false, {10, 4}},
        {"editor default: dot is a word character", "abcdefgh.ijklm", 10, 8, true, {10, 4}},
        {"empty line", "", 10, 8, false, {0}},
        {"exactly the width", "abcdefghij", 10, 8, false, {10}},
        {"trailing blanks stay on the row", "abcdefghij  ", 10, 8, false, {12}},
        {"blank run then a word", "abcdefghij   k", 10, 8, false, {13, 1}},
        {"wider than 255", std::string(600, 'a'), 300, 8, false, {255, 255, 90}},
        {"expanded tab is blank", "a\tb", 3, 4, false, {4, 1}},
        {"over-long blank run backs off to a tab stop", "x" + std::string(40, '\t'), 100, 8, false, {248, 72}},
        {"wide characters stay whole", Repeat(Han, 6), 5, 8, false, {4, 4, 4}},
        {"multi-byte one-column characters", Repeat("\xC3\xA9", 12), 5, 8, false, {5, 5, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        WrapOwner owner;
        owner.Chars = c.Width;
        owner.Lines.SetTabWidth(c.TabWidth);
        if (c.EditorDefaultIdent)
            owner.Ident = EditorIdentChars();
        owner.Lines.Add(c.Line);
        owner.WrapOn();
        EXPECT_EQ(owner.Rows(), c.Rows);
    }
}

TEST(WordWrapRows, RowsAlwaysAdvanceEvenWhereNoRowFits)
{
    // A wide character in a one-column window, and tab runs whose back-off would reach the
    // row start, must still make rows rather than loop for ever.
    WrapOwner narrow;
    narrow.Chars = 1;
    narrow.Lines.Add(Han + Han + "a");
    narrow.WrapOn();
    EXPECT_EQ(narrow.Rows(), (std::vector<int>{2, 2, 1}));

    WrapOwner wideTabs;
    wideTabs.Chars = 80;
    wideTabs.Lines.SetTabWidth(256);
    wideTabs.Lines.Add("\t\t");
    wideTabs.WrapOn();
    EXPECT_EQ(wideTabs.Rows(), (std::vector<int>{255, 255, 2}));
}

TEST(WordWrapRows, WidthSettingsFollowTheWindow)
{
    WrapOwner owner;
    owner.Chars = 10;
    owner.Lines.Add("x");
    owner.WrapOn();
    EXPECT_EQ(owner.Plugin->MaxRowLength(), 10);
    EXPECT_EQ(owner.Plugin->MinRowLength(), 7);
    owner.Chars = 1000;
    owner.Plugin->WidthChanged();
    EXPECT_EQ(owner.Plugin->MaxRowLength(), 255);
    EXPECT_EQ(owner.Plugin->MinRowLength(), 170);
    owner.Chars = 1;
    owner.Plugin->WidthChanged();
    EXPECT_EQ(owner.Plugin->MinRowLength(), 1);
}

namespace {

// Lines: 0 "aaaa bbbb cccc" (rows 1-2: 10, 4), 1 "" (row 3), 2 25 letters (rows 4-6: 10, 10, 5),
// 3 "short" (row 7).
class WordWrapMap : public ::testing::Test {
protected:
    void SetUp() override
    {
        Owner.Lines.SetText("aaaa bbbb cccc\n\nabcdefghijklmnopqrstuvwxy\nshort");
        Owner.WrapOn();
        ASSERT_EQ(Owner.Rows(), (std::vector<int>{10, 4, 0, 10, 10, 5, 5}));
    }
    WrapOwner Owner;
};

} // namespace

TEST_F(WordWrapMap, LineToRowPosFindsTheRowThatHoldsTheColumn)
{
    struct Case {
        int Column, Line;
        TDisplayPoint Expected;
    };
    const std::vector<Case> cases = {
        {1, 1, {1, 1}},   {10, 1, {10, 1}}, {11, 1, {1, 2}},  {14, 1, {4, 2}}, {15, 1, {5, 2}},
        {40, 1, {30, 2}}, {1, 2, {1, 3}},   {5, 2, {5, 3}},   {20, 3, {10, 5}}, {21, 3, {1, 6}},
        {1, 4, {1, 7}},   {1, 5, {1, 8}},   {3, 6, {3, 9}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.Column) + "," + std::to_string(c.Line));
        EXPECT_EQ(Owner.Plugin->LineToRowPos(c.Column, c.Line), c.Expected);
    }
}

TEST_F(WordWrapMap, RowToLinePosLimitsTheColumnAndAddsEarlierRows)
{
    struct Case {
        int Column, Row;
        TLineColumn Expected;
    };
    const std::vector<Case> cases = {
        {1, 1, {1, 1}},  {11, 1, {11, 1}}, {20, 1, {11, 1}}, {1, 2, {11, 1}}, {5, 2, {15, 1}},
        {20, 2, {21, 1}}, {1, 3, {1, 2}},  {7, 3, {7, 2}},   {3, 6, {23, 3}}, {30, 7, {11, 4}},
        {2, 8, {2, 5}},  {4, 10, {4, 7}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.Column) + "," + std::to_string(c.Row));
        EXPECT_EQ(Owner.Plugin->RowToLinePos(c.Column, c.Row), c.Expected);
    }
}

TEST_F(WordWrapMap, RowLengthOutsideTheMapIsAListError)
{
    EXPECT_EQ(Owner.Plugin->RowCount(), 7);
    EXPECT_EQ(Owner.Plugin->RowLength(4), 10);
    for (const int row : {0, 8, -1}) {
        try {
            Owner.Plugin->RowLength(row);
            ADD_FAILURE() << "no error for row " << row;
        } catch (const EListError& e) {
            EXPECT_EQ(e.Message(), "List index out of bounds (" + std::to_string(row) + ")");
        }
    }
}

TEST_F(WordWrapMap, InsertingALineShiftsTheRowsAfterIt)
{
    Owner.Lines.Insert(1, "one two three four");
    EXPECT_EQ(Owner.LastChange, 2);
    EXPECT_EQ(Owner.Plugin->RowCount(), 9);
    EXPECT_EQ(Owner.Plugin->LineToRowPos(1, 2), (TDisplayPoint{1, 3}));
    EXPECT_EQ(Owner.Plugin->LineToRowPos(21, 4), (TDisplayPoint{1, 8})) << "was row 6";
    EXPECT_EQ(Owner.Plugin->RowToLinePos(1, 9), (TLineColumn{1, 5}));
}

TEST_F(WordWrapMap, ChangesReportTheirRowDifference)
{
    Owner.Lines.Put(3, std::string(30, 'z'));
    EXPECT_EQ(Owner.LastChange, 2);
    Owner.Lines.Put(3, "z");
    EXPECT_EQ(Owner.LastChange, -2);
    Owner.Lines.Put(3, "y");
    EXPECT_EQ(Owner.LastChange, 0);
    Owner.Lines.DeleteLineRange(1, 2);
    EXPECT_EQ(Owner.LastChange, 4);
    EXPECT_EQ(Owner.Rows(), (std::vector<int>{10, 4, 1}));
    Owner.Lines.Clear();
    EXPECT_EQ(Owner.Plugin->RowCount(), 0);
    EXPECT_EQ(Owner.Plugin->LineCount(), 0);
    Owner.Lines.Add("again");
    EXPECT_EQ(Owner.Rows(), (std::vector<int>{5}));
}

TEST_F(WordWrapMap, AZeroWidthSwitchesRowsOff)
{
    Owner.Chars = 0;
    Owner.Plugin->WidthChanged();
    EXPECT_EQ(Owner.Plugin->RowCount(), 0);
    Owner.Lines.Add("more");
    EXPECT_EQ(Owner.LastChange, 0);
    EXPECT_EQ(Owner.Plugin->LineToRowPos(3, 5), (TDisplayPoint{3, 5})) << "rows are lines";
    EXPECT_EQ(Owner.Plugin->RowToLinePos(3, 5), (TLineColumn{3, 5}));
    Owner.Chars = 10;
    Owner.Plugin->WidthChanged();
    EXPECT_EQ(Owner.Plugin->RowCount(), 8);
}

TEST_F(WordWrapMap, WidthChangedRewrapsOnlyForANewWidth)
{
    Owner.Ident = EditorIdentChars(); // taken only by a rewrap
    Owner.Plugin->WidthChanged();
    EXPECT_EQ(Owner.Plugin->RowCount(), 7);
    Owner.Plugin->Rewrap();
    EXPECT_EQ(Owner.Plugin->RowCount(), 7);
    Owner.Chars = 5;
    Owner.Plugin->WidthChanged();
    EXPECT_EQ(Owner.Plugin->MaxRowLength(), 5);
    EXPECT_EQ(Owner.Rows(), (std::vector<int>{5, 5, 4, 0, 5, 5, 5, 5, 5, 5}));
}

TEST_F(WordWrapMap, CallsOutsideTheMapAreAssertionFailures)
{
    EXPECT_THROW(Owner.Plugin->LinesRemoved(3, 2), EAssertionFailed);
    EXPECT_THROW(Owner.Plugin->LinesRemoved(0, 0), EAssertionFailed);
    EXPECT_THROW(Owner.Plugin->LinesReplaced(-1, 1), EAssertionFailed);
    EXPECT_THROW(Owner.Plugin->LinesAdded(5, 1), EAssertionFailed);
    EXPECT_THROW(Owner.Plugin->LineToRowPos(1, 0), EAssertionFailed);
    EXPECT_THROW(Owner.Plugin->RowToLinePos(1, 0), EAssertionFailed);
    EXPECT_EQ(Owner.Plugin->RowCount(), 7);
}

TEST(WordWrapPlugin, NeedsAnOwner)
{
    try {
        TSrcWordWrapPlugin plugin(nullptr);
        ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "TSrcWordWrapPlugin must be owned by TCustomSrcEdit");
    }
}

TEST(WordWrapPlugin, IncrementalMapMatchesAFullRewrapAfterEdits)
{
    WrapOwner owner;
    owner.Chars = 12;
    owner.Lines.SetTabWidth(4);
    owner.WrapOn();
    std::mt19937 random(1234);
    const std::vector<std::string> pieces = {"", "word ", "a.b", "\t", Han, "xxxxxxxxxxxxxxxx", "  ", "\xC3\xA9", "z"};
    auto line = [&] {
        std::string s;
        const int n = static_cast<int>(random() % 8);
        for (int i = 0; i < n; ++i)
            s += pieces[random() % pieces.size()];
        return s;
    };
    for (int step = 0; step < 400; ++step) {
        const int count = owner.Lines.Count();
        const int index = count == 0 ? 0 : static_cast<int>(random() % static_cast<unsigned>(count));
        switch (random() % 6) {
        case 0: owner.Lines.Add(line()); break;
        case 1: owner.Lines.Insert(index, line()); break;
        case 2:
            if (count > 0)
                owner.Lines.Put(index, line());
            break;
        case 3:
            if (count > 0)
                owner.Lines.Delete(index);
            break;
        case 4: owner.Lines.DeleteLineRange(index, static_cast<int>(random() % 3)); break;
        case 5: {
            const int n = 1 + static_cast<int>(random() % 3);
            owner.Lines.InsertBlankLines(index, n);
            for (int i = 0; i < n; ++i)
                owner.Lines.Put(index + i, line());
            break;
        }
        }
        ASSERT_EQ(owner.Plugin->LineCount(), owner.Lines.Count()) << "step " << step;
    }
    const std::vector<int> incremental = owner.Rows();
    owner.Plugin->Rewrap();
    EXPECT_EQ(incremental, owner.Rows());
    for (int line = 1; line <= owner.Lines.Count(); ++line) {
        const TDisplayPoint first = owner.Plugin->LineToRowPos(1, line);
        EXPECT_EQ(owner.Plugin->RowToLinePos(1, first.DisplayRow), (TLineColumn{1, line}));
    }
}
