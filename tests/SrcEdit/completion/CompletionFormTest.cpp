// The completion pop-up on its own: filtering and preselection, moving the selection by keys,
// wheel and clicks, sizing by the user, placement on the screen, and painting.

#include "SrcEdit/Source/completion/SrcEditCompletionForm.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include <memory>

namespace {

class CompletionForm : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = std::make_unique<TSrcBaseCompletionProposalForm>(nullptr);
        Form->SetDisplayType(SrcCompletionType::ctCode);
    }

    void Items(std::initializer_list<const char*> items)
    {
        TStringList list;
        for (const char* item : items)
            list.Add(item);
        Form->SetItemList(list);
    }
    void NumberedItems(int count)
    {
        TStringList list;
        for (int i = 0; i < count; ++i)
            list.Add("item" + std::to_string(i));
        Form->SetItemList(list);
    }
    std::vector<std::string> Shown() const
    {
        std::vector<std::string> lines;
        for (int i = 0; i < Form->AssignedCount(); ++i)
            lines.push_back(Form->AssignedText(i));
        return lines;
    }
    void ShowAt(int x, int y, int width = 200)
    {
        Form->PlaceAt(x, y, width, 16);
        Form->ShowPopup();
        QApplication::processEvents();
    }
    void Wheel(int delta, Qt::KeyboardModifiers modifiers = {})
    {
        const QPoint local(20, Form->height() / 2);
        QWheelEvent event(local, Form->mapToGlobal(local), QPoint(), QPoint(0, delta), Qt::NoButton, modifiers,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(Form.get(), &event);
    }

    std::unique_ptr<TSrcBaseCompletionProposalForm> Form;
};

} // namespace

TEST_F(CompletionForm, TheListShowsTheItemsThatStartWithTheTypedText)
{
    Form->LimitToMatchedText = true;
    Items({"Abc", "abd", "xab"});
    Form->SetCurrentString("ab");
    EXPECT_EQ(Shown(), (std::vector<std::string>{"Abc", "abd"}));
    EXPECT_EQ(Form->LogicalIndex(1), 1);
    Form->CaseSensitive = true;
    Form->SetCurrentString("ab");
    EXPECT_EQ(Shown(), (std::vector<std::string>{"abd"}));
    EXPECT_EQ(Form->LogicalIndex(0), 1);
    EXPECT_EQ(Form->Position(), 0);
    // No match: an empty list, the selection stays on line 0.
    Form->SetCurrentString("q");
    EXPECT_TRUE(Shown().empty());
    EXPECT_EQ(Form->Position(), 0);
    EXPECT_EQ(Form->LogicalIndex(0), -1);
}

TEST_F(CompletionForm, MatchingComparesCharactersNotBytes)
{
    Form->LimitToMatchedText = true;
    Items({"\xC3\x84rger", "\xC3\xA4rmel", "arm"});
    // Without the locale-aware comparison only ASCII letters fold.
    Form->SetCurrentString("\xC3\xA4r");
    EXPECT_EQ(Shown(), (std::vector<std::string>{"\xC3\xA4rmel"}));
    Form->AnsiStrings = true;
    Form->SetCurrentString("\xC3\xA4r");
    EXPECT_EQ(Shown(), (std::vector<std::string>{"\xC3\x84rger", "\xC3\xA4rmel"}));
    Form->CaseSensitive = true;
    Form->SetCurrentString("\xC3\xA4r");
    EXPECT_EQ(Shown(), (std::vector<std::string>{"\xC3\xA4rmel"}));
}

TEST_F(CompletionForm, TheInsertListOrTheStrippedItemIsWhatMatches)
{
    Form->LimitToMatchedText = true;
    Form->UsePrettyText = true;
    Items({"\\image{0} \\style{+B}alpha", "\\image{0} \\style{+B}beta"});
    Form->SetCurrentString(" b");
    EXPECT_EQ(Form->AssignedCount(), 1);
    Form->UseInsertList = true;
    TStringList inserts;
    inserts.Add("<alpha");
    inserts.Add("<beta");
    Form->SetInsertList(inserts);
    Form->SetCurrentString("<a");
    ASSERT_EQ(Form->AssignedCount(), 1);
    EXPECT_EQ(Form->LogicalIndex(0), 0);
}

