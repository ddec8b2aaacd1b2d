// The document window: closing brackets and quotes as they are typed, the status bar and the
// caption, the question before a modified document closes, the recent files it leaves behind,
// and the colours of matching brackets and of a marked line.

#include "src/run/ShellTestSupport.h"

#include "search/zuSearchForm.h"

#include "SrcEdit/Source/search/SrcEditSearch.h"

#include "Platform/graphics/Colors.h"
#include "Platform/files/FileNames.h"

#include <QImage>

#include <functional>

namespace {

struct DocumentWindow : ShellTest {
    void SetUp() override { ShellTest::SetUp(); }
    TCodeEditorForm* StartWith(const std::string& name, const std::string& text)
    {
        Start();
        return Open(WriteWork(name, text));
    }
    std::string Line(int n) const { return Form->ActiveEditor()->Lines().Get(n - 1); }
    TBufferCoord Caret() const { return Form->ActiveEditor()->GetCaretCoord(); }
};

// Pixels of one colour in a rendering of the widget.
int CountPixels(QWidget& widget, TColor color)
{
    const QImage image = widget.grab().toImage();
    const QRgb wanted = ToQColor(color).rgb();
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) == (wanted & 0xFFFFFF))
                ++count;
    return count;
}

} // namespace

TEST_F(DocumentWindow, TypedOpeningBracketsAndQuotesGetTheirClosingPartner)
{
    struct Case {
        const char* Typed;
        const char* Line;
        int Caret;
    };
    StartWith("a.php", "");
    for (const Case& c : std::vector<Case>{{"(", "()", 2}, {"[", "[]", 2}, {"\"", "\"\"", 2}, {"'", "''", 2},
                                           {"f(a", "f(a)", 4}}) {
        SCOPED_TRACE(c.Typed);
        Form->ActiveEditor()->SetAllText("");
        Form->ActiveEditor()->SetCaretCoord(MakeBufferCoord(1, 1));
        Type(c.Typed);
        EXPECT_EQ(Line(1), c.Line);
        EXPECT_EQ(Caret().CharIndex, c.Caret);
    }
}

TEST_F(DocumentWindow, EachClosingPartnerFollowsItsOwnSetting)
{
    // Close1..Close5: brace, bracket, parenthesis, double quote, single quote. Each flag is
    // turned off alone, so a flag read into the wrong partner shows.
    struct Opener {
        const char* Key;
        const char* Typed;
        const char* Closed;
    };
    const std::vector<Opener> openers = {{"Close1", "{", "{\n}"}, {"Close2", "[", "[]"}, {"Close3", "(", "()"},
                                         {"Close4", "\"", "\"\""}, {"Close5", "'", "''"}};
    StartWith("a.php", "");
    TSrcEdit& editor = *Form->ActiveEditor();
    for (const Opener& off : openers) {
        for (const Opener& flag : openers)
            Setting("Editor", flag.Key, &flag == &off ? "0" : "1");
        Form->ActiveEditorForm()->ApplyEditorSettings();
        for (const Opener& typed : openers) {
            SCOPED_TRACE(std::string(off.Key) + " off, typed " + typed.Typed);
            editor.SetAllText("");
            editor.SetCaretCoord(MakeBufferCoord(1, 1));
            Type(typed.Typed);
            // The brace's middle line holds only its indentation.
            std::string text = editor.GetAllText();
            if (editor.Lines().Count() == 3)
                text = editor.Lines().Get(0) + "\n" + editor.Lines().Get(2);
            EXPECT_EQ(text, &typed == &off ? std::string(typed.Typed) : std::string(typed.Closed));
        }
    }
}

