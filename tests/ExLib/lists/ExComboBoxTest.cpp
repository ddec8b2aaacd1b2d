// The combo box: placeholder, read-only mode, pixel cap, owner-drawn measuring and drawing,
// searching, and the rows of a linked provider.

#include "ExLib/data/DataTestProvider.h"

#include "ExLib/run/lists/ExComboBox.h"

#include "Platform/controls/Forms.h"
#include "Platform/core/Exceptions.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QLineEdit>
#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct ExComboFixture : ::testing::Test {
    TCustomForm form{nullptr};
    TExComboBox* combo = new TExComboBox(&form, &form);
    TWinControl* other = new TWinControl(&form, &form);

    ExComboFixture()
    {
        form.resize(300, 200);
        combo->SetBounds(10, 10, 150, 24);
        other->SetBounds(10, 100, 50, 20);
        other->setFocusPolicy(Qt::StrongFocus);
        for (const char* s : {"Apple", "Banana", "Cherry", "Blueberry"})
            combo->Items().Add(s);
    }
    void ShowAndActivate()
    {
        form.show();
        QApplication::setActiveWindow(&form);
    }
    QStyleOptionViewItem RowOption(int row) const
    {
        QStyleOptionViewItem option;
        option.rect = QRect(0, 0, 150, 20);
        option.state = QStyle::State_Enabled;
        option.font = combo->font();
        (void)row;
        return option;
    }
    QModelIndex Row(int row) const { return combo->model()->index(row, 0); }
};

} // namespace

TEST_F(ExComboFixture, APlaceholderShowsWhileTheFieldIsEmptyAndUnfocused)
{
    ShowAndActivate();
    other->SetFocus();
    combo->SetEmptyValue("Type a fruit");
    EXPECT_TRUE(combo->ShowingEmptyValue());
    EXPECT_EQ(combo->Text(), "");
    EXPECT_EQ(combo->DisplayedText(), "Type a fruit");
    EXPECT_EQ(combo->lineEdit()->palette().color(QPalette::PlaceholderText), ToQColor(ColorToRGB(clGrayText)));

    combo->SetFocus();
    EXPECT_FALSE(combo->ShowingEmptyValue());
    EXPECT_EQ(combo->DisplayedText(), "");
    other->SetFocus();
    EXPECT_TRUE(combo->ShowingEmptyValue());

    combo->SetText("Kiwi");
    EXPECT_FALSE(combo->ShowingEmptyValue());
    EXPECT_EQ(combo->Text(), "Kiwi");
    combo->SetFocus();
    other->SetFocus(); // not empty: no placeholder
    EXPECT_FALSE(combo->ShowingEmptyValue());
}

