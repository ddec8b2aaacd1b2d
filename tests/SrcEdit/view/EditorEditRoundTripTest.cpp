// Random sequences of the editing paths outside the keyboard commands — search and replace, case
// changes in every selection mode, block indents, drag and drop, the text-insertion calls — under
// varied options, with and without word wrap: undo gives the original back, redo the edited text,
// and caret, selection and bookmarks stay inside the text after every step.

#include "SrcEdit/view/EditorTestSupport.h"

#include "SrcEdit/Source/search/SrcEditRegexSearch.h"
#include "SrcEdit/Source/search/SrcEditSearch.h"

#include <random>

namespace {

const std::string Original = "  alpha Beta\r\n\tgamma(delta) alpha\r\n\r\n    eps \xC3\xA9t\xC3\xA9  \r\nZeta alphA";

const std::vector<TSrcEditorCommand> Commands = {
    ecChar, ecLineBreak, ecDeleteLastWord, ecDeleteBOL, ecDeleteLastChar, ecBlockIndent, ecBlockUnindent,
    ecUpperCase, ecLowerCase, ecToggleCase, ecTitleCase, ecUpperCaseBlock, ecLowerCaseBlock, ecToggleCaseBlock,
    ecSelLeft, ecSelRight, ecSelUp, ecSelDown, ecSelWordLeft, ecSelLineEnd, ecLeft, ecDown, ecLineStart,
    ecColumnSelect, ecNormalSelect, ecLineSelect, ecColumnSelect, ecNormalSelect, ecLineSelect,
};

enum class TKind { Command, Jump, Select, Replace, Drop, SetSelected, ColumnBlock, Bookmark };

struct TReplace {
    bool Regex;
    const char* Search;
    const char* With;
};

const std::vector<TReplace> Replaces = {
    {false, "alpha", "A\r\nB"}, {false, "alpha", ""},      {false, "a", "aa"},         {false, "Beta", "b"},
    {false, " ", "\r\n"},       {true, "a[lp]+h", "x"},    {true, "[a-z]+", "\\0\\0"}, {true, "t.", ""},
    {true, "a", "\r\n"},        {true, "^ +", ""},         {true, " +$", ""},          {true, "e", "E\r\n\r\n"},
};

const std::vector<std::string> Inserts = {"", "q", "x\r\ny", "\r\n", "long text\r\n\r\nz"};

struct TStep {
    TKind Kind = TKind::Command;
    TSrcEditorCommand Command = ecNone;
    char32_t Char = 0;
    TBufferCoord A;
    TBufferCoord B;
    int Index = 0;
    TSrcEditSearchFlags Flags;
    bool Copy = false;
};

struct TCase {
    TSrcEditorOptions Options;
    std::vector<TStep> Steps;
};

constexpr int StepsPerCase = 14;

TBufferCoord RandomCoord(std::mt19937& rng)
{
    return MakeBufferCoord(1 + static_cast<int>(rng() % 16), 1 + static_cast<int>(rng() % 6));
}

TCase MakeCase(unsigned seed)
{
    std::mt19937 rng(seed);
    TCase c;
    c.Options = SrcEditDefaultOptions;
    if (rng() % 2)
        c.Options.Include(eoTrimTrailingSpaces);
    if (rng() % 2)
        c.Options.Exclude(eoScrollPastEol);
    if (rng() % 2)
        c.Options.Exclude(eoTabsToSpaces);
    if (rng() % 3 == 0)
        c.Options.Exclude(eoGroupUndo);
    if (rng() % 4 == 0)
        c.Options.Exclude(eoAutoIndent);
    for (int i = 0; i < StepsPerCase; ++i) {
        TStep s;
        switch (rng() % 12) {
        case 0:
            s.Kind = TKind::Jump;
            s.A = RandomCoord(rng);
            break;
        case 1:
        case 2:
            s.Kind = TKind::Select;
            s.A = RandomCoord(rng);
            s.B = RandomCoord(rng);
            break;
        case 3:
            s.Kind = TKind::Replace;
            s.Index = static_cast<int>(rng() % Replaces.size());
            for (TSrcEditSearchFlag f : {sfMatchCase, sfWholeWord, sfWholeScope, sfSelectionOnly, sfBackwards})
                if (rng() % 2)
                    s.Flags.Include(f);
            s.Flags.Include(rng() % 2 ? sfReplaceAll : sfReplace);
            break;
        case 4:
            s.Kind = TKind::Drop;
            s.A = RandomCoord(rng);
            s.Copy = rng() % 2;
            break;
        case 5:
            s.Kind = TKind::SetSelected;
            s.Index = static_cast<int>(rng() % Inserts.size());
            break;
        case 6:
            s.Kind = TKind::ColumnBlock;
            s.A = RandomCoord(rng);
            s.B = RandomCoord(rng);
            s.Index = static_cast<int>(rng() % Inserts.size());
            break;
        case 7:
            s.Kind = TKind::Bookmark;
            s.A = RandomCoord(rng);
            s.Index = static_cast<int>(rng() % 3);
            break;
        default:
            s.Command = Commands[rng() % Commands.size()];
            if (s.Command == ecChar)
                s.Char = U"aB \u00E9"[rng() % 4];
            break;
        }
        c.Steps.push_back(s);
    }
    return c;
}

std::string Coord(TBufferCoord p)
{
    return "(" + std::to_string(p.CharIndex) + "," + std::to_string(p.LineNumber) + ")";
}

std::string Describe(const TCase& c)
{
    std::string out = "options:";
    for (TSrcEditorOption o : {eoAutoIndent, eoGroupUndo, eoScrollPastEol, eoTabsToSpaces, eoTrimTrailingSpaces})
        if (c.Options.Contains(o))
            out += " " + std::to_string(static_cast<int>(o));
    out += "; steps:";
    for (const TStep& s : c.Steps) {
        switch (s.Kind) {
        case TKind::Jump:
            out += " goto" + Coord(s.A);
            break;
        case TKind::Select:
            out += " select" + Coord(s.A) + Coord(s.B);
            break;
        case TKind::Replace: {
            const TReplace& r = Replaces[static_cast<size_t>(s.Index)];
            out += std::string(" replace") + (r.Regex ? "-regex" : "") + "(" + testing::PrintToString(r.Search) +
                   "," + testing::PrintToString(r.With) + ", flags";
            for (int f = sfMatchCase; f <= sfPromptReplace; ++f)
                if (s.Flags.Contains(static_cast<TSrcEditSearchFlag>(f)))
                    out += " " + std::to_string(f);
            out += ")";
            break;
        }
        case TKind::Drop:
            out += std::string(s.Copy ? " drop-copy" : " drop-move") + Coord(s.A);
            break;
        case TKind::SetSelected:
            out += " SetSelectedText(" + testing::PrintToString(Inserts[static_cast<size_t>(s.Index)]) + ")";
            break;
        case TKind::ColumnBlock:
            out += " InsertColumnBlock" + Coord(s.A) + Coord(s.B) + "(" +
                   testing::PrintToString(Inserts[static_cast<size_t>(s.Index)]) + ")";
            break;
        case TKind::Bookmark:
            out += " bookmark" + std::to_string(s.Index) + Coord(s.A);
            break;
        case TKind::Command:
            out += " " + EditorCommandToText(s.Command);
            if (s.Command == ecChar && s.Char < 128)
                out += "'" + std::string(1, static_cast<char>(s.Char)) + "'";
            break;
        }
    }
    return out;
}

// An editor whose drops the test makes directly, as the drag events would.
class DropEdit : public TSrcEdit {
public:
    using TSrcEdit::TSrcEdit;
    using TCustomSrcEdit::DragDrop;
};

class EditorEditRoundTrip : public EditorTest {
protected:
    void SetUp() override
    {
        auto edit = std::make_unique<DropEdit>();
        Dropper = edit.get();
        Edit = std::move(edit);
        Edit->resize(640, 400);
        Edit->show();
        Edit->SetWantTabs(true);
        QApplication::processEvents();
    }

