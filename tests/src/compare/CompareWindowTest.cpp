// The compare window: laying out two files, the options, stepping between differences, copying
// blocks, saving a side (also while only differences are shown), the report of two fixtures,
// its settings, and cancelling or closing during a comparison.

#include "src/run/ShellTestSupport.h"

#include "compare/CodeEditor.h"
#include "compare/DiffUnit.h"
#include "compare/zuCompareMainForm.h"
#include "compare/zuCompareSelectForm.h"
#include "compare/zuCompareWidgets.h"

#include "settings/zuSettings.h"

#include "Platform/core/Application.h"
#include "Platform/files/FileNames.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QPointer>
#include <QPushButton>
#include <QSplitter>
#include <QTest>
#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace {

// A PHP page and its next version: a changed comment, a new line, a removed line, a changed
// return value.
const char* const Php1 = "<?php\n"
                         "// greeting\n"
                         "$name = \"World\";\n"
                         "echo \"Hello $name\";\n"
                         "$unused = 1;\n"
                         "function f() {\n"
                         "    return 1;\n"
                         "}\n"
                         "?>\n";
const char* const Php2 = "<?php\n"
                         "// greeting, changed\n"
                         "$name = \"World\";\n"
                         "$time = time();\n"
                         "echo \"Hello $name\";\n"
                         "function f() {\n"
                         "    return 1 + 1;\n"
                         "}\n"
                         "?>\n";
// Lines added at the very start, and two lines against three.
const char* const Text1 = "a\nX\nY\nb\n";
const char* const Text2 = "new1\nnew2\na\nP\nQ\nR\nb\n";

using TRow = std::tuple<std::string, TColor, int>;

// The shell's test harness without the main window: the main settings file is open and message
// boxes are answered by the test.
struct CompareWindowTest : ShellTest {
    void SetUp() override
    {
        ShellTest::SetUp();
        ForceDirectories(UserFile(""));
        OpenSettingsFiles(UserFile(""));
    }

    void TearDown() override
    {
        Close();
        CloseSettingsFiles();
        ShellTest::TearDown();
    }

    // A window as the main window makes it; the first "Select Files" dialog is cancelled unless
    // the test answers it.
    void Open()
    {
        Window = new TCompareMainForm(nullptr);
        Window->resize(1000, 700);
        Window->ModalHook = [this](QDialog& dialog) {
            auto* select = dynamic_cast<TCompareSelectForm*>(&dialog);
            EXPECT_NE(select, nullptr);
            if (!select || SelectAnswer.first.empty())
                return int(QDialog::Rejected);
            select->SetFile1(SelectAnswer.first);
            select->SetFile2(SelectAnswer.second);
            return int(QDialog::Accepted);
        };
        Window->SaveDialog.ExecuteHook = [this](TFileDialog& dialog) { return AnswerFile(dialog); };
        Window->ReportDialog.ExecuteHook = [this](TFileDialog& dialog) { return AnswerFile(dialog); };
        Window->OpenDialog.ExecuteHook = [this](TFileDialog& dialog) { return AnswerFile(dialog); };
        Window->show();
        QApplication::processEvents();
    }

    void Close()
    {
        if (!Window)
            return;
        Window->close();
        QApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Compares two texts through the "Select Files" dialog of the first show.
    void OpenComparing(const std::string& text1, const std::string& text2)
    {
        SelectAnswer = {Dir.Write("one.php", text1), Dir.Write("two.php", text2)};
        Open();
        ASSERT_TRUE(Window->ComparisonShown());
    }

    std::vector<TRow> Rows(int side) const
    {
        std::vector<TRow> rows;
        const TLines& lines = Window->Pane(side)->Lines();
        for (int i = 0; i < lines.Count(); ++i)
            rows.emplace_back(lines[i], lines.GetLineObj(i).Color, lines.GetLineObj(i).LineNumber);
        return rows;
    }
    std::vector<std::string> Texts(int side) const
    {
        std::vector<std::string> texts;
        for (const TRow& row : Rows(side))
            texts.push_back(std::get<0>(row));
        return texts;
    }
    void Caret(int side, int row)
    {
        Window->Pane(side)->setFocus();
        QApplication::processEvents();
        Window->Pane(side)->SetCaretPoint(0, row);
    }
    std::string SaveSide(int side, const std::string& name)
    {
        FileAnswers.push_back(Dir.File(name));
        Window->Side(side).Save->trigger();
        return ReadWholeFile(Dir.File(name));
    }

    bool AnswerFile(TFileDialog& dialog)
    {
        Dialogs.push_back(dialog);
        if (FileAnswers.empty()) {
            ADD_FAILURE() << "unexpected file dialog";
            return false;
        }
        dialog.FileName = FileAnswers.front();
        FileAnswers.pop_front();
        return !dialog.FileName.empty();
    }

    QPointer<TCompareMainForm> Window;
    std::pair<std::string, std::string> SelectAnswer;
    std::deque<std::string> FileAnswers;
    std::vector<TFileDialog> Dialogs;
};

constexpr TColor W = clWindow;
constexpr TColor A = TCompareMainForm::DefaultAddColor;
constexpr TColor M = TCompareMainForm::DefaultModColor;
constexpr TColor D = TCompareMainForm::DefaultDelColor;

} // namespace