TEST_F(CompletionForm, WithoutLimitTheSelectionJumpsToTheFirstMatch)
{
    Items({"apple", "banana", "berry", "cherry"});
    Form->SetCurrentString("be");
    EXPECT_EQ(Form->AssignedCount(), 4);
    EXPECT_EQ(Form->Position(), 2);
    Form->SetCurrentString("zz");
    EXPECT_EQ(Form->Position(), 0);
}

TEST_F(CompletionForm, KeysMoveTheSelectionWithinTheList)
{
    NumberedItems(20);
    Form->SetNbLinesInWindow(8);
    const struct {
        WORD Key;
        TShiftState Shift;
        int Expected;
    } steps[] = {
        {VK_NEXT, {}, 8},  {VK_NEXT, {}, 16}, {VK_NEXT, {}, 19}, {VK_NEXT, {}, 19},
        {VK_UP, {}, 18},   {VK_PRIOR, {}, 10}, {VK_HOME, {}, 0}, {VK_UP, {}, 0},
        {VK_END, {}, 19},  {VK_DOWN, {}, 19},  {VK_UP, {ssCtrl}, 0}, {VK_DOWN, {ssCtrl}, 19},
        {VK_PRIOR, {}, 11}, {VK_DOWN, {}, 12},
    };
    for (const auto& step : steps) {
        EXPECT_TRUE(Form->HandleKeyDown(step.Key, step.Shift));
        EXPECT_EQ(Form->Position(), step.Expected) << "key " << step.Key;
        EXPECT_LE(Form->TopLine(), Form->Position());
        EXPECT_GT(Form->TopLine() + Form->NbLinesInWindow(), Form->Position());
    }
    EXPECT_FALSE(Form->HandleKeyDown('A', {}));
    // A selection beyond the last line is refused.
    Form->SetPosition(40);
    EXPECT_EQ(Form->Position(), 12);
}

TEST_F(CompletionForm, TipsIgnoreKeys)
{
    NumberedItems(5);
    Form->SetDisplayType(SrcCompletionType::ctParams);
    EXPECT_FALSE(Form->HandleKeyDown(VK_DOWN, {}));
    Form->HandleKeyPress('a', {});
    EXPECT_EQ(Form->Position(), 0);
}

TEST_F(CompletionForm, BackspaceTakesAWholeCharacterOffTheTypedText)
{
    Form->LimitToMatchedText = true;
    Items({"f\xC3\xBC\xC3\x9F" "e", "fa"});
    Form->SetCurrentString("f\xC3\xBC");
    EXPECT_EQ(Form->AssignedCount(), 1);
    Form->HandleKeyDown(VK_BACK, {});
    EXPECT_EQ(Form->CurrentString(), "f");
    EXPECT_EQ(Form->AssignedCount(), 2);
    Form->HandleKeyDown(VK_LEFT, {});
    EXPECT_EQ(Form->CurrentString(), "");
}

TEST_F(CompletionForm, TheWheelMovesByTheSystemsLinesKeepingPartialSteps)
{
    QApplication::setWheelScrollLines(3);
    NumberedItems(30);
    Form->SetNbLinesInWindow(8);
    ShowAt(10, 10);
    Wheel(-120);
    EXPECT_EQ(Form->Position(), 3);
    Wheel(-60);
    EXPECT_EQ(Form->Position(), 3);
    Wheel(-60);
    EXPECT_EQ(Form->Position(), 6);
    Wheel(120);
    EXPECT_EQ(Form->Position(), 3);
    // With Ctrl a step moves a window's worth.
    Wheel(-120, Qt::ControlModifier);
    EXPECT_EQ(Form->Position(), 3 + Form->NbLinesInWindow());
}

TEST_F(CompletionForm, AClickSelectsTheLineUnderThePointerButNotInTheTitle)
{
    NumberedItems(30);
    Form->SetTitle("Functions");
    Form->SetNbLinesInWindow(8);
    ShowAt(10, 10);
    ASSERT_GT(Form->TitleHeight(), 0);
    Form->SetPosition(10);
    const int top = Form->TopLine();
    const int listTop = Form->FrameSize() + Form->TitleHeight();
    // The title lies above the first line: a click there keeps the selection.
    QTest::mouseClick(Form.get(), Qt::LeftButton, {}, QPoint(40, Form->FrameSize() + 1));
    EXPECT_EQ(Form->Position(), 10);
    QTest::mouseClick(Form.get(), Qt::LeftButton, {}, QPoint(40, listTop + 2 * Form->LineHeight() + 1));
    EXPECT_EQ(Form->Position(), top + 2);
}