TEST_F(DocumentWindow, TypedClosersStepOverTheOnesTheEditorPutIn)
{
    struct Case {
        const char* Typed;
        const char* Line;
    };
    StartWith("a.php", "");
    TSrcEdit& editor = *Form->ActiveEditor();
    for (const Case& c : std::vector<Case>{
             {"$greeting = \"hello\";", "$greeting = \"hello\";"},
             {"$a = f($b[1], 'x');", "$a = f($b[1], 'x');"},
             {"$m = [[1], [f(\"\")]];", "$m = [[1], [f(\"\")]];"},
             {"$s = '';", "$s = '';"},
             // an escaped quote is text of the string, which its auto-inserted quote still ends
             {"echo \"say \\\"hi\\\"\";", "echo \"say \\\"hi\\\"\";"},
             {"$t = 'it\\'s';", "$t = 'it\\'s';"},
             // auto-correction ends the word at the blank, after the closer was stepped over
             {"(c) 2024", "\xC2\xA9 2024"},
             // a closer that nobody opened is typed as it is
             {"a)b]c", "a)b]c"},
         }) {
        SCOPED_TRACE(c.Typed);
        editor.SetAllText("");
        editor.SetCaretCoord(MakeBufferCoord(1, 1));
        Type(c.Typed);
        EXPECT_EQ(Line(1), c.Line);
        EXPECT_EQ(Caret().CharIndex, static_cast<int>(std::string(c.Line).size()) + 1);
    }
    // a closer that was there before is not stepped over
    editor.SetAllText("f(x)");
    editor.SetCaretCoord(MakeBufferCoord(4, 1));
    Type(")");
    EXPECT_EQ(Line(1), "f(x))");
    // once Return has carried the closer to the next line, a closer typed where it stood is added
    editor.SetAllText("");
    editor.SetCaretCoord(MakeBufferCoord(1, 1));
    Type("g(a");
    QTest::keyClick(&editor, Qt::Key_Return);
    QTest::keyClick(&editor, Qt::Key_Up);
    QTest::keyClick(&editor, Qt::Key_End);
    Type(")");
    EXPECT_EQ(editor.GetAllText(), "g(a)\r\n)");
}

TEST_F(DocumentWindow, BackspaceRightAfterAnAutoInsertionRemovesThePair)
{
    StartWith("a.php", "");
    TSrcEdit& editor = *Form->ActiveEditor();
    struct Case {
        const char* Typed;
        int Backspaces;
        const char* Line;
    };
    for (const Case& c : std::vector<Case>{{"f(", 1, "f"},
                                           {"$a[\"", 1, "$a[]"},
                                           {"$a[\"", 2, "$a"},
                                           {"'", 1, ""},
                                           {"(ab", 2, "()"},
                                           {"(ab", 3, ""},
                                           {"(x)", 1, "(x"}}) {
        SCOPED_TRACE(std::string(c.Typed) + " with " + std::to_string(c.Backspaces) + " backspaces");
        editor.SetAllText("");
        editor.SetCaretCoord(MakeBufferCoord(1, 1));
        Type(c.Typed);
        for (int i = 0; i < c.Backspaces; ++i)
            QTest::keyClick(&editor, Qt::Key_Backspace);
        EXPECT_EQ(Line(1), c.Line);
    }
    // a pair that was there before loses only its opener
    editor.SetAllText("()");
    editor.SetCaretCoord(MakeBufferCoord(2, 1));
    QTest::keyClick(&editor, Qt::Key_Backspace);
    EXPECT_EQ(Line(1), ")");
    // the pair comes back with one undo
    editor.SetAllText("");
    editor.SetCaretCoord(MakeBufferCoord(1, 1));
    Type("x(");
    QTest::keyClick(&editor, Qt::Key_Backspace);
    ASSERT_EQ(Line(1), "x");
    editor.UndoLastChange();
    EXPECT_EQ(Line(1), "x()");
}

TEST_F(DocumentWindow, ATypedBraceMakesABlockWithTheCaretOnItsIndentedMiddleLine)
{
    StartWith("a.php", "");
    Type("{");
    ASSERT_EQ(Form->ActiveEditor()->Lines().Count(), 3);
    EXPECT_EQ(Line(1), "{");
    EXPECT_FALSE(Line(2).empty());
    EXPECT_EQ(Line(2).find_first_not_of(" \t"), std::string::npos) << "only indentation";
    EXPECT_EQ(Line(3), "}");
    EXPECT_EQ(Caret().LineNumber, 2);
    EXPECT_EQ(Caret().CharIndex, static_cast<int>(Line(2).size()) + 1);
    EXPECT_TRUE(Form->ActiveEditor()->Options().Contains(eoTabsToSpaces)) << "the options come back";

    Setting("Editor", "Close1", "0");
    Form->ActiveEditorForm()->ApplyEditorSettings();
    Form->ActiveEditor()->SetAllText("");
    Type("{");
    EXPECT_EQ(Form->ActiveEditor()->GetAllText(), "{");
}

