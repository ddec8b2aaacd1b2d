// The editor's search and replace with the plain and the regular-expression engines.

#include "SrcEdit/view/EditorTestSupport.h"

#include "SrcEdit/Source/search/SrcEditRegexSearch.h"
#include "SrcEdit/Source/search/SrcEditSearch.h"

#include <optional>

namespace {

using F = TSrcEditSearchFlag;

TSrcEditSearchFlags Flags(std::initializer_list<TSrcEditSearchFlag> flags)
{
    TSrcEditSearchFlags result;
    for (TSrcEditSearchFlag f : flags)
        result.Include(f);
    return result;
}

// A regular-expression engine whose matching runs out of steps on any line holding "boom".
class RunawayEngine : public TSrcEditRegexSearch {
public:
    using TSrcEditRegexSearch::TSrcEditRegexSearch;
    int FindAllInLine(const std::string& line) override
    {
        if (line.find("boom") != std::string::npos)
            throw ERegExpr("TRegExpr(exec): Match Too Complex", TRegExpr::ErrorMatchTooComplex, 0);
        return TSrcEditRegexSearch::FindAllInLine(line);
    }
};

class EditorSearchReplace : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        Edit->SetSearchEngine(&Plain);
    }
    void TearDown() override
    {
        Edit->SetSearchEngine(nullptr);
        EditorTest::TearDown();
    }

    void ExpectSettled()
    {
        EXPECT_EQ(Edit->PaintLockCount(), 0);
        EXPECT_EQ(Edit->UndoList().BlockCount(), 0);
    }

    TSrcEditSearch Plain;
    TSrcEditRegexSearch Regex;
};

struct TReplaceCase {
    const char* What;
    std::string Text;
    TBufferCoord Caret;
    std::optional<std::pair<TBufferCoord, TBufferCoord>> Selection;
    TSrcSelectionMode Mode;
    bool UseRegex;
    std::string Search;
    std::string Replace;
    TSrcEditSearchFlags Options;
    int Count;
    std::string Result;
    // For a search without replacing: the selected match and where the caret is left.
    std::string Selected;
    TBufferCoord CaretAfter;
};