TEST_F(CompletionForm, AUserResizeSnapsToWholeLines)
{
    NumberedItems(30);
    Form->SetNbLinesInWindow(8);
    ShowAt(10, 10);
    const int frame = Form->FrameSize();
    ASSERT_GT(frame, 0);
    const int lineHeight = Form->LineHeight();
    const QPoint grip(50, Form->height() - 1);
    const int target = frame * 2 + lineHeight * 5 / 2; // 2.5 lines
    QTest::mousePress(Form.get(), Qt::LeftButton, {}, grip);
    QTest::mouseMove(Form.get(), QPoint(50, target - 1));
    QTest::mouseRelease(Form.get(), Qt::LeftButton, {}, QPoint(50, target - 1));
    EXPECT_EQ(Form->height(), 2 * lineHeight + 2 * frame);
    EXPECT_EQ(Form->NbLinesInWindow(), 2);
    EXPECT_EQ(Form->Position(), 0);
}

TEST_F(CompletionForm, AListOpensWithItsNumberOfLinesWhateverItsFont)
{
    EXPECT_EQ(Form->NbLinesInWindow(), 8);
    Form->Font().SetName("DejaVu Sans");
    Form->Font().SetHeight(-20);
    Form->SetTitle("Title");
    EXPECT_EQ(Form->NbLinesInWindow(), 8);
    NumberedItems(30);
    ShowAt(10, 10);
    EXPECT_EQ(Form->height(), 8 * Form->LineHeight() + Form->TitleHeight() + 2 * Form->FrameSize());
    EXPECT_EQ(Form->NbLinesInWindow(), 8);
}

TEST_F(CompletionForm, AListThatWouldLeaveTheScreenOpensAboveTheCaretLine)
{
    NumberedItems(30);
    Form->SetNbLinesInWindow(8);
    const QRect desktop = QGuiApplication::primaryScreen()->availableGeometry();
    const int editorLine = 16;
    Form->PlaceAt(40, desktop.bottom() - 10, 200, editorLine);
    const int height = Form->height();
    EXPECT_EQ(Form->y(), desktop.bottom() - 10 - height - editorLine - 2);
    Form->PlaceAt(desktop.right() - 20, 40, 200, editorLine);
    EXPECT_EQ(Form->x(), desktop.left() + desktop.width() - 200 - 5);
    EXPECT_EQ(Form->y(), 40);
}

TEST_F(CompletionForm, ATipIsAsWideAsItsWidestLine)
{
    Items({"short", "a much longer line of text"});
    Form->SetDisplayType(SrcCompletionType::ctHint);
    Form->PlaceAt(10, 10, 300, 16);
    const int narrow = Form->width();
    EXPECT_EQ(Form->height(), 2 * Form->LineHeight() + 2 + 2 * Form->Margin);
    Form->SetDisplayType(SrcCompletionType::ctParams);
    // Every parameter in bold is measured: the widest rendering decides.
    Form->PlaceAt(10, 10, 300, 16);
    EXPECT_GT(Form->width(), narrow);
    int measured = 0;
    Form->OnMeasureItem = [&](TObject*, int, TCanvas&, int& width) {
        ++measured;
        width += 20;
    };
    const int before = Form->width();
    Form->PlaceAt(10, 10, 300, 16);
    EXPECT_EQ(measured, 2);
    EXPECT_EQ(Form->width(), before + 20);
}

TEST_F(CompletionForm, TheSelectedLineIsDrawnInTheSelectionColours)
{
    Items({"first", "second", "third"});
    Form->ClSelect = 0x00FF00;   // green
    Form->ClBackground = 0xFFFFFF;
    ShowAt(10, 10);
    Form->SetPosition(1);
    const QImage image = Form->grab().toImage();
    const int listTop = Form->FrameSize() + Form->TitleHeight();
    const int y1 = listTop + Form->LineHeight() + Form->LineHeight() / 2;
    const int y0 = listTop + Form->LineHeight() / 2;
    int green1 = 0;
    int green0 = 0;
    for (int x = Form->FrameSize() + 1; x < 100; ++x) {
        green1 += image.pixel(x, y1) == qRgb(0, 255, 0);
        green0 += image.pixel(x, y0) == qRgb(0, 255, 0);
    }
    EXPECT_GT(green1, 40);
    EXPECT_EQ(green0, 0);
}
