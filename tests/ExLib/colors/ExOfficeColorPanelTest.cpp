// The colour panel: its layout by the settings, selecting colours by value and by click, the
// other-colours dialog, right-click selection and the swatches it paints.

#include "ColorDialogDriver.h"

#include "ExLib/run/colors/ExOfficeColorPanel.h"

#include "Platform/controls/Forms.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

struct ColorPanelFixture : ::testing::Test {
    TCustomForm form{nullptr};
    TExOfficeColorPanel* panel = new TExOfficeColorPanel(&form, &form);
    int colorChanges = 0;
    std::vector<int> clickedTags;

    ColorPanelFixture()
    {
        form.resize(300, 300);
        panel->OnColorChange = [this](TObject*) { ++colorChanges; };
        panel->OnColorButtonClick = [this](TObject* sender) {
            clickedTags.push_back(static_cast<int>(dynamic_cast<TComponent*>(sender)->Tag));
        };
    }
    // The tags of the buttons that are down.
    std::vector<int> DownTags() const
    {
        std::vector<int> tags;
        for (int tag = 0; tag < TExCustomOfficeColorPanel::ColorCount; ++tag)
            if (panel->Cell(tag)->Down())
                tags.push_back(tag);
        if (panel->AutoButton()->Down())
            tags.push_back(TExCustomOfficeColorPanel::AutoButtonTag);
        if (panel->OtherButton()->Down())
            tags.push_back(TExCustomOfficeColorPanel::OtherButtonTag);
        return tags;
    }
};

QRect BoundsOf(const TWinControlCore* control)
{
    return control->BoundsRect().ToQt();
}

} // namespace

TEST_F(ColorPanelFixture, TheDefaultsGiveA158By148PanelWithTheAutomaticButtonDown)
{
    EXPECT_EQ(panel->Width(), 158);
    EXPECT_EQ(panel->Height(), 148);
    EXPECT_EQ(BoundsOf(panel->AutoButton()), QRect(7, 2, 144, 22));
    EXPECT_EQ(BoundsOf(panel->Cell(0)), QRect(7, 28, 18, 18));
    EXPECT_EQ(BoundsOf(panel->Cell(39)), QRect(7 + 7 * 18, 28 + 4 * 18, 18, 18));
    EXPECT_EQ(BoundsOf(panel->OtherButton()), QRect(7, 28 + 5 * 18 + 4, 144, 22));
    EXPECT_EQ(panel->AutoButton()->Caption(), "Automatic");
    EXPECT_EQ(panel->OtherButton()->Caption(), "Other Colors...");
    EXPECT_EQ(DownTags(), (std::vector<int>{TExCustomOfficeColorPanel::AutoButtonTag}));
    EXPECT_EQ(panel->SelectedColor(), clBlack);
}

TEST_F(ColorPanelFixture, WithoutTheAutomaticButtonThePanelIs158By126)
{
    panel->Properties().SetShowAutoButton(false);
    EXPECT_EQ(panel->Width(), 158);
    EXPECT_EQ(panel->Height(), 126);
    EXPECT_FALSE(panel->AutoButton()->Visible());
    EXPECT_EQ(panel->Cell(0)->Top(), 4);
    EXPECT_EQ(panel->OtherButton()->Top(), 98);
    // Emptying a caption hides its button too.
    panel->Properties().SetOtherCaption("");
    EXPECT_FALSE(panel->Properties().ShowOtherButton());
    EXPECT_EQ(panel->Height(), 104);
}

TEST_F(ColorPanelFixture, MetricsCannotGoBelowTheirDefaults)
{
    std::vector<std::string> reported;
    TExOfficeColorPanelProperties properties;
    properties.OnChange = [&](const std::string& name) { reported.push_back(name); };
    properties.SetColorSize(10);
    EXPECT_EQ(properties.ColorSize(), 18);
    properties.SetButtonHeight(30);
    EXPECT_EQ(properties.ButtonHeight(), 30);
    properties.SetButtonHeight(30);
    properties.SetShowColorHint(true); // unchanged
    properties.SetRightClickSelect(false); // reported on every write
    EXPECT_EQ(reported, (std::vector<std::string>{"ColorSize", "ButtonHeight", "RightClickSelect"}));

    panel->SetProperties(properties); // copied without a report
    EXPECT_EQ(panel->Height(), 148);
    panel->Properties().SetButtonHeight(31);
    EXPECT_EQ(panel->Height(), 148 + 2 * 9);
}

TEST_F(ColorPanelFixture, SettingTheColorPutsItsButtonDownAndAlwaysReportsTheChange)
{
    panel->SetSelectedColor(0x00003399);
    EXPECT_EQ(DownTags(), (std::vector<int>{1}));
    EXPECT_EQ(colorChanges, 1);
    panel->SetSelectedColor(0x00003399);
    EXPECT_EQ(colorChanges, 1);
    panel->SetSelectedColor(0x00123456); // in no cell
    EXPECT_TRUE(DownTags().empty());
    EXPECT_EQ(colorChanges, 2);
    panel->SetSelectedColor(clDefault); // the automatic button's colour
    EXPECT_EQ(DownTags(), (std::vector<int>{TExCustomOfficeColorPanel::AutoButtonTag}));
}

