// Auto-correction in a real editor: which keys end a word, the case of the correction, the
// handlers' say, read-only editors, the line the caret left, and the item file.

#include "SrcEdit/Source/autocorrect/SrcEditAutoCorrect.h"

#include "SrcEdit/view/EditorTestSupport.h"

#include "support/TempDir.h"

namespace {

class AutoCorrect : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        Correct = std::make_unique<TSrcAutoCorrect>(nullptr);
        Correct->Items().Add("(c)\t\xC2\xA9");
        Correct->Items().Add("(r)\t\xC2\xAE");
        Correct->Items().Add("teh\tthe");
        Correct->SetEditor(Edit.get());
        SetText("");
    }
    void TearDown() override
    {
        Correct.reset();
        EditorTest::TearDown();
    }

    std::unique_ptr<TSrcAutoCorrect> Correct;
};

} // namespace

TEST_F(AutoCorrect, AWordEndedByABlankPunctuationEnterOrTabIsCorrected)
{
    const struct {
        const char* Typed;
        const char* Expected;
    } cases[] = {
        {"(c) ", "\xC2\xA9 "},
        {"x (r),", "x \xC2\xAE,"},
        {"(c)a ", "(c)a "},
        {"a(c) ", "a(c) "},
        {"teh.", "the."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Typed);
        SetText("");
        Type(c.Typed);
        EXPECT_EQ(Line(1), c.Expected);
    }
    // Beyond ASCII: a symbol ends the word, a letter does not.
    SetText("");
    Type("(c)");
    Command(ecChar, U'\u00A7');
    EXPECT_EQ(Line(1), "\xC2\xA9\xC2\xA7");
    SetText("");
    Type("(c)");
    Command(ecChar, U'\u00E9');
    Command(ecChar, ' ');
    EXPECT_EQ(Line(1), "(c)\xC3\xA9 ");
    SetText("");
    Type("(c)");
    Key(Qt::Key_Return);
    EXPECT_EQ(Text(), "\xC2\xA9\r\n");
    SetText("");
    Edit->SetWantTabs(true);
    Type("(r)");
    Key(Qt::Key_Tab);
    EXPECT_EQ(Line(1).substr(0, 2), "\xC2\xAE");
    // A key that types nothing ends no word.
    SetText("");
    Type("(c)");
    Key(Qt::Key_Escape);
    EXPECT_EQ(Line(1), "(c)");
}

TEST_F(AutoCorrect, TheCorrectionFollowsTheCaseOfTheWord)
{
    const struct {
        const char* Typed;
        const char* Expected;
    } cases[] = {{"TEH ", "THE "}, {"Teh ", "The "}, {"tEh ", "the "}, {"teh ", "the "}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Typed);
        SetText("");
        Type(c.Typed);
        EXPECT_EQ(Line(1), c.Expected);
    }
    Correct->Options = {ascoIgnoreCase};
    SetText("");
    Type("TEH ");
    EXPECT_EQ(Line(1), "the ");
    Correct->Options = {};
    SetText("");
    Type("TEH ");
    EXPECT_EQ(Line(1), "TEH ");
}

TEST_F(AutoCorrect, UndoBringsBackTheWordAsTyped)
{
    Type("(c) ");
    EXPECT_EQ(Line(1), "\xC2\xA9 ");
    Edit->UndoLastChange();
    EXPECT_EQ(Line(1), "(c)");
    UndoAll();
    EXPECT_EQ(Line(1), "");
    RedoAll();
    EXPECT_EQ(Line(1), "\xC2\xA9 ");
}

TEST_F(AutoCorrect, AnItemWithoutCorrectionDeletesTheWord)
{
    Correct->Items().Add("junk");
    Type("a junk ");
    EXPECT_EQ(Line(1), "a  ");
}

TEST_F(AutoCorrect, TheHandlerMayAbortAndIsToldWhatChanges)
{
    std::vector<std::string> seen;
    int corrected = 0;
    Correct->OnCorrected = [&](TObject*) { ++corrected; };
    Correct->OnAutoCorrect = [&](TObject*, const std::string& original, const std::string& correction, int line,
                                 int column, TAutoCorrectAction& action) {
        seen.push_back(original + ">" + correction + "@" + std::to_string(line) + ":" + std::to_string(column));
        action = TAutoCorrectAction::aaAbort;
    };
    Type("x teh ");
    EXPECT_EQ(Line(1), "x teh ");
    EXPECT_EQ(seen, std::vector<std::string>{"teh>the@1:6"});
    // OnCorrected fires whenever a word ended, corrected or not.
    EXPECT_EQ(corrected, 2);
}