TEST_F(ExComboFixture, AReadOnlyComboBoxChangesNeitherTextNorSelection)
{
    ShowAndActivate();
    combo->SetItemIndex(1);
    combo->SetReadOnly(true);
    QTest::keyClicks(combo->lineEdit(), "xyz");
    for (Qt::Key key : {Qt::Key_Down, Qt::Key_Up, Qt::Key_F4, Qt::Key_PageDown, Qt::Key_End})
        QTest::keyClick(combo, key);
    QTest::keyClick(combo, Qt::Key_Down, Qt::AltModifier);
    QTest::mouseClick(combo, Qt::LeftButton, {}, QPoint(140, 12));
    QWheelEvent wheel(QPointF(50, 12), combo->mapToGlobal(QPointF(50, 12)), {}, QPoint(0, -120), Qt::NoButton, {},
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(combo, &wheel);
    EXPECT_EQ(combo->ItemIndex(), 1);
    EXPECT_EQ(combo->Text(), "Banana");
    EXPECT_FALSE(combo->view()->isVisible());
    EXPECT_TRUE(combo->hasFocus());

    combo->SetReadOnly(false);
    QTest::keyClick(combo, Qt::Key_Down);
    EXPECT_EQ(combo->ItemIndex(), 2);
}

TEST_F(ExComboFixture, ThePixelCapCutsTheTextWhenItIsSetButNotWhileTyping)
{
    const std::string longText = "A text that is far wider than fifty pixels in any font";
    combo->SetText(longText);
    combo->MaxPixel().SetLength(50);
    TCanvas canvas;
    canvas.Font().Assign(combo->Font());
    const std::string cut = combo->Text();
    EXPECT_LE(canvas.TextWidth(cut), 50);
    EXPECT_GT(canvas.TextWidth(cut + longText[cut.size()]), 50);
    EXPECT_EQ(longText.substr(0, cut.size()), cut);

    ShowAndActivate();
    combo->SetFocus();
    combo->lineEdit()->end(false);
    QTest::keyClicks(combo->lineEdit(), "more");
    EXPECT_EQ(combo->Text(), cut + "more");

    // A drop-down list is never cut.
    combo->SetStyle(TComboBoxStyle::csDropDownList);
    combo->SetItemIndex(3);
    combo->MaxPixel().SetLength(10);
    EXPECT_EQ(combo->Text(), "Blueberry");
}

TEST_F(ExComboFixture, ClearingTheItemsKeepsTheText)
{
    combo->SetText("Typed");
    combo->Items().Clear();
    EXPECT_EQ(combo->Items().Count(), 0);
    EXPECT_EQ(combo->Text(), "Typed");
}

TEST_F(ExComboFixture, OwnerDrawnHeightsComeFromTheEventAndBeforeDrawAsksAgainAtEachDraw)
{
    combo->SetStyle(TComboBoxStyle::csOwnerDrawVariable);
    std::vector<int> asked;
    combo->OnMeasureItem = [&](TWinControlCore*, int index, int& height) {
        asked.push_back(index);
        height = 20 + index;
    };
    QAbstractItemDelegate* delegate = combo->view()->itemDelegate();
    EXPECT_EQ(delegate->sizeHint(RowOption(2), Row(2)).height(), 22);
    EXPECT_EQ(delegate->sizeHint(RowOption(3), Row(3)).height(), 23);
    EXPECT_EQ(asked, (std::vector<int>{2, 3}));

    combo->SetMeasureStyle(TExComboBoxMeasureStyle::cmsBeforeDraw);
    asked.clear();
    EXPECT_EQ(delegate->sizeHint(RowOption(1), Row(1)).height(), combo->ItemHeight()); // not measured yet
    QImage image(150, 20, QImage::Format_RGB32);
    QPainter painter(&image);
    delegate->paint(&painter, RowOption(1), Row(1));
    delegate->paint(&painter, RowOption(1), Row(1));
    painter.end();
    EXPECT_EQ(asked, (std::vector<int>{1, 1}));
    EXPECT_EQ(delegate->sizeHint(RowOption(1), Row(1)).height(), 21);

    combo->SetMeasureStyle(TExComboBoxMeasureStyle::cmsAfterCreate);
    asked.clear();
    combo->Perform(WM_INITDIALOG);
    EXPECT_EQ(asked, (std::vector<int>{-1, 0, 1, 2, 3}));
    EXPECT_EQ(combo->MeasuredHeight(-1), 19);
}

TEST_F(ExComboFixture, TheOwnerDrawFallbackWritesTheItemTextOnTheFilledRow)
{
    combo->SetStyle(TComboBoxStyle::csOwnerDrawFixed);
    combo->Font().SetColor(clBlack);
    QImage image(150, 20, QImage::Format_RGB32);
    image.fill(Qt::red);
    QPainter painter(&image);
    combo->view()->itemDelegate()->paint(&painter, RowOption(0), Row(0));
    painter.end();
    EXPECT_EQ(image.pixelColor(149, 19), ToQColor(ColorToRGB(combo->Color()))); // filled
    int dark = 0;
    for (int x = 0; x < 60; ++x)
        for (int y = 0; y < 20; ++y)
            dark += qGray(image.pixel(x, y)) < 100;
    EXPECT_GT(dark, 10);
    // Text starts 2 pixels in.
    for (int y = 0; y < 20; ++y)
        EXPECT_GT(qGray(image.pixel(0, y)), 100);
}

TEST_F(ExComboFixture, FindingWrapsAroundFromTheItemAfterTheStart)
{
    EXPECT_EQ(combo->FindString(-1, "b"), 1);
    EXPECT_EQ(combo->FindString(1, "b"), 3);
    EXPECT_EQ(combo->FindString(3, "B"), 1);
    EXPECT_EQ(combo->FindString(0, "x"), -1);
    EXPECT_EQ(combo->FindStringExact(0, "CHERRY"), 2);
    EXPECT_EQ(combo->FindStringExact(0, "Cher"), -1);
    EXPECT_EQ(combo->SelectString(1, "b"), 3);
    EXPECT_EQ(combo->ItemIndex(), 3);
}

TEST_F(ExComboFixture, ALinkedProviderShowsItsRowsAndItsItemsComeBackAfterwards)
{
    TTestProvider provider;
    TExBaseDataItem* fruit = provider.Add("fruit", "Fruit");
    TTestProvider::Add(TTestProvider::Children(fruit), "pear", "Pear");
    provider.Add("nuts", "Nuts");
    combo->Provider().SetProvider(&provider);
    EXPECT_TRUE(combo->ProviderMode());
    EXPECT_TRUE(combo->Items().UseInternal());
    EXPECT_EQ(combo->Items().Count(), 4); // the items wait in memory
    EXPECT_EQ(combo->ItemCount(), 3);     // the rows, every level expanded
    EXPECT_EQ(combo->GetItemText(1), "Pear");
    EXPECT_EQ(combo->FindStringExact(-1, "nuts"), 2);
    EXPECT_THROW(combo->GetItemText(3), EListError);

    IExDataItem* picked = nullptr;
    class TWatcher : public TExDataConsumerAggregatedObject {
    public:
        using TExDataConsumerAggregatedObject::TExDataConsumerAggregatedObject;
        void ItemWasSelected(IExDataItem* item) override { *Picked = item; }
        IExDataItem** Picked = nullptr;
    };
    Construct<TWatcher>(combo->Provider())->Picked = &picked;
    int selects = 0;
    combo->OnSelect = [&](TObject*) { ++selects; };
    emit combo->activated(1);
    EXPECT_EQ(combo->Text(), "Pear");
    EXPECT_EQ(selects, 1);
    EXPECT_EQ(picked, ChildItemsOf(fruit)->ItemAt(0));

    combo->Provider().SetProvider(nullptr);
    EXPECT_FALSE(combo->ProviderMode());
    EXPECT_EQ(combo->ItemCount(), 4);
    EXPECT_EQ(combo->Items()[3], "Blueberry");
}