TEST_F(CompareWindowTest, TwoFilesAreLaidOutSideBySideWithFillersColoursAndNumbers)
{
    OpenComparing(Php1, Php2);
    EXPECT_EQ(Window->Diff().Changes(), (std::vector<TDiffChange>{
                                          {dcModified, 1, 1, 1}, {dcAdded, 3, 3, 1}, {dcDeleted, 4, 0, 1}, {dcModified, 6, 6, 1}}));
    EXPECT_EQ(Rows(0), (std::vector<TRow>{{"<?php", W, 1}, {"// greeting", M, 2}, {"$name = \"World\";", W, 3},
                                          {"", A, 0}, {"echo \"Hello $name\";", W, 4}, {"$unused = 1;", D, 5},
                                          {"function f() {", W, 6}, {"    return 1;", M, 7}, {"}", W, 8}, {"?>", W, 9}}));
    EXPECT_EQ(Rows(1), (std::vector<TRow>{{"<?php", W, 1}, {"// greeting, changed", M, 2}, {"$name = \"World\";", W, 3},
                                          {"$time = time();", A, 4}, {"echo \"Hello $name\";", W, 5}, {"", D, 0},
                                          {"function f() {", W, 6}, {"    return 1 + 1;", M, 7}, {"}", W, 8}, {"?>", W, 9}}));
    EXPECT_EQ(Window->StatusText(), "  Changes: 4 ");
    EXPECT_TRUE(Window->Overview()->isVisible());
    EXPECT_TRUE(Window->acNextDiff->isEnabled());
    EXPECT_TRUE(Window->acSaveReport->isEnabled());
    EXPECT_FALSE(Window->acSaveFile1->isEnabled());
    EXPECT_FALSE(Window->Pane(0)->Lines().Modified());
    EXPECT_FALSE(Window->Pane(0)->AutoLineNum());
    EXPECT_EQ(Window->Pane(0)->GutterWidth(), 2 * Window->Pane(0)->CharWidth());
    // The change map has a line in each changed row's colour.
    const QImage& map = Window->Overview()->Map();
    const auto at = [&map](int row) { return map.pixelColor(2, static_cast<int>(row * (map.height() / 10.0))); };
    EXPECT_EQ(at(1), ToQColor(M));
    EXPECT_EQ(at(3), ToQColor(A));
    EXPECT_EQ(at(5), ToQColor(D));
    EXPECT_EQ(at(2), ToQColor(clWindow));
}

TEST_F(CompareWindowTest, TwoLinesAgainstThreeGiveTwoModifiedPairsAndOneAddedRow)
{
    OpenComparing(Text1, Text2);
    EXPECT_EQ(Rows(0), (std::vector<TRow>{{"", A, 0}, {"", A, 0}, {"a", W, 1}, {"X", M, 2}, {"Y", M, 3}, {"", A, 0}, {"b", W, 4}}));
    EXPECT_EQ(Rows(1), (std::vector<TRow>{{"new1", A, 1}, {"new2", A, 2}, {"a", W, 3}, {"P", M, 4}, {"Q", M, 5}, {"R", A, 6}, {"b", W, 7}}));
}

TEST_F(CompareWindowTest, IdenticalFilesShowNoColourAndNoChanges)
{
    OpenComparing(Php1, Php1);
    for (const TRow& row : Rows(0))
        EXPECT_EQ(std::get<1>(row), W);
    EXPECT_EQ(Window->StatusText(), "  Changes: 0 ");
    Caret(0, 0);
    Window->acNextDiff->trigger();
    EXPECT_EQ(Window->Beeps, 1);
}