    // The first broken rule after a step, or empty.
    std::string Invariants()
    {
        const int lines = std::max(1, Edit->Lines().Count());
        const auto inside = [&](TBufferCoord p) {
            return p.CharIndex >= 1 && p.LineNumber >= 1 && p.LineNumber <= lines;
        };
        if (!inside(Caret()))
            return "caret at " + Coord(Caret()) + " outside the text";
        if (!inside(Edit->BlockBegin()) || !inside(Edit->BlockEnd()))
            return "selection " + Coord(Edit->BlockBegin()) + Coord(Edit->BlockEnd()) + " outside the text";
        for (int i = 0; i < Edit->MarkList().Count(); ++i) {
            const TSrcEditMark* m = Edit->MarkList().GetMark(i);
            if (m->Line() < 1 || m->Line() > lines)
                return "a mark on line " + std::to_string(m->Line()) + " of " + std::to_string(lines);
        }
        return {};
    }

    std::string Apply(const TStep& s)
    {
        switch (s.Kind) {
        case TKind::Jump: {
            TBufferCoord to = s.A;
            Command(ecGotoXY, 0, &to);
            break;
        }
        case TKind::Select: {
            TBufferCoord from = s.A;
            TBufferCoord to = s.B;
            Command(ecGotoXY, 0, &from);
            Command(ecSelGotoXY, 0, &to);
            break;
        }
        case TKind::Replace: {
            const TReplace& r = Replaces[static_cast<size_t>(s.Index)];
            Edit->SetSearchEngine(r.Regex ? static_cast<TSrcEditSearchCustom*>(&Regex) : &Plain);
            Edit->FindAndReplace(r.Search, r.With, s.Flags);
            break;
        }
        case TKind::Drop: {
            const TPoint p = Edit->DisplayPointToClient(Edit->BufferToDisplayPoint(s.A));
            Dropper->DragDrop(Edit.get(), p.X + 1, p.Y + Edit->LineHeight() / 2,
                              s.Copy ? TShiftState{ssCtrl} : TShiftState{});
            break;
        }
        case TKind::SetSelected:
            Edit->SetSelectedText(Inserts[static_cast<size_t>(s.Index)]);
            break;
        case TKind::ColumnBlock:
            // The caller's ends lie in the text, as the editor's own selection does.
            if (std::max(s.A.LineNumber, s.B.LineNumber) > Edit->Lines().Count())
                return {};
            Edit->InsertColumnBlock(s.A, s.B, true, Inserts[static_cast<size_t>(s.Index)]);
            break;
        case TKind::Bookmark:
            if (s.A.LineNumber <= Edit->Lines().Count())
                Edit->PlaceBookmark(s.Index, s.A.CharIndex, s.A.LineNumber);
            break;
        case TKind::Command:
            Command(s.Command, s.Char);
            break;
        }
        return Invariants();
    }