TEST_F(AutoCorrect, AReadOnlyOrDisabledCorrectionChangesNothing)
{
    SetText("(c)");
    GoTo(4, 1);
    Edit->SetReadOnly(true);
    Command(ecChar, ' ');
    EXPECT_EQ(Line(1), "(c)");
    Edit->SetReadOnly(false);
    Correct->Enabled = false;
    Type(" ");
    EXPECT_EQ(Line(1), "(c) ");
}

TEST_F(AutoCorrect, AClickCorrectsTheLineTheCaretLeft)
{
    Correct->Options = {ascoCorrectOnMouseDown, ascoIgnoreCase, ascoMaintainCase};
    SetText("teh cat teh\r\nsecond");
    GoTo(4, 1);
    Command(ecRight); // remembers line 1
    Click(CellPoint(2, 2));
    EXPECT_EQ(Line(1), "the cat the");
    EXPECT_EQ(Caret(), MakeBufferCoord(2, 2));
    // Without the option nothing changes.
    Correct->Options = {ascoIgnoreCase};
    SetText("teh\r\nx");
    Command(ecRight);
    Click(CellPoint(1, 2));
    EXPECT_EQ(Line(1), "teh");
}

TEST_F(AutoCorrect, TheEditorMayGoFirst)
{
    Edit.reset();
    EXPECT_EQ(Correct->Editor(), nullptr);
    Correct.reset();
}

TEST(AutoCorrectItems, OriginalAndCorrectionSplitAtTheLastSeparator)
{
    TSrcAutoCorrect correct(nullptr);
    correct.Items().Add("a\tb\tc");
    correct.Items().Add("alone");
    EXPECT_EQ(correct.ItemOriginal(0), "a\tb");
    EXPECT_EQ(correct.ItemCorrection(0), "c");
    EXPECT_EQ(correct.ItemOriginal(1), "alone");
    EXPECT_EQ(correct.ItemCorrection(1), "");
}

TEST(AutoCorrectItems, TheFileRoundTripsByteForByte)
{
    TempDir dir;
    static const char raw[] = "(c)\t\xC2\xA9\r\n(tm)\t\xE2\x84\xA2\r\n\r\nodd\xFF\x80\tnul\0byte\r\n";
    const std::string bytes(raw, sizeof raw - 1);
    const std::string name = dir.Write("autocorrect.dat", bytes);
    TSrcAutoCorrect correct(nullptr);
    ASSERT_TRUE(correct.LoadItemsFromFile(name));
    ASSERT_EQ(correct.Items().Count(), 4);
    EXPECT_EQ(correct.ItemCorrection(1), "\xE2\x84\xA2");
    EXPECT_EQ(correct.Items().Get(2), "");
    EXPECT_EQ(correct.ItemCorrection(3), std::string("nul\0byte", 8));
    const std::string copy = dir.File("copy.dat");
    correct.SaveItemsToFile(copy);
    EXPECT_EQ(ReadWholeFile(copy), bytes);
}

TEST(AutoCorrectItems, ReadingAcceptsEveryLineBreak)
{
    TempDir dir;
    TSrcAutoCorrect correct(nullptr);
    ASSERT_TRUE(correct.LoadItemsFromFile(dir.Write("a.dat", "a\tb\nc\td\re\tf\r\ng\th")));
    EXPECT_EQ(correct.Items().Text(), "a\tb\r\nc\td\r\ne\tf\r\ng\th\r\n");
    ASSERT_TRUE(correct.LoadItemsFromFile(dir.Write("empty.dat", "")));
    EXPECT_EQ(correct.Items().Count(), 0);
}

TEST(AutoCorrectItems, AMissingFileKeepsTheItems)
{
    TempDir dir;
    TSrcAutoCorrect correct(nullptr);
    correct.Items().Add("(c)\t\xC2\xA9");
    EXPECT_FALSE(correct.LoadItemsFromFile(dir.File("none.dat")));
    EXPECT_EQ(correct.Items().Count(), 1);
    EXPECT_THROW(correct.SaveItemsToFile(dir.File("no/such/folder/a.dat")), std::exception);
}