TEST_F(CompareWindowTest, IgnoringCaseAndBlanksMakesSuchLinesEqualAndSaysSo)
{
    struct TCase {
        bool IgnoreCase, IgnoreBlanks;
        const char* Status;
    };
    const TCase cases[] = {
        {false, false, "  Changes: 2 "},
        {true, false, "  Changes: 1   (Case Ignored)"},
        {false, true, "  Changes: 1   (Blanks Ignored)"},
        {true, true, "  Changes: 0   (Case Ignored, Blanks Ignored)"},
    };
    OpenComparing("Echo $X;\nmiddle\nif ($a)  {\n", "echo $x;\nmiddle\nif($a) {\n");
    for (const TCase& c : cases) {
        Window->acIgnoreCase->setChecked(c.IgnoreCase);
        Window->acIgnoreBlanks->setChecked(c.IgnoreBlanks);
        Window->acCompare->trigger();
        EXPECT_EQ(Window->StatusText(), c.Status);
    }
}

TEST_F(CompareWindowTest, ShowingDifferencesOnlyHidesUnchangedRowsAndKeepsEachFilesNumbers)
{
    OpenComparing(Php1, Php2);
    Window->acDiffOnly->trigger();
    EXPECT_EQ(Rows(0), (std::vector<TRow>{{"// greeting", M, 2}, {"", A, 0}, {"$unused = 1;", D, 5}, {"    return 1;", M, 7}}));
    EXPECT_EQ(Rows(1), (std::vector<TRow>{{"// greeting, changed", M, 2}, {"$time = time();", A, 4}, {"", D, 0},
                                          {"    return 1 + 1;", M, 7}}));
    // Laying out again is no edit.
    EXPECT_FALSE(Window->acSaveFile1->isEnabled());
    EXPECT_FALSE(Window->acSaveFile2->isEnabled());
    Window->acDiffOnly->trigger();
    EXPECT_EQ(Rows(0).size(), 10u);
}

TEST_F(CompareWindowTest, SavingWhileOnlyDifferencesAreShownWritesTheWholeFileWithItsEdits)
{
    OpenComparing(Php1, Php2);
    Window->acDiffOnly->trigger();
    // An edit inside a row, a new line typed after a row, and a block copied over.
    Caret(1, 3);
    Window->Pane(1)->SetCaretPoint(100, 3);
    Window->Pane(1)->TypeChar(13);
    for (const char c : std::string("// after"))
        Window->Pane(1)->TypeChar(static_cast<unsigned char>(c));
    Caret(0, 0);
    Window->acCopyRight->trigger();
    EXPECT_TRUE(Window->acSaveFile2->isEnabled());
    EXPECT_EQ(SaveSide(1, "two.php"), "<?php\n"
                                      "// greeting\n"
                                      "$name = \"World\";\n"
                                      "$time = time();\n"
                                      "echo \"Hello $name\";\n"
                                      "function f() {\n"
                                      "    return 1 + 1;\n"
                                      "// after\n"
                                      "}\n"
                                      "?>\n");
    // The saved file is loaded again, which ends the comparison.
    EXPECT_FALSE(Window->ComparisonShown());
    EXPECT_EQ(Window->Pane(1)->Lines().Count(), 10);
    // The dialog offered the side's own file.
    EXPECT_EQ(Dialogs.back().FileName, Dir.File("two.php"));
}

TEST_F(CompareWindowTest, SavingASideWhileTheComparisonIsShownLeavesTheFillersOut)
{
    OpenComparing(Php1, Php2);
    Caret(0, 0);
    Window->Pane(0)->TypeChar('#');
    Caret(1, 0);
    Window->Pane(1)->TypeChar('#');
    EXPECT_EQ(Window->Side(0).Caption->BarColor(), TCompareMainForm::EditedCaptionColor);
    EXPECT_EQ(SaveSide(0, "one.php"), std::string("#") + Php1);
    EXPECT_EQ(Window->Side(0).Caption->BarColor(), clBtnFace);
    EXPECT_FALSE(Window->acSaveFile1->isEnabled());
    // Saving the left side ended the comparison; the right pane still holds its laid-out rows,
    // and its filler row is no line of the file.
    EXPECT_FALSE(Window->ComparisonShown());
    EXPECT_EQ(SaveSide(1, "two.php"), std::string("#") + Php2);
}