TEST_F(EditorSearchReplace, FindsAndReplacesAsTheOptionsSay)
{
    const auto normal = TSrcSelectionMode::smNormal;
    const auto sel = [](int c1, int l1, int c2, int l2) {
        return std::optional<std::pair<TBufferCoord, TBufferCoord>>({MakeBufferCoord(c1, l1), MakeBufferCoord(c2, l2)});
    };
    const std::vector<TReplaceCase> cases = {
        // Finding.
        {"forward from the caret", "abc abc\r\nabc", {2, 1}, {}, normal, false, "abc", "", {}, 1, "", "abc", {8, 1}},
        {"nothing before the caret on its line", "abc abc", {6, 1}, {}, normal, false, "abc", "", {}, 0, "", "",
         {6, 1}},
        {"whole scope starts at the top", "abc abc", {6, 1}, {}, normal, false, "abc", "", Flags({F::sfWholeScope}), 1,
         "", "abc", {4, 1}},
        {"backwards leaves the caret at the match start", "abc abc\r\nx", {1, 2}, {}, normal, false, "abc", "",
         Flags({F::sfBackwards}), 1, "", "abc", {5, 1}},
        {"backwards does not take a match through the caret", "abc abc", {7, 1}, {}, normal, false, "abc", "",
         Flags({F::sfBackwards}), 1, "", "abc", {1, 1}},
        {"case is ignored by default", "x ABC", {1, 1}, {}, normal, false, "abc", "", {}, 1, "", "ABC", {6, 1}},
        {"case", "x ABC", {1, 1}, {}, normal, false, "abc", "", Flags({F::sfMatchCase}), 0, "", "", {1, 1}},
        {"a whole word", "cats _cat cat.", {1, 1}, {}, normal, false, "cat", "", Flags({F::sfWholeWord}), 1, "",
         "cat", {14, 1}},
        {"multi-byte text", "\xC3\xA4x \xC3\xA4x", {3, 1}, {}, normal, false, "\xC3\xA4x", "", {}, 1, "",
         "\xC3\xA4x", {8, 1}},
        // Replacing.
        {"replace the next one", "a b a b", {2, 1}, {}, normal, false, "a", "X", Flags({F::sfReplace}), 1,
         "a b X b", "", {6, 1}},
        {"replace all by a longer text", "a b a b a", {1, 1}, {}, normal, false, "a", "xx",
         Flags({F::sfReplaceAll, F::sfWholeScope}), 3, "xx b xx b xx", "", {0, 0}},
        {"replace all by a shorter text, backwards", "aa b aa\r\naa", {1, 3}, {}, normal, false, "aa", "y",
         Flags({F::sfReplaceAll, F::sfWholeScope, F::sfBackwards}), 3, "y b y\r\ny", "", {0, 0}},
        {"replace all from the caret", "a a\r\na a", {2, 1}, {}, normal, false, "a", "b", Flags({F::sfReplaceAll}), 3,
         "a b\r\nb b", "", {0, 0}},
        {"replace all whole words, matching case", "cat Cat cats cat", {1, 1}, {}, normal, false, "cat", "dog",
         Flags({F::sfReplaceAll, F::sfWholeWord, F::sfMatchCase}), 2, "dog Cat cats dog", "", {0, 0}},
        {"replace all in multi-byte text", "\xC3\xA4\xC3\xB6\xC3\xA4", {1, 1}, {}, normal, false, "\xC3\xA4", "ae",
         Flags({F::sfReplaceAll}), 2, "ae\xC3\xB6" "ae", "", {0, 0}},
        // Selection only.
        {"only matches wholly inside the selection", "aaa aaa aaa", {1, 1}, sel(3, 1, 10, 1), normal, false, "aaa",
         "X", Flags({F::sfReplaceAll, F::sfSelectionOnly}), 1, "aaa X aaa", "", {0, 0}},
        {"the end of the range moves with the text", "ab ab\r\nab ab", {1, 1}, sel(1, 1, 6, 2), normal, false, "ab",
         "abcd", Flags({F::sfReplaceAll, F::sfSelectionOnly}), 4, "abcd abcd\r\nabcd abcd", "", {0, 0}},
        {"a line selection takes whole lines", "ab ab\r\nab ab\r\nab", {1, 1}, sel(4, 1, 2, 2),
         TSrcSelectionMode::smLine, false, "ab", "X", Flags({F::sfReplaceAll, F::sfSelectionOnly}), 4,
         "X X\r\nX X\r\nab", "", {0, 0}},
        {"a column selection", "xaax\r\nxaax\r\naaaa", {1, 1}, sel(4, 3, 2, 1), TSrcSelectionMode::smColumn, false,
         "aa", "B", Flags({F::sfReplaceAll, F::sfSelectionOnly}), 2, "xBx\r\nxBx\r\naaaa", "", {0, 0}},
        {"without a selection the whole text", "ab ab", {1, 1}, {}, normal, false, "ab", "X",
         Flags({F::sfReplaceAll, F::sfSelectionOnly, F::sfWholeScope}), 2, "X X", "", {0, 0}},
        // Prompting without a handler: as raReplace.
        {"prompt without a handler replaces one", "a a a", {1, 1}, {}, normal, false, "a", "b",
         Flags({F::sfReplace, F::sfPromptReplace}), 1, "b a a", "", {2, 1}},
        {"prompt without a handler replaces all", "a a a", {1, 1}, {}, normal, false, "a", "b",
         Flags({F::sfReplaceAll, F::sfPromptReplace}), 3, "b b b", "", {0, 0}},
        // Regular expressions.
        {"groups", "me@host you@there", {1, 1}, {}, normal, true, "(\\w+)@(\\w+)", "$2 at $1",
         Flags({F::sfReplaceAll}), 2, "host at me there at you", "", {0, 0}},
        {"the whole match", "a1b22", {1, 1}, {}, normal, true, "\\d+", "<$0>", Flags({F::sfReplaceAll}), 2,
         "a<1>b<22>", "", {0, 0}},
        {"an expression at the line start", "ab\r\nab", {1, 1}, {}, normal, true, "^a", "X",
         Flags({F::sfReplaceAll}), 2, "Xb\r\nXb", "", {0, 0}},
        // Replacements that bring line breaks.
        {"line breaks in the replacement", "a,b,c\r\nd,e", {1, 1}, {}, normal, false, ",", ";\r\n",
         Flags({F::sfReplaceAll}), 3, "a;\r\nb;\r\nc\r\nd;\r\ne", "", {0, 0}},
        {"line breaks, selection only", "a,b,c\r\nd,e\r\nf,g", {1, 1}, sel(1, 1, 4, 2), normal, false, ",", "\r\n",
         Flags({F::sfReplaceAll, F::sfSelectionOnly}), 3, "a\r\nb\r\nc\r\nd\r\ne\r\nf,g", "", {0, 0}},
    };
    for (const TReplaceCase& c : cases) {
        SCOPED_TRACE(c.What);
        SetText(c.Text);
        Edit->ClearUndoHistory();
        Edit->SetSelectionMode(c.Mode);
        if (c.Selection)
            Select(c.Selection->first, c.Selection->second);
        else
            GoTo(c.Caret.CharIndex, c.Caret.LineNumber);
        Edit->SetSearchEngine(c.UseRegex ? static_cast<TSrcEditSearchCustom*>(&Regex) : &Plain);
        EXPECT_EQ(Edit->FindAndReplace(c.Search, c.Replace, c.Options), c.Count);
        ExpectSettled();
        const bool replacing = c.Options.Contains(F::sfReplace) || c.Options.Contains(F::sfReplaceAll);
        if (!replacing) {
            EXPECT_EQ(Text(), c.Text);
            EXPECT_EQ(Edit->GetSelectedText(), c.Selected);
            EXPECT_EQ(Caret(), c.CaretAfter);
            continue;
        }
        EXPECT_EQ(Text(), c.Result);
        if (c.CaretAfter.LineNumber > 0) {
            EXPECT_EQ(Caret(), c.CaretAfter);
        }
        if (c.Options.Contains(F::sfReplaceAll) && !c.Options.Contains(F::sfPromptReplace)) {
            Edit->UndoLastChange();
            EXPECT_EQ(Text(), c.Text) << "replace all is one undo step";
        } else {
            UndoAll();
            EXPECT_EQ(Text(), c.Text);
        }
    }
}

