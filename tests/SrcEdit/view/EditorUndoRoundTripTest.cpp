// Random sequences of editing commands, under varied options and clipboard contents: undoing all
// of them gives back the original text byte for byte, redoing them gives the edited text, and
// each redone step is undone again in one step.

#include "SrcEdit/view/EditorTestSupport.h"

#include "SrcEdit/Source/view/SrcEditClipboardBlock.h"

#include <QClipboard>
#include <QMimeData>
#include <random>

namespace {

// Lines with leading blanks and a tab, an empty line, multi-byte characters, blanks after text at a
// line end and no final break.
const std::string Original = "  alpha beta\r\n\tgamma(delta)\r\n\r\n    eps \xC3\xA9t\xC3\xA9  \r\nzeta";

// Typing weighs three times; moves and selections set up what the editing commands act on.
const std::vector<TSrcEditorCommand> Commands = {
    ecChar, ecChar, ecChar, ecLineBreak, ecInsertLine, ecDeleteLastChar, ecDeleteChar, ecDeleteWord,
    ecDeleteLastWord, ecDeleteBOL, ecDeleteEOL, ecDeleteLine, ecTab, ecShiftTab, ecBlockIndent, ecBlockUnindent,
    ecUpperCase, ecUpperCaseBlock, ecToggleCaseBlock, ecLeft, ecRight, ecUp, ecDown, ecSelLeft, ecSelRight,
    ecSelUp, ecSelDown, ecLineEnd, ecSelLineEnd, ecLineStart, ecSelWordLeft, ecWordRight, ecPaste, ecCut, ecCopy,
    ecColumnSelect, ecNormalSelect, ecLineSelect, ecImeStr, ecToggleMode,
};

// One step: a command, or a jump of the caret (possibly beyond a line end).
struct TStep {
    TSrcEditorCommand Command = ecNone;
    char32_t Char = 0;
    bool Jump = false;
    TBufferCoord To;
};

// What the clipboard holds when a case starts.
struct TClip {
    const char* Name;
    TSrcSelectionMode Mode;
    bool AsBlock;
    std::string Text;
};

const std::vector<TClip> Clips = {
    {"plain text", TSrcSelectionMode::smNormal, false, "x(\r\n  y"},
    {"a stream block", TSrcSelectionMode::smNormal, true, " \r\n\t"},
    {"a line block", TSrcSelectionMode::smLine, true, "one\r\n"},
    {"a column block", TSrcSelectionMode::smColumn, true, "ab\r\n c\r\n\t"},
};

struct TCase {
    TSrcEditorOptions Options;
    const TClip* Clip = nullptr;
    std::vector<TStep> Steps;
};

constexpr int StepsPerCase = 25;

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
    if (rng() % 2)
        c.Options.Include(eoTabIndent);
    if (rng() % 3 == 0)
        c.Options.Exclude(eoGroupUndo);
    if (rng() % 4 == 0)
        c.Options.Exclude(eoAutoIndent);
    c.Clip = &Clips[rng() % Clips.size()];
    for (int i = 0; i < StepsPerCase; ++i) {
        if (rng() % 5 == 0) {
            const int charIndex = 1 + static_cast<int>(rng() % 14);
            const int line = 1 + static_cast<int>(rng() % 6);
            c.Steps.push_back({ecNone, 0, true, MakeBufferCoord(charIndex, line)});
        }
        TStep step;
        step.Command = Commands[rng() % Commands.size()];
        if (step.Command == ecChar)
            step.Char = U"ab (){}\u00E9"[rng() % 8];
        c.Steps.push_back(step);
    }
    return c;
}

std::string Describe(const TCase& c)
{
    std::string out = "options:";
    for (TSrcEditorOption o : {eoAutoIndent, eoGroupUndo, eoScrollPastEol, eoTabIndent, eoTabsToSpaces,
                               eoTrimTrailingSpaces})
        if (c.Options.Contains(o))
            out += " " + std::to_string(static_cast<int>(o));
    out += std::string("; clipboard: ") + c.Clip->Name + "; steps:";
    for (const TStep& s : c.Steps) {
        if (s.Jump) {
            out += " goto(" + std::to_string(s.To.CharIndex) + "," + std::to_string(s.To.LineNumber) + ")";
            continue;
        }
        out += " " + EditorCommandToText(s.Command);
        if (s.Command == ecChar && s.Char < 128)
            out += "'" + std::string(1, static_cast<char>(s.Char)) + "'";
        else if (s.Command == ecChar)
            out += "'U+" + std::to_string(static_cast<unsigned>(s.Char)) + "'";
    }
    return out;
}

class EditorUndoRoundTrip : public EditorTest {
protected:
    // Runs the case; on a mismatch returns a message saying which direction failed, else empty.
    std::string Run(const TCase& c)
    {
        Edit->SetOptions(c.Options);
        Edit->SetInsertMode(true);
        Edit->SetSelectionMode(TSrcSelectionMode::smColumn);
        Edit->SetSelectionMode(TSrcSelectionMode::smNormal);
        auto data = std::make_unique<QMimeData>();
        if (c.Clip->AsBlock)
            SrcEditFillMimeData(*data, c.Clip->Mode, c.Clip->Text);
        else
            data->setText(QString::fromStdString(c.Clip->Text));
        QGuiApplication::clipboard()->setMimeData(data.release());
        SetText(Original);
        Edit->ClearUndoHistory();
        std::string ime = "x\xC3\xA9y";
        for (const TStep& s : c.Steps) {
            if (s.Jump) {
                TBufferCoord to = s.To;
                Command(ecGotoXY, 0, &to);
            } else {
                Command(s.Command, s.Char, s.Command == ecImeStr ? ime.data() : nullptr);
            }
        }
        const std::string edited = Text();
        const int undoSteps = UndoAll();
        if (Text() != Original)
            return "undo gave " + testing::PrintToString(Text()) + "\n  instead of the original";
        const int redoSteps = RedoAll();
        if (Text() != edited)
            return "redo gave " + testing::PrintToString(Text()) + "\n  instead of " + testing::PrintToString(edited);
        // Each redone step is undone again by one undo. (Redo may join steps that paste markers
        // kept apart: markers stay on the undo side, and kinds group with eoGroupUndo.)
        const int againSteps = UndoAll();
        if (againSteps != redoSteps || Text() != Original)
            return "undo took " + std::to_string(undoSteps) + " steps, redo " + std::to_string(redoSteps) +
                   ", undo after redo " + std::to_string(againSteps);
        return {};
    }
};

// Enough cases to reach every command in every option and clipboard mix many times over.
constexpr unsigned CaseCount = 1200;

TEST_F(EditorUndoRoundTrip, EveryEditUndoesToTheOriginalAndRedoesToTheEditedText)
{
    Edit->SetWantTabs(true);
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