TEST_F(CompareWindowTest, CopyingBlocksMakesOneSideLikeTheOther)
{
    OpenComparing(Php1, Php2);
    // A modified block to the right, the added line to the left, the deleted line to the right.
    Caret(0, 7);
    ASSERT_TRUE(Window->acCopyRight->isEnabled());
    Window->acCopyRight->trigger();
    EXPECT_EQ(Texts(1)[7], "    return 1;");
    Caret(1, 3);
    EXPECT_FALSE(Window->acCopyRight->isEnabled());
    ASSERT_TRUE(Window->acCopyLeft->isEnabled());
    Window->acCopyLeft->trigger();
    Caret(0, 5);
    Window->acCopyRight->trigger();
    EXPECT_EQ(SaveSide(1, "two.php"), "<?php\n// greeting, changed\n$name = \"World\";\n$time = time();\n"
                                      "echo \"Hello $name\";\n$unused = 1;\nfunction f() {\n    return 1;\n}\n?>\n");
    EXPECT_EQ(SaveSide(0, "one.php"), "<?php\n// greeting\n$name = \"World\";\n$time = time();\n"
                                      "echo \"Hello $name\";\n$unused = 1;\nfunction f() {\n    return 1;\n}\n?>\n");
}

TEST_F(CompareWindowTest, CopyingTheFillersOfAnAddedBlockRemovesTheAddedLines)
{
    OpenComparing(Text1, Text2);
    Caret(0, 1);
    Window->acCopyRight->trigger();
    // The right rows become fillers like the left ones, not blank lines.
    EXPECT_EQ(Rows(1)[0], (TRow{"", A, 0}));
    EXPECT_EQ(Rows(1)[1], (TRow{"", A, 0}));
    Caret(0, 3);
    Window->acCopyRight->trigger();
    Caret(0, 5);
    Window->acCopyRight->trigger();
    EXPECT_EQ(SaveSide(1, "two.php"), "a\nX\nY\nb\n");
}

TEST_F(CompareWindowTest, NextAndPreviousStepThroughTheBlocks)
{
    OpenComparing(Text1 + std::string("c\nd\n"), Text2 + std::string("c\nZ\n"));
    // Rows: added 0-1, a, modified 3-4, added 5, b, c, modified 8.
    Caret(0, 2);
    std::vector<int> rows;
    for (int i = 0; i < 3; ++i) {
        Window->acNextDiff->trigger();
        rows.push_back(Window->Pane(0)->CaretRow());
    }
    EXPECT_EQ(rows, (std::vector<int>{3, 5, 8}));
    Window->acNextDiff->trigger();
    EXPECT_EQ(Window->Beeps, 1);
    EXPECT_EQ(Window->Pane(0)->CaretRow(), 8);
    rows.clear();
    for (int i = 0; i < 3; ++i) {
        Window->acPrevDiff->trigger();
        rows.push_back(Window->Pane(0)->CaretRow());
    }
    EXPECT_EQ(rows, (std::vector<int>{5, 3, 0}));
    Window->acPrevDiff->trigger();
    EXPECT_EQ(Window->Beeps, 2);
    // The other pane follows the first visible row.
    Window->resize(1000, 220);
    QApplication::processEvents();
    Window->Pane(0)->SetFirstRow(3);
    EXPECT_EQ(Window->Pane(0)->FirstRow(), 3);
    EXPECT_EQ(Window->Pane(1)->FirstRow(), Window->Pane(0)->FirstRow());
    // Entering the other pane puts its caret on the row the first one showed.
    Caret(0, 4);
    Window->Pane(1)->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(Window->Pane(1)->CaretRow(), 4);
}

TEST_F(CompareWindowTest, ReportsOfTheTwoFixtures)
{
    const TDateTime now = EncodeDate(2024, 3, 5) + EncodeTime(14, 7, 0, 0);
    struct TCase {
        const char* One;
        const char* Two;
        std::vector<std::string> Body;
    };
    const std::string rule(80, '=');
    const TCase cases[] = {
        {Php1, Php2,
         {rule, "Lines modified at 2", rule, "- // greeting", "+ // greeting, changed", rule, "Lines added at 4", rule,
          "+ $time = time();", rule, "Lines deleted at 5", rule, "- $unused = 1;", rule, "Lines modified at 7", rule,
          "-     return 1;", "+     return 1 + 1;"}},
        {Text1, Text2,
         {rule, "Lines added at 1", rule, "+ new1", "+ new2", rule, "Lines modified at 2", rule, "- X", "+ P", "- Y", "+ Q",
          rule, "Lines added at 4", rule, "+ R"}},
    };
    for (const TCase& c : cases) {
        OpenComparing(c.One, c.Two);
        const std::vector<std::string> report = Window->ReportLines(now);
        ASSERT_GE(report.size(), 8u);
        EXPECT_EQ(report[0], "Difference Report - 05/03/2024, 14:07");
        EXPECT_EQ(report[1], rule);
        EXPECT_EQ(report[2], "");
        EXPECT_EQ(report[3], "File 1: \"" + Dir.File("one.php") + "\"");
        EXPECT_EQ(report[4].rfind("        Last modified on ", 0), 0u);
        EXPECT_EQ(report[5], "File 2: \"" + Dir.File("two.php") + "\"");
        EXPECT_EQ(report[7], "");
        EXPECT_EQ(std::vector<std::string>(report.begin() + 8, report.end()), c.Body);
        Close();
    }
}