TEST_F(EditorSearchReplace, RepeatedSearchesWalkThroughTheOccurrences)
{
    SetText("x a x a\r\na x");
    std::vector<TBufferCoord> found;
    while (Edit->FindAndReplace("a", "", {}) == 1)
        found.push_back(Edit->GetSelectionStart());
    EXPECT_EQ(found, (std::vector<TBufferCoord>{{3, 1}, {7, 1}, {1, 2}}));
    found.clear();
    while (Edit->FindAndReplace("a", "", Flags({F::sfBackwards})) == 1)
        found.push_back(Edit->GetSelectionStart());
    // The selected occurrence ends at the caret, so going back finds it first.
    EXPECT_EQ(found, (std::vector<TBufferCoord>{{1, 2}, {7, 1}, {3, 1}}));
}

TEST_F(EditorSearchReplace, ThePromptDecidesEachReplacement)
{
    struct Case {
        const char* What;
        std::vector<TSrcReplaceAction> Answers;
        TSrcEditSearchFlags Options;
        int Count;
        std::string Result;
        int Asked;
    };
    using A = TSrcReplaceAction;
    const std::vector<Case> cases = {
        {"skip twice, then all", {A::raSkip, A::raSkip, A::raReplaceAll}, Flags({F::sfReplaceAll, F::sfPromptReplace}),
         4, "a a X X", 3},
        {"replace, skip, replace", {A::raReplace, A::raSkip, A::raReplace, A::raSkip},
         Flags({F::sfReplaceAll, F::sfPromptReplace}), 4, "X a X a", 4},
        {"cancel at the second", {A::raReplace, A::raCancel}, Flags({F::sfReplaceAll, F::sfPromptReplace}), 2,
         "X a a a", 2},
        {"one replacement asks once", {A::raSkip}, Flags({F::sfReplace, F::sfPromptReplace}), 1, "a a a a", 1},
        {"all after a single replace", {A::raReplaceAll}, Flags({F::sfReplace, F::sfPromptReplace}), 4, "X X X X", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        SetText("a a a a");
        Edit->ClearUndoHistory();
        size_t asked = 0;
        std::vector<std::pair<int, int>> where;
        Edit->OnReplaceText = [&](TObject*, const std::string& search, const std::string& replace, int line,
                                  int column, TSrcReplaceAction& action) {
            EXPECT_EQ(search, "a");
            EXPECT_EQ(replace, "X");
            EXPECT_EQ(Edit->GetSelectedText(), "a") << "the occurrence is selected while asking";
            where.emplace_back(line, column);
            action = asked < c.Answers.size() ? c.Answers[asked] : A::raCancel;
            ++asked;
        };
        EXPECT_EQ(Edit->FindAndReplace("a", "X", c.Options), c.Count);
        EXPECT_EQ(Text(), c.Result);
        EXPECT_EQ(static_cast<int>(asked), c.Asked);
        ASSERT_FALSE(where.empty());
        EXPECT_EQ(where.front(), std::make_pair(1, 1));
        ExpectSettled();
        UndoAll();
        EXPECT_EQ(Text(), "a a a a");
    }
    Edit->OnReplaceText = nullptr;
}

TEST_F(EditorSearchReplace, WithoutAnEngineEvenAnEmptySearchRaises)
{
    SetText("abc");
    Edit->SetSearchEngine(nullptr);
    for (const char* search : {"", "a"}) {
        try {
            Edit->FindAndReplace(search, "", {});
            ADD_FAILURE() << "no exception for \"" << search << "\"";
        } catch (const ESrcEditError& e) {
            EXPECT_EQ(e.Message(), "No search engine has been assigned");
        }
    }
    Edit->SetSearchEngine(&Plain);
    EXPECT_EQ(Edit->FindAndReplace("", "x", Flags({F::sfReplaceAll})), 0);
    EXPECT_EQ(Text(), "abc");
}

TEST_F(EditorSearchReplace, TheEditorForgetsAnEngineThatIsDestroyed)
{
    auto engine = std::make_unique<TSrcEditSearch>();
    Edit->SetSearchEngine(engine.get());
    engine.reset();
    EXPECT_EQ(Edit->SearchEngine(), nullptr);
}

TEST_F(EditorSearchReplace, AReadOnlyEditorFindsButRefusesToReplace)
{
    SetText("one two one");
    Edit->SetReadOnly(true);
    EXPECT_EQ(Edit->FindAndReplace("one", "1", Flags({F::sfReplaceAll, F::sfWholeScope})), 0);
    EXPECT_EQ(Edit->FindAndReplace("one", "1", Flags({F::sfReplace, F::sfPromptReplace})), 0);
    EXPECT_EQ(Text(), "one two one");
    EXPECT_FALSE(Edit->UndoList().HasItems());
    EXPECT_FALSE(Edit->ContentModified());
    EXPECT_EQ(Edit->FindAndReplace("one", "", {}), 1);
    EXPECT_EQ(Edit->GetSelectedText(), "one");
}

TEST_F(EditorSearchReplace, AnEngineErrorPropagatesAndLeavesUndoConsistent)
{
    RunawayEngine runaway;
    Edit->SetSearchEngine(&runaway);
    const std::string original = "a1 a2\r\na3\r\nboom a4\r\na5";
    SetText(original);
    Edit->ClearUndoHistory();
    try {
        Edit->FindAndReplace("a(\\d)", "b$1", Flags({F::sfReplaceAll, F::sfWholeScope}));
        FAIL() << "no exception";
    } catch (const ERegExpr& e) {
        EXPECT_EQ(e.ErrorNumber(), TRegExpr::ErrorMatchTooComplex);
        EXPECT_EQ(e.Message(), "TRegExpr(exec): Match Too Complex");
    }
    ExpectSettled();
    // What was replaced before the error stays, as one undo step.
    EXPECT_EQ(Text(), "b1 b2\r\nb3\r\nboom a4\r\na5");
    Edit->UndoLastChange();
    EXPECT_EQ(Text(), original);
    EXPECT_FALSE(Edit->UndoAvailable());
    Edit->RedoLastChange();
    EXPECT_EQ(Text(), "b1 b2\r\nb3\r\nboom a4\r\na5");

    // With prompting the replacements so far are each their own step; the editor stays usable.
    SetText(original);
    Edit->OnReplaceText = [](TObject*, const std::string&, const std::string&, int, int, TSrcReplaceAction& action) {
        action = TSrcReplaceAction::raReplace;
    };
    EXPECT_THROW(Edit->FindAndReplace("a(\\d)", "b$1", Flags({F::sfReplaceAll, F::sfPromptReplace, F::sfWholeScope})),
                 ERegExpr);
    Edit->OnReplaceText = nullptr;
    ExpectSettled();
    EXPECT_EQ(Text(), "b1 b2\r\nb3\r\nboom a4\r\na5");
    UndoAll();
    EXPECT_EQ(Text(), original);
    Edit->SetSearchEngine(&Regex);
    EXPECT_EQ(Edit->FindAndReplace("a(\\d)", "c$1", Flags({F::sfReplaceAll, F::sfWholeScope})), 5);
    EXPECT_EQ(Text(), "c1 c2\r\nc3\r\nboom c4\r\nc5");
}

TEST_F(EditorSearchReplace, AnInvalidExpressionChangesNothing)
{
    Edit->SetSearchEngine(&Regex);
    SetText("abc");
    EXPECT_THROW(Edit->FindAndReplace("(a", "x", Flags({F::sfReplaceAll})), ERegExpr);
    ExpectSettled();
    EXPECT_EQ(Text(), "abc");
    EXPECT_FALSE(Edit->UndoAvailable());
}

} // namespace