TEST_F(ColorPanelFixture, CellsCarryTheGridColoursWithTheirNamesAsHints)
{
    const std::pair<int, const char*> cells[] = {
        {0, "clBlack"}, {1, "$00003399"}, {5, "clNavy"}, {13, "clBlue"}, {16, "clRed"}, {39, "clWhite"},
    };
    for (auto [tag, hint] : cells) {
        EXPECT_EQ(panel->Cell(tag)->Hint(), hint) << tag;
        EXPECT_EQ(panel->Cell(tag)->ButtonColor(), TExCustomOfficeColorPanel::CellColor(tag)) << tag;
    }
}

TEST_F(ColorPanelFixture, ClickingACellSelectsItsColour)
{
    form.show();
    QTest::mouseClick(panel->Cell(16), Qt::LeftButton, {}, QPoint(9, 9));
    EXPECT_EQ(panel->SelectedColor(), clRed);
    EXPECT_EQ(DownTags(), (std::vector<int>{16}));
    EXPECT_EQ(clickedTags, (std::vector<int>{16}));
    EXPECT_EQ(panel->ClickedKind(), TExColorButtonKind::cbkColor);
    // A second click keeps the cell down.
    QTest::mouseClick(panel->Cell(16), Qt::LeftButton, {}, QPoint(9, 9));
    EXPECT_EQ(DownTags(), (std::vector<int>{16}));
}

TEST_F(ColorPanelFixture, TheOtherButtonOpensTheDialogAndTakesItsColourOnlyWhenConfirmed)
{
    form.show();
    panel->SetSelectedColor(clGreen);
    colorChanges = 0;
    panel->SetOptions(TColorDialogOptions{cdFullOpen});
    TColorDialogOptions seenOptions;
    TColor seenColor = clNone;
    panel->ColorDialog().OnShow = [&](TObject*) {
        seenOptions = panel->ColorDialog().Options();
        seenColor = panel->ColorDialog().Color();
    };
    AnswerNextColorDialog(std::nullopt);
    QTest::mouseClick(panel->OtherButton(), Qt::LeftButton, {}, QPoint(20, 10));
    EXPECT_EQ(clickedTags, (std::vector<int>{TExCustomOfficeColorPanel::OtherButtonTag}));
    EXPECT_EQ(seenOptions, TColorDialogOptions{cdFullOpen});
    EXPECT_EQ(seenColor, clGreen);
    EXPECT_EQ(panel->SelectedColor(), clGreen);
    EXPECT_EQ(colorChanges, 0);

    AnswerNextColorDialog(QColor(0x12, 0x34, 0x56));
    QTest::mouseClick(panel->OtherButton(), Qt::LeftButton, {}, QPoint(20, 10));
    EXPECT_EQ(panel->SelectedColor(), RGBColor(0x12, 0x34, 0x56));
    EXPECT_EQ(panel->OtherButton()->ButtonColor(), RGBColor(0x12, 0x34, 0x56));
    EXPECT_EQ(panel->OtherButton()->Hint(), "$00563412");
    EXPECT_EQ(colorChanges, 1);
}

TEST_F(ColorPanelFixture, ARightButtonReleaseSelectsOnlyWhenAllowedAndNoPopupMenuIsInTheWay)
{
    form.show();
    QTest::mouseClick(panel->Cell(2), Qt::RightButton, {}, QPoint(9, 9));
    EXPECT_EQ(panel->SelectedColor(), clBlack);
    panel->Properties().SetRightClickSelect(true);
    QTest::mouseClick(panel->Cell(2), Qt::RightButton, {}, QPoint(9, 9));
    EXPECT_EQ(panel->SelectedColor(), TExCustomOfficeColorPanel::CellColor(2));

    form.setContextMenuPolicy(Qt::CustomContextMenu);
    QTest::mouseClick(panel->Cell(3), Qt::RightButton, {}, QPoint(9, 9));
    EXPECT_EQ(panel->SelectedColor(), TExCustomOfficeColorPanel::CellColor(2));
    panel->Properties().SetSelectIfPopup(true);
    QTest::mouseClick(panel->Cell(3), Qt::RightButton, {}, QPoint(9, 9));
    EXPECT_EQ(panel->SelectedColor(), TExCustomOfficeColorPanel::CellColor(3));
}

TEST_F(ColorPanelFixture, ACellPaintsA12PixelSwatchWithAGreyOutlineAndGreysOutWhenDisabled)
{
    form.show();
    TExSubColorButton* cell = panel->Cell(16); // red
    const auto render = [cell] {
        QImage image(cell->size(), QImage::Format_RGB32);
        image.fill(Qt::white);
        cell->render(&image);
        return image;
    };
    QImage image = render();
    EXPECT_EQ(image.pixelColor(3, 3), QColor(0x80, 0x80, 0x80));
    EXPECT_EQ(image.pixelColor(14, 14), QColor(0x80, 0x80, 0x80));
    EXPECT_EQ(image.pixelColor(4, 4), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(13, 13), QColor(Qt::red));
    EXPECT_NE(image.pixelColor(15, 15), QColor(0x80, 0x80, 0x80));
    panel->SetEnabled(false);
    image = render();
    EXPECT_EQ(image.pixelColor(9, 9), QColor(0x80, 0x80, 0x80));
}