TEST_F(CompareWindowTest, TouchingBlocksOfOneKindGetAHeadingEachWhenOnlyDifferencesAreShown)
{
    OpenComparing("a\nX\nb\nY\nc\n", "a\nP\nb\nQ\nc\n");
    Window->acDiffOnly->trigger();
    const std::vector<std::string> report = Window->ReportLines(0);
    const std::vector<std::string> body(report.begin() + 8, report.end());
    const std::string rule(80, '=');
    EXPECT_EQ(body, (std::vector<std::string>{rule, "Lines modified at 2", rule, "- X", "+ P", rule, "Lines modified at 4",
                                              rule, "- Y", "+ Q"}));
    // Copying the first block copies that block alone.
    Caret(0, 0);
    Window->acCopyRight->trigger();
    EXPECT_EQ(Texts(1), (std::vector<std::string>{"X", "Q"}));
}

TEST_F(CompareWindowTest, SaveReportWritesTheReportAsText)
{
    OpenComparing(Text1, Text2);
    FileAnswers.push_back(Dir.File("report.txt"));
    Window->acSaveReport->trigger();
    const TFileDialog& dialog = Dialogs.back();
    EXPECT_EQ(dialog.Filter, "Text Files (*.txt)|*.txt");
    EXPECT_EQ(dialog.DefaultExt, "txt");
    EXPECT_EQ(dialog.InitialDir, Dir.Path() + "/");
    const std::vector<std::string> lines = ReadLines(Dir.File("report.txt"));
    ASSERT_GT(lines.size(), 10u);
    EXPECT_EQ(lines[9], "Lines added at 1");
    EXPECT_EQ(lines.back(), "+ R");
}

TEST_F(CompareWindowTest, ComparingAfterAnEditAsksFirstAndNoKeepsTheEdit)
{
    OpenComparing(Text1, Text2);
    Caret(1, 0);
    Window->Pane(1)->TypeChar('!');
    Answers.push_back(IDNO);
    Window->acCompare->trigger();
    ASSERT_EQ(Questions.size(), 1u);
    EXPECT_EQ(Questions[0].Text, "Changes will be lost if you proceed with this compare.\nContinue? ...");
    EXPECT_EQ(Questions[0].Caption, "Zentu");
    EXPECT_EQ(Questions[0].Flags, unsigned(MB_YESNO | MB_ICONERROR | MB_DEFBUTTON2));
    EXPECT_EQ(Texts(1)[0], "!new1");
    Answers.push_back(IDYES);
    Window->acCompare->trigger();
    EXPECT_EQ(Texts(1)[0], "new1");
    EXPECT_FALSE(Window->acSaveFile2->isEnabled());
}