TEST_F(DocumentWindow, ShiftEnterInsertsALineBreakTag)
{
    StartWith("a.html", "ab");
    Form->ActiveEditor()->SetCaretCoord(MakeBufferCoord(2, 1));
    QTest::keyClick(Form->ActiveEditor(), Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(Form->ActiveEditor()->GetAllText(), "a<br>b");
}

TEST_F(DocumentWindow, StatusBarShowsCaretInsertModeModifiedAndHighlighter)
{
    StartWith("index.php", "<?php\r\necho 1;\r\n?>");
    EXPECT_FALSE(Form->StatusBarSimple());
    EXPECT_EQ(Form->StatusPanel(3), "PHP+HTML+XML+CSS+JS");
    EXPECT_EQ(Form->StatusPanel(1), "Insert");
    EXPECT_EQ(Form->StatusPanel(2), "");
    Form->ActiveEditor()->SetCaretCoord(MakeBufferCoord(3, 2));
    EXPECT_EQ(Form->StatusPanel(0), "     2:  3");
    Type("x");
    EXPECT_EQ(Form->StatusPanel(2), "Modified");
    QTest::keyClick(Form->ActiveEditor(), Qt::Key_Insert);
    EXPECT_EQ(Form->StatusPanel(1), "Overwrite");

    Open(WriteWork("notes.txt", "plain"));
    EXPECT_EQ(Form->StatusPanel(3), "--");
}

TEST_F(DocumentWindow, CaptionAndTabMarkUnsavedChanges)
{
    TCodeEditorForm* document = StartWith("index.php", "x");
    EXPECT_EQ(document->windowTitle().toStdString(), Work("index.php"));
    Type("y");
    EXPECT_EQ(document->windowTitle().toStdString(), Work("index.php") + "*");
    EXPECT_EQ(TabTexts(), std::vector<std::string>{"index.php*"});
    EXPECT_TRUE(Form->acSave->Enabled());
    ASSERT_TRUE(document->SaveDocument(false));
    EXPECT_EQ(TabTexts(), std::vector<std::string>{"index.php"});
    EXPECT_FALSE(Form->acSave->Enabled());
}

TEST_F(DocumentWindow, CloseQuestionYesSavesNoDiscardsCancelKeeps)
{
    struct Case {
        int Answer;
        bool Closes;
        const char* OnDisk;
    };
    Start();
    int n = 0;
    for (const Case& c : std::vector<Case>{{IDYES, true, "1x"}, {IDNO, true, "x"}, {IDCANCEL, false, "x"}}) {
        SCOPED_TRACE(c.Answer);
        const std::string path = WriteWork("c" + std::to_string(n++) + ".php", "x");
        TCodeEditorForm* document = Open(path);
        Type("1");
        Questions.clear();
        Answers = {c.Answer};
        EXPECT_EQ(Close(document), c.Closes);
        EXPECT_EQ(QuestionTexts(), std::vector<std::string>{"Save changes to " + path + " ?"});
        EXPECT_EQ(Questions[0].Caption, "Zentu");
        EXPECT_EQ(Questions[0].Flags, unsigned(MB_YESNOCANCEL | MB_ICONQUESTION));
        EXPECT_EQ(ReadWholeFile(path), c.OnDisk);
        EXPECT_EQ(static_cast<int>(Form->Documents().size()), c.Closes ? 0 : 1);
        if (!c.Closes) {
            Answers = {IDNO};
            Close(document);
        }
    }
}

TEST_F(DocumentWindow, AnUntitledDocumentClosesOnlyWhenItsSaveAsSucceeded)
{
    Start();
    TCodeEditorForm* document = Form->OpenFile(Dir.File("program/template/PHP Page.php"), true, 0);
    Type("keep me");
    // Yes, then Cancel in the Save As dialog: the text must not be lost.
    Answers = {IDYES};
    AnswerNextFileDialog("");
    EXPECT_FALSE(Close(document));
    ASSERT_EQ(Form->Documents().size(), 1u);
    EXPECT_NE(Form->ActiveEditor()->GetAllText().find("keep me"), std::string::npos);
    ASSERT_EQ(FileDialogs.size(), 1u);
    EXPECT_EQ(FileDialogs[0].FileName, "Untitled0.php");
    EXPECT_EQ(FileDialogs[0].InitialDir, UserProjectFolder()) << "the user's own default project, never the program's";

    // Yes, and a name this time: saved, then closed.
    Answers = {IDYES};
    AnswerNextFileDialog(Work("kept.php"));
    EXPECT_TRUE(Close(document));
    EXPECT_NE(ReadWholeFile(Work("kept.php")).find("keep me"), std::string::npos);
    EXPECT_TRUE(Form->Documents().empty());
}

TEST_F(DocumentWindow, AFailedSaveInTheCloseQuestionKeepsTheWindow)
{
    Start();
    const std::string path = WriteWork("gone/a.php", "a");
    TCodeEditorForm* document = Open(path);
    Type("b");
    // The folder goes away and a file takes its name: the save cannot be written.
    ASSERT_TRUE(DeleteFile(path));
    ASSERT_TRUE(RemoveDir(Work("gone")));
    WriteWork("gone", "not a folder");
    Answers = {IDYES};
    AnswerNextFileDialog(path);
    Answers.push_back(IDOK); // the error message
    EXPECT_FALSE(Close(document));
    EXPECT_EQ(Form->Documents().size(), 1u);
    EXPECT_TRUE(document->Editor()->ContentModified());
    Answers = {IDNO};
    Close(document);
}

TEST_F(DocumentWindow, AClosedDocumentGoesToTheFrontOfTheRecentFiles)
{
    Start();
    Form->RecentFileList.Add(Work("b.php"));
    Form->RecentFileList.Add(Work("a.php"));
    Close(Open(WriteWork("a.php", "a")));
    ASSERT_EQ(Form->RecentFileList.Count(), 2);
    EXPECT_EQ(Form->RecentFileList[0], Work("a.php"));
    EXPECT_EQ(Form->RecentFileList[1], Work("b.php"));

    // A file deleted meanwhile, and a new document, are not remembered.
    TCodeEditorForm* deleted = Open(WriteWork("c.php", "c"));
    ASSERT_TRUE(DeleteFile(Work("c.php")));
    Close(deleted);
    Close(Form->OpenFile(Dir.File("program/template/PHP Page.php"), true, 0));
    EXPECT_EQ(Form->RecentFileList.Count(), 2);
}

TEST_F(DocumentWindow, DocumentBoundCommandsFollowTheNumberOfDocuments)
{
    Start();
    EXPECT_TRUE(Form->StatusBarSimple());
    for (TAction* action : {Form->acSave, Form->acSaveAs, Form->acClose, Form->acCloseAll, Form->acUndo,
                            Form->acCopy, Form->acSelectAll, Form->acWordWrap})
        EXPECT_FALSE(action->Enabled()) << action->Name();
    EXPECT_TRUE(Form->acOpenFile->Enabled());
    TCodeEditorForm* document = Open(WriteWork("a.php", "a"));
    EXPECT_FALSE(Form->StatusBarSimple());
    for (TAction* action : {Form->acSaveAs, Form->acClose, Form->acCloseAll, Form->acSelectAll, Form->acWordWrap})
        EXPECT_TRUE(action->Enabled()) << action->Name();
    EXPECT_FALSE(Form->acSave->Enabled()) << "nothing to save yet";
    Close(document);
    EXPECT_TRUE(Form->StatusBarSimple());
    EXPECT_FALSE(Form->acSaveAs->Enabled());
    EXPECT_FALSE(Form->acUndo->Enabled());
}

TEST_F(DocumentWindow, MatchingBracketsOfSymbolsAreDrawnInTheMatchedLineColours)
{
    StartWith("a.php", "<?php f($a); $s = \"(x)\"; ?>");
    TSrcEdit& editor = *Form->ActiveEditor();
    const TColor matched = Module->MatchedLineBG;
    // The caret before the ")" of the call.
    editor.SetCaretCoord(MakeBufferCoord(11, 1));
    EXPECT_GT(CountPixels(editor, matched), 0);
    // The caret on a bracket inside a string: no highlight.
    editor.SetCaretCoord(MakeBufferCoord(20, 1));
    EXPECT_EQ(CountPixels(editor, matched), 0);
    Setting("Editor", "MatchBrackets", "0");
    Form->ActiveEditorForm()->ApplyEditorSettings();
    editor.SetCaretCoord(MakeBufferCoord(11, 1));
    EXPECT_EQ(CountPixels(editor, matched), 0);
}

TEST_F(DocumentWindow, ShowLineMarksTheLineUntilTheNextClick)
{
    std::string text;
    for (int i = 1; i <= 200; ++i)
        text += "line " + std::to_string(i) + "\r\n";
    TCodeEditorForm* document = StartWith("long.txt", text);
    document->ShowLine(MakeBufferCoord(0, 120));
    TSrcEdit& editor = *document->Editor();
    EXPECT_EQ(document->MarkedLine(), 120);
    EXPECT_EQ(editor.CaretLine(), 120);
    EXPECT_LT(editor.FirstVisibleRow(), 120);
    EXPECT_GT(editor.FirstVisibleRow() + editor.VisibleLineCount(), 120);
    EXPECT_GT(CountPixels(editor, Module->MatchedLineBG), 0);
    QTest::mouseClick(editor.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 5));
    EXPECT_EQ(document->MarkedLine(), 0);
    EXPECT_EQ(CountPixels(editor, Module->MatchedLineBG), 0);
}