    // On a broken rule the message, else empty; `edited` receives the edited text.
    std::string Run(const TCase& c, bool wrap, std::string& edited)
    {
        Edit->SetWordWrap(false);
        Edit->SetOptions(c.Options);
        Edit->SetInsertMode(true);
        Edit->SetSelectionMode(TSrcSelectionMode::smNormal);
        for (int n = 0; n < 3; ++n)
            Edit->RemoveBookmark(n);
        SetText(Original);
        Edit->ClearUndoHistory();
        Edit->SetContentModified(false);
        Edit->SetWordWrap(wrap);
        for (size_t i = 0; i < c.Steps.size(); ++i) {
            const std::string broken = Apply(c.Steps[i]);
            if (!broken.empty())
                return "after step " + std::to_string(i + 1) + ": " + broken;
        }
        edited = Text();
        const int undoSteps = UndoAll();
        if (Text() != Original)
            return "undo gave " + testing::PrintToString(Text()) + "\n  instead of the original";
        if (std::string broken = Invariants(); !broken.empty())
            return "after undo: " + broken;
        if (Edit->ContentModified())
            return "modified after undoing back to the saved text";
        const int redoSteps = RedoAll();
        if (Text() != edited)
            return "redo gave " + testing::PrintToString(Text()) + "\n  instead of " + testing::PrintToString(edited);
        if (std::string broken = Invariants(); !broken.empty())
            return "after redo: " + broken;
        const int againSteps = UndoAll();
        if (againSteps != redoSteps || Text() != Original)
            return "undo took " + std::to_string(undoSteps) + " steps, redo " + std::to_string(redoSteps) +
                   ", undo after redo " + std::to_string(againSteps);
        return {};
    }

    std::string Run(const TCase& c)
    {
        std::string plain;
        std::string wrapped;
        if (std::string broken = Run(c, false, plain); !broken.empty())
            return broken;
        if (std::string broken = Run(c, true, wrapped); !broken.empty())
            return "with word wrap, " + broken;
        if (plain != wrapped)
            return "word wrap changed the text to " + testing::PrintToString(wrapped) + "\n  instead of " +
                   testing::PrintToString(plain);
        return {};
    }

    DropEdit* Dropper = nullptr;
    TSrcEditSearch Plain;
    TSrcEditRegexSearch Regex;
};

// Each case runs twice (without and with word wrap).
constexpr unsigned CaseCount = 500;

TEST_F(EditorEditRoundTrip, EveryEditUndoesRedoesAndKeepsCaretSelectionAndMarksInsideTheText)
{
    int failures = 0;
    for (unsigned seed = 1; seed <= CaseCount && failures < 3; ++seed) {
        const TCase c = MakeCase(seed);
        if (Run(c).empty())
            continue;
        ++failures;
        const TCase shortest = ShrinkSteps(c, [this](const TCase& t) { return !Run(t).empty(); });
        ADD_FAILURE() << "case " << seed << ": " << Run(shortest) << "\n  after " << Describe(shortest);
    }
}

} // namespace