TEST_F(CompareWindowTest, LoadingAFileEndsTheComparisonAndAMissingFileIsIgnored)
{
    OpenComparing(Text1, Text2);
    Window->LoadFile(0, Dir.File("missing.php"));
    EXPECT_TRUE(Window->ComparisonShown());
    FileAnswers.push_back(Dir.Write("three.php", "one\ntwo\n"));
    Window->acOpen1->trigger();
    // The dialog offers the file loaded last on that side.
    EXPECT_EQ(Dialogs.back().FileName, Dir.File("one.php"));
    EXPECT_EQ(Dialogs.back().InitialDir, Dir.Path() + "/");
    EXPECT_FALSE(Window->ComparisonShown());
    EXPECT_FALSE(Window->Overview()->isVisible());
    EXPECT_EQ(Texts(0), (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(Window->Side(0).Caption->Caption(), "  " + Dir.File("three.php"));
    EXPECT_TRUE(Window->Pane(0)->AutoLineNum());
    EXPECT_TRUE(Window->acCompare->isEnabled());
    EXPECT_FALSE(Window->acNextDiff->isEnabled());
    EXPECT_EQ(Window->StatusText(), "");
}

TEST_F(CompareWindowTest, SelectFilesComparesOnlyOnceBothFilesAreChosen)
{
    TCompareSelectForm dialog("", "", nullptr);
    QPushButton* compare = nullptr;
    for (QPushButton* button : dialog.findChildren<QPushButton*>())
        if (button->text() == "Co&mpare")
            compare = button;
    ASSERT_NE(compare, nullptr);
    EXPECT_FALSE(compare->isEnabled());
    dialog.SetFile1(Dir.Write("one.php", Text1));
    EXPECT_FALSE(compare->isEnabled()) << "one file alone compares nothing";
    dialog.show();
    QTest::keyClick(&dialog, Qt::Key_Return);
    EXPECT_TRUE(dialog.isVisible()) << "Enter does not take the dialog away with a box empty";
    dialog.SetFile2(Dir.Write("two.php", Text2));
    EXPECT_TRUE(compare->isEnabled());
    QTest::keyClick(&dialog, Qt::Key_Return);
    EXPECT_EQ(dialog.result(), int(QDialog::Accepted));
}

TEST_F(CompareWindowTest, SettingsAreReadAtStartAndWrittenAtClose)
{
    TIniFileEx& ini = *SettingsFile;
    ini.WriteString("Compare", "AddColor", "clYellow");
    ini.WriteString("Compare", "Horizontal", "1");
    ini.WriteString("Compare", "File1", Dir.File("last1.php"));
    Open();
    EXPECT_EQ(Window->AddColor(), clYellow);
    EXPECT_EQ(Window->ModColor(), TCompareMainForm::DefaultModColor);
    EXPECT_TRUE(Window->Horizontal());
    EXPECT_EQ(Window->acCopyRight->Caption(), "Copy Block &Down");
    EXPECT_EQ(Window->findChild<QSplitter*>()->orientation(), Qt::Vertical);
    EXPECT_EQ(Window->Side(0).FileName, Dir.File("last1.php"));
    Window->ColorDialogHook = [](TColor& color) {
        color = 0x00123456;
        return true;
    };
    Window->acDelColor->trigger();
    Window->acSplitHorizontally->trigger();
    EXPECT_EQ(Window->acCopyLeft->Caption(), "Copy Block &Left");
    Close();
    EXPECT_EQ(ini.ReadString("Compare", "DelColor", ""), "$00123456");
    EXPECT_EQ(ini.ReadString("Compare", "AddColor", ""), "clYellow");
    EXPECT_EQ(ini.ReadString("Compare", "Horizontal", ""), "0");
    EXPECT_EQ(ini.ReadString("Compare", "File1", ""), Dir.File("last1.php"));
}

TEST_F(CompareWindowTest, CancelStopsALongComparisonAndClosingWaitsForIt)
{
    std::string one, two;
    for (int i = 0; i < 40000; ++i) {
        one += "abc"[(i * 7 + i / 3) % 3];
        one += '\n';
        two += "abc"[(i * 5 + i / 7) % 3];
        two += '\n';
    }
    SelectAnswer = {Dir.Write("one.php", one), Dir.Write("two.php", "x\n")};
    Open();
    Window->LoadFile(1, Dir.Write("two.php", two));
    Window->Diff().EventInterval = 1;
    QTimer::singleShot(100, [this] {
        EXPECT_TRUE(Window->Comparing());
        EXPECT_FALSE(Window->acCompare->isEnabled());
        Window->acCancelCompare->trigger();
    });
    Window->acCompare->trigger();
    EXPECT_FALSE(Window->ComparisonShown());
    EXPECT_EQ(Window->StatusText(), "Compare cancelled.");
    EXPECT_TRUE(Window->acCompare->isEnabled());
    EXPECT_FALSE(Window->acCancelCompare->isEnabled());
    EXPECT_EQ(Texts(1).size(), 40000u);

    QTimer::singleShot(100, [this] { Window->close(); });
    Window->acCompare->trigger();
    QApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(Window.isNull());
}

TEST_F(CompareWindowTest, AFileDroppedOnAPaneIsLoadedIntoThatSide)
{
    OpenComparing(Text1, Text2);
    bool accepted = false;
    Window->Pane(1)->OnDropFiles(Window->Pane(1), Dir.Write("dropped.php", "dropped\n"), accepted);
    EXPECT_TRUE(accepted);
    EXPECT_EQ(Texts(1), std::vector<std::string>{"dropped"});
    EXPECT_EQ(Window->Side(1).FileName, Dir.File("dropped.php"));
}
