// The colour button: its size and halves, dropping the colour window down and closing it by a
// colour, "More...", the arrow and Escape, where the window opens, tearing off and hot tracking.

#include "ColorDialogDriver.h"

#include "ExLib/run/colors/ExOfficeColorButton.h"

#include "Platform/controls/Forms.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

struct ColorButtonFixture : ::testing::Test {
    TCustomForm form{nullptr};
    TExOfficeColorButton* button = new TExOfficeColorButton(&form, &form);
    std::vector<std::string> events;

    ColorButtonFixture()
    {
        form.resize(300, 200);
        button->move(10, 10);
        button->OnColorChange = [this](TObject*) { events.push_back("color"); };
        button->OnColorButtonClick = [this](TObject* sender) {
            events.push_back("button " + std::to_string(dynamic_cast<TComponent*>(sender)->Tag));
        };
        button->OnDropDown = [this](TObject*) { events.push_back("drop"); };
        button->OnArrowClick = [this](TObject*) { events.push_back("arrow"); };
        form.show();
    }
    // The settings of the IDE's option dialogs.
    void AsOnTheOptionsDialog()
    {
        button->SetBounds(10, 10, 75, 22);
        button->SetFaceColor(clBtnFace);
        TExOfficeColorButtonProperties& p = button->Properties();
        p.SetShowDragBar(false);
        p.SetAutoCaption("Automatic");
        p.SetDragBarHint("Drag to floating");
        p.SetShowAutoButton(false);
        p.SetShowColorHint(false);
        p.SetOtherCaption("More...");
        button->SetOptions(TColorDialogOptions{cdFullOpen});
    }
    void ClickArrow() { QTest::mouseClick(button->ArrowButton(), Qt::LeftButton, {}, QPoint(6, 10)); }
    TExOfficeColorPanel& Panel() { return button->ColorWindow().ColorPanel(); }
};

} // namespace

TEST_F(ColorButtonFixture, ANewButtonIs36By22BlackAndNeverNarrowerThanItsArrowAnd23)
{
    EXPECT_EQ(button->Width(), 36);
    EXPECT_EQ(button->Height(), 22);
    EXPECT_EQ(button->SelectedColor(), clBlack);
    button->SetBounds(10, 10, 20, 10);
    EXPECT_EQ(button->Width(), 36);
    EXPECT_EQ(button->Height(), 22);
    button->SetBounds(10, 10, 75, 22);
    EXPECT_EQ(button->MainButton()->Width(), 62);
    EXPECT_EQ(button->ArrowButton()->Left(), 62);
    EXPECT_EQ(button->ArrowButton()->Width(), 13);
    button->Properties().SetArrowWidth(5); // below 13: 13 again
    EXPECT_EQ(button->Properties().ArrowWidth(), 13);
    button->Properties().SetArrowWidth(20);
    EXPECT_EQ(button->MainButton()->Width(), 55);
}

TEST_F(ColorButtonFixture, WritingTheColourReportsItOnceAndAcceptsColoursOutsideTheGrid)
{
    button->SetSelectedColor(clNone);
    button->SetSelectedColor(clNone);
    EXPECT_EQ(events, (std::vector<std::string>{"color"}));
    EXPECT_EQ(button->MainButton()->ButtonColor(), clNone);
    for (int tag = 0; tag < TExCustomOfficeColorPanel::ColorCount; ++tag)
        EXPECT_FALSE(Panel().Cell(tag)->Down()) << tag;
}

TEST_F(ColorButtonFixture, TheArrowOpensAndClosesTheWindowBelowTheButton)
{
    ClickArrow();
    EXPECT_TRUE(button->ColorWindow().isVisible());
    EXPECT_TRUE(button->Dropped());
    EXPECT_TRUE(button->ArrowButton()->Down());
    const TPoint origin = button->MainButton()->ClientToScreen({0, 0});
    EXPECT_EQ(button->ColorWindow().pos(), QPoint(origin.X, origin.Y + 22));
    ClickArrow();
    EXPECT_FALSE(button->ColorWindow().isVisible());
    EXPECT_FALSE(button->ArrowButton()->Down());
    EXPECT_EQ(events, (std::vector<std::string>{"drop", "arrow", "arrow"}));
}

TEST_F(ColorButtonFixture, ChoosingACellClosesTheWindowAndReportsTheClickThenTheColour)
{
    ClickArrow();
    events.clear();
    QTest::mouseClick(Panel().Cell(16), Qt::LeftButton, {}, QPoint(9, 9));
    EXPECT_FALSE(button->ColorWindow().isVisible());
    EXPECT_FALSE(button->Dropped());
    EXPECT_EQ(button->SelectedColor(), clRed);
    EXPECT_EQ(button->MainButton()->ButtonColor(), clRed);
    EXPECT_EQ(events, (std::vector<std::string>{"button 16", "color"}));
}