TEST_F(DocumentWindow, TheMarkOfAJumpGoesWithTheNextCaretMoveOrSearch)
{
    std::string text;
    for (int i = 1; i <= 200; ++i)
        text += "line " + std::to_string(i) + "\r\n";
    TCodeEditorForm* document = StartWith("long.txt", text);
    TSrcEdit& editor = *document->Editor();
    editor.SetSearchEngine(Module->BasicSearch);
    struct Case {
        const char* Name;
        std::function<void()> Act;
    };
    for (const Case& c : std::vector<Case>{
             {"Down", [&] { QTest::keyClick(&editor, Qt::Key_Down); }},
             {"Right", [&] { QTest::keyClick(&editor, Qt::Key_Right); }},
             {"End", [&] { QTest::keyClick(&editor, Qt::Key_End); }},
             {"Ctrl+Home", [&] { QTest::keyClick(&editor, Qt::Key_Home, Qt::ControlModifier); }},
             {"typing", [&] { QTest::keyClicks(&editor, "x"); }},
             {"a search on the marked line",
              [&] {
                  LastSearchText = "line 120";
                  Form->SearchFlags = {sfWholeScope};
                  Form->SearchAgain();
              }},
         }) {
        SCOPED_TRACE(c.Name);
        document->ShowLine(MakeBufferCoord(1, 120));
        QApplication::processEvents();
        ASSERT_EQ(document->MarkedLine(), 120) << "the jump itself keeps the mark";
        c.Act();
        QApplication::processEvents();
        EXPECT_EQ(document->MarkedLine(), 0);
        EXPECT_EQ(CountPixels(editor, Module->MatchedLineBG), 0);
    }
    // a search that finds nothing takes the mark too
    document->ShowLine(MakeBufferCoord(1, 120));
    LastSearchText = "no such text";
    Form->SearchFlags = {sfWholeScope};
    Answers.push_back(IDOK);
    Form->SearchAgain();
    EXPECT_EQ(document->MarkedLine(), 0);
}

TEST_F(DocumentWindow, EditorSettingsComeFromTheEditorSection)
{
    Setting("Editor", "TabWidth", "4");
    Setting("Editor", "LineNumbers", "0");
    Setting("Editor", "RightMarginAt", "120");
    Setting("Editor", "TabsToSpaces", "0");
    Setting("Editor", "TrimTrailingSpaces", "1");
    StartWith("a.php", "");
    TSrcEdit& editor = *Form->ActiveEditor();
    EXPECT_EQ(editor.TabWidth(), 4);
    EXPECT_FALSE(editor.Gutter().ShowLineNumbers());
    EXPECT_EQ(editor.RightEdge(), 120);
    const TSrcEditorOptions options = editor.Options();
    EXPECT_FALSE(options.Contains(eoTabsToSpaces));
    EXPECT_TRUE(options.Contains(eoTrimTrailingSpaces));
    EXPECT_TRUE(options.Contains(eoAutoIndent));
    EXPECT_TRUE(options.Contains(eoDragDropEditing));
    EXPECT_TRUE(options.Contains(eoShowScrollHint));
    EXPECT_FALSE(options.Contains(eoEnhanceEndKey)) << "not one of the document's options";
}