TEST_F(EditorSearchReplace, MatchesThatTrimmingTookAfterAReplacementAreNotReplaced)
{
    // Replacing a blank with a line break leaves the blanks after it at the end of a line,
    // where trimming takes them: the matches found among them are gone.
    struct Case {
        const char* What;
        bool UseRegex;
        std::string Search;
        TSrcEditSearchFlags Options;
        int Count;
        std::string Result;
    };
    const std::vector<Case> cases = {
        {"plain, forwards", false, " ", Flags({F::sfReplaceAll, F::sfWholeScope}), 1, "a\r\nb\r\nc"},
        {"regular expression", true, " ", Flags({F::sfReplaceAll, F::sfWholeScope}), 1, "a\r\nb\r\nc"},
        // The last blank first: the line before it loses its own last blank to trimming.
        {"backwards", false, " ", Flags({F::sfReplaceAll, F::sfWholeScope, F::sfBackwards}), 2, "a\r\nb\r\n\r\nc"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        Options({eoTrimTrailingSpaces});
        SetText("a b  \r\nc");
        Edit->ClearUndoHistory();
        Edit->SetSearchEngine(c.UseRegex ? static_cast<TSrcEditSearchCustom*>(&Regex) : &Plain);
        EXPECT_EQ(Edit->FindAndReplace(c.Search, "\r\n", c.Options), c.Count);
        EXPECT_EQ(Text(), c.Result);
        UndoAll();
        EXPECT_EQ(Text(), "a b  \r\nc");
        RedoAll();
        EXPECT_EQ(Text(), c.Result);
        ExpectSettled();
    }
}