TEST_F(ColorButtonFixture, OnTheOptionsDialogMoreClosesThePanelAndOpensTheFullColourDialog)
{
    AsOnTheOptionsDialog();
    button->SetSelectedColor(clWhite);
    EXPECT_EQ(Panel().Width(), 158);
    EXPECT_EQ(Panel().Height(), 126);
    EXPECT_FALSE(Panel().AutoButton()->Visible());
    EXPECT_FALSE(Panel().Cell(0)->ShowHint());
    EXPECT_FALSE(button->ColorWindow().DragBar().Visible());

    ClickArrow();
    button->ColorWindow().grab(); // a new caption shows with the next painting
    EXPECT_EQ(Panel().OtherButton()->Caption(), "More...");
    events.clear();
    bool windowShownWithDialog = true;
    TColorDialogOptions options;
    Panel().ColorDialog().OnShow = [&](TObject*) {
        windowShownWithDialog = button->ColorWindow().isVisible();
        options = Panel().ColorDialog().Options();
    };
    AnswerNextColorDialog(std::nullopt);
    QTest::mouseClick(Panel().OtherButton(), Qt::LeftButton, {}, QPoint(20, 10));
    EXPECT_FALSE(windowShownWithDialog);
    EXPECT_EQ(options, TColorDialogOptions{cdFullOpen});
    EXPECT_EQ(button->SelectedColor(), clWhite);
    EXPECT_EQ(events, (std::vector<std::string>{"button 42"}));

    ClickArrow();
    AnswerNextColorDialog(QColor(0x10, 0x20, 0x30));
    QTest::mouseClick(Panel().OtherButton(), Qt::LeftButton, {}, QPoint(20, 10));
    EXPECT_EQ(button->SelectedColor(), RGBColor(0x10, 0x20, 0x30));
}

TEST_F(ColorButtonFixture, EscapeHidesTheWindowAndTheNextArrowClickOpensItAgain)
{
    ClickArrow();
    QTest::keyClick(&button->ColorWindow(), Qt::Key_Escape);
    EXPECT_FALSE(button->ColorWindow().isVisible());
    EXPECT_EQ(button->ColorWindow().ModalResult(), TExOfficeColorForm::ModalCancel);
    EXPECT_FALSE(button->ArrowButton()->Down());
    ClickArrow();
    EXPECT_TRUE(button->ColorWindow().isVisible());
}

TEST(ColorPopupPlacement, TheWindowStaysOnTheButtonsScreen)
{
    const TRect primary = Rect(0, 0, 1920, 1080);
    const TRect second = Rect(1920, 0, 3840, 1080);
    struct Case {
        TRect screen;
        TPoint origin;
        TPoint expected;
    };
    const Case cases[] = {
        {primary, {100, 100}, {100, 122}},
        {primary, {1850, 100}, {1920 - 162, 122}},   // shifted left to stay on screen
        {primary, {100, 1000}, {100, 1000 - 131}},   // opens above the button
        {second, {3000, 100}, {3000, 122}},          // on the second screen it stays where it is
        {second, {3800, 1000}, {3840 - 162, 1000 - 131}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PlaceColorPopup(c.screen, c.origin, {162, 131}, 22), c.expected) << c.origin.X << "," << c.origin.Y;
}

TEST_F(ColorButtonFixture, ATornOffWindowLosesItsBarAndStaysOpenAcrossColourClicks)
{
    TExOfficeColorForm& window = button->ColorWindow();
    EXPECT_TRUE(window.DragBar().isVisibleTo(&window));
    const int withBar = window.Height();
    EXPECT_EQ(withBar, 2 * 3 + 7 + 1 + 148 + 4);
    ClickArrow();
    window.SetTornOff(true);
    EXPECT_TRUE(window.TornOff());
    EXPECT_EQ(window.BorderStyle(), TFormBorderStyle::bsToolWindow);
    EXPECT_FALSE(window.DragBar().isVisibleTo(&window));
    EXPECT_EQ(window.Height(), withBar - 13);
    EXPECT_FALSE(button->ArrowButton()->Down());

    QTest::mouseClick(Panel().Cell(13), Qt::LeftButton, {}, QPoint(9, 9));
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(button->SelectedColor(), clBlue);
    // Hiding brings the drop-down style back.
    window.Hide();
    EXPECT_FALSE(window.TornOff());
    EXPECT_TRUE(window.DragBar().isVisibleTo(&window));

    // Without a drag bar the window cannot be torn off.
    button->Properties().SetShowDragBar(false);
    window.SetTornOff(true);
    EXPECT_FALSE(window.TornOff());
    EXPECT_EQ(window.Height(), 1 + 148 + 4);
}

TEST_F(ColorButtonFixture, TheDragBarsMetricsHaveTheirMinimums)
{
    TExOfficeColorForm& window = button->ColorWindow();
    button->Properties().SetDragBarHeight(3);
    EXPECT_EQ(window.DragBarHeight(), 7);
    EXPECT_FALSE(window.StandardMetrics());
    button->Properties().SetDragBarSpace(10);
    EXPECT_EQ(window.DragBarSpace(), 10);
    EXPECT_EQ(window.Height(), 2 * 10 + 7 + 1 + 148 + 4);
    window.SetStandardMetrics(true);
    EXPECT_EQ(window.DragBarSpace(), 3);
    button->Properties().SetDragBarHint("Tear me off");
    EXPECT_EQ(window.DragBar().Hint(), "Tear me off");
}

TEST_F(ColorButtonFixture, FlatHalvesLightUpTogether)
{
    QApplication::setActiveWindow(&form);
    button->MainButton()->Perform(CM_MOUSEENTER, 0, 0);
    EXPECT_TRUE(button->MainButton()->MouseInside());
    EXPECT_TRUE(button->ArrowButton()->MouseInside());
    button->MainButton()->Perform(CM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(button->ArrowButton()->MouseInside());
    EXPECT_FALSE(button->MainButton()->MouseInside());
}
